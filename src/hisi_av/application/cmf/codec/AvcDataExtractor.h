#pragma once

#include "hisi_av/application/cmf/codec/VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/data/AvcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/AvcSps.h"
#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

namespace Cmf {

class AvcAu;
class AvcNal;

// The data extractor of H.264 streams. For each access unit, in this order:
//   1. with a sequence parameter set that parses, the codec information it describes (size after
//      cropping, display aspect ratio, frame rate from the VUI timing, pixel format, profile,
//      level, transfer characteristics) is published when it differs from the last one. The scan
//      type of a stream that may code fields comes from the picture timing SEI, else from the
//      first slice's field_pic_flag;
//   2. each SEI NAL unit's first ITU-T T.35 message carrying ATSC A/53 ("GA94") or DirecTV
//      caption data is published as a caption packet with the access unit's PTS;
//   3. the access unit is published with the current codec information and the frame type of
//      its first slice.
// Units of another codec are refused with a message.
//
// Threads and lifetimes: as VideoDataExtractor.
class AvcDataExtractor : public VideoDataExtractor {
public:
    explicit AvcDataExtractor(SharedScheduler& scheduler = SharedScheduler::Instance());
    ~AvcDataExtractor() override;

    void PutAu(const AccessUnit& au) override;

    // The codec information an SPS describes; the scan type is left unknown when the SPS allows
    // field coding.
    static VideoCodecInfo_t ExtractDataFromSps(const AvcSps_t& sps);
    // Scan and coding type from a picture timing SEI, for a scan type still unknown.
    static void ExtractDataFromPicTiming(const AvcPicTiming_t& picTiming, VideoCodecInfo_t& info);
    // The display aspect ratio of a picture of `width` x `height` with the VUI's sample aspect
    // ratio, reduced.
    static void CalculateAspectRatio(const AvcVuiParameters_t& vui, std::size_t width,
                                     std::size_t height, std::size_t& num, std::size_t& den);

    const VideoCodecInfo_t& GetCodecInfo() const { return m_CodecInfo; }

private:
    void ExtractCodecInfo(const AvcAu& au, const AvcSps_t& sps, bool sliceFound,
                          const AvcNal& slice);
    // The first picture timing message of the access unit's SEI NAL units.
    static bool FindPicTiming(const AvcAu& au, const AvcSps_t& sps, AvcPicTiming_t& picTiming);
    void PublishCaptions(const AvcAu& au);

    // The last published codec information.
    VideoCodecInfo_t m_CodecInfo;
};

}  // namespace Cmf
