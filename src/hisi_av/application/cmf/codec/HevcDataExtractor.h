#pragma once

#include <cstddef>
#include <memory>

#include "hisi_av/application/cmf/clock/FramerateAssessor.h"
#include "hisi_av/application/cmf/codec/VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/data/HevcMasteringDisplay.h"
#include "hisi_av/application/cmf/codec/data/HevcPps.h"
#include "hisi_av/application/cmf/codec/data/HevcSlice.h"
#include "hisi_av/application/cmf/codec/data/HevcSps.h"
#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

namespace Cmf {

class HevcAu;
class HevcNal;
class RbspReader;

// The data extractor of H.265 streams. For each access unit:
//   1. its NAL units are walked in order: the first slice segment gives the frame type (once a
//      PPS has been seen), an SPS the codec information (size after the conformance window,
//      display aspect ratio, frame rate from the VUI timing, pixel format, scan, profile, tier,
//      level, transfer characteristics), a PPS the slice header layout, and the prefix SEI
//      messages the scan and coding type (picture timing), captions (ITU-T T.35, published at
//      once with the access unit's PTS), HDR metadata and the alternative transfer
//      characteristics;
//   2. a stream whose SPS has no timing gets its frame rate from the spacing of the PTS values,
//      evaluated at I slices;
//   3. the codec information is published when it differs from the last one published;
//   4. the access unit is published with that information and its frame type.
// Units of another codec are refused with a message.
//
// Threads and lifetimes: as VideoDataExtractor.
class HevcDataExtractor : public VideoDataExtractor {
public:
    explicit HevcDataExtractor(SharedScheduler& scheduler = SharedScheduler::Instance());
    ~HevcDataExtractor() override;

    void PutAu(const AccessUnit& au) override;

    // Fills `info` from an SPS: everything the SPS describes, with the frame rate 0/1 when it has
    // no timing, and the HDR metadata marked invalid until the SEI of the access unit sets it.
    static void ExtractDataFromSps(const HevcSps_t& sps, VideoCodecInfo_t& info);
    static void ExtractDataFromMasteringDisplay(const HevcMasteringDisplay_t& mastering,
                                                PictureInfo_t& pic);
    // An H.265 transfer_characteristics code as the picture information's value.
    static PictureInfo_t::TransChars_e MapTransChars(unsigned int code);

    // The last published codec information.
    const VideoCodecInfo_t& GetCodecInfo() const { return m_PrevCodecInfo; }

private:
    bool WalkNals(const HevcAu& au);
    void ProcessSps(const HevcNal& nal);
    void ProcessSei(const HevcAu& au, const HevcNal& nal);
    void ProcessPicTiming(RbspReader& reader);
    void ProcessCaptions(const HevcAu& au, const HevcNal& nal, RbspReader& reader,
                         std::size_t payloadSize);
    void InferFramerate(const HevcAu& au);

    VideoCodecInfo_t m_PrevCodecInfo;  // published
    VideoCodecInfo_t m_CurrCodecInfo;  // being built
    std::unique_ptr<FramerateAssessor> m_pFramerateCalculator;
    bool m_FoundSps;
    HevcSps_t m_Sps;
    bool m_FoundPps;
    HevcPps_t m_Pps;
    bool m_FoundSlice;
    HevcSlice_t m_Slice;
    bool m_InferFramerateFlag;
};

}  // namespace Cmf
