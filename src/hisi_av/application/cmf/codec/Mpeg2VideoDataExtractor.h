#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "hisi_av/application/cmf/codec/VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureCodingExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqDisplayExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqHeader.h"
#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

namespace Cmf {

class Mpeg2VideoAu;

// The data extractor of H.262 streams. For each access unit, in this order:
//   1. with a sequence header (and its extensions) that parses, the codec information it
//      describes (size, display aspect ratio, frame rate, scan, pixel format, profile, level,
//      transfer characteristics) is published when it differs from the last one;
//   2. the access unit is published with the current codec information and the frame type of its
//      picture header. A P or B picture without a PTS of its own gets one derived from the last
//      I picture's PTS and the distance between their temporal references;
//   3. each user data with ATSC A/53 captions ("GA94", type code 3) is published as a caption
//      packet with the access unit's PTS, or the derived one when the unit has none.
// Units of another codec are refused with a message.
//
// Threads and lifetimes: as VideoDataExtractor.
class Mpeg2VideoDataExtractor : public VideoDataExtractor {
public:
    explicit Mpeg2VideoDataExtractor(SharedScheduler& scheduler = SharedScheduler::Instance());
    ~Mpeg2VideoDataExtractor() override;

    void PutAu(const AccessUnit& au) override;

    // Size (a coded height of 1088 reported as 1080), the picture's own aspect ratio, the display
    // aspect ratio and the frame rate. Apply the sequence extension to the header first.
    static void ExtractDataFromSeqHeader(const Mpeg2VideoSeqHeader_t& seqHeader,
                                         VideoCodecInfo_t& info);
    // Adds the size extensions to `seqHeader` as bits 12-13 of each dimension; scan, pixel format,
    // profile and level into `info`.
    static void ExtractDataFromSeqExtension(const Mpeg2VideoSeqExtension_t& seqExtension,
                                            Mpeg2VideoSeqHeader_t& seqHeader,
                                            VideoCodecInfo_t& info);
    static void ExtractDataFromSeqDisplayExtension(
        const Mpeg2VideoSeqDisplayExtension_t& seqDisplayExtension, VideoCodecInfo_t& info);
    static void ExtractDataFromPictureCodingExtension(
        const Mpeg2VideoPictureCodingExtension_t& pictureCodingExtension, VideoCodecInfo_t& info);
    // 90 kHz ticks per frame of the header's frame rate (integer division); 0 when unknown.
    static uint64_t GetPtsOffset(const Mpeg2VideoSeqHeader_t& seqHeader);

    const VideoCodecInfo_t& GetCodecInfo() const { return m_CodecInfo; }

private:
    // Step 1: false when the unit has no usable sequence header.
    bool ExtractCodecInfo(const Mpeg2VideoAu& au, VideoCodecInfo_t& info);
    void PublishCaptions(const Mpeg2VideoAu& au, const Pcr& pts);

    // The last published codec information.
    VideoCodecInfo_t m_CodecInfo;
    // The last sequence header that parsed: its frame rate spaces the derived PTS.
    Mpeg2VideoSeqHeader_t m_SeqHeader;
    Pcr m_CurrentIFramePtsValue;
    unsigned int m_CurrentIFrameTempRef;
    uint64_t m_CurrentPtsOffset;  // 90 kHz ticks per frame
};

}  // namespace Cmf
