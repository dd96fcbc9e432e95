// Arbitrary bytes through the HEVC syntax parsers (as a NAL unit and as SEI payloads) and through
// the defragmenter and data extractor as an elementary stream. Nothing may read outside the
// input, whatever the counts in it say.
#include <cstddef>
#include <cstdint>
#include <string>

#include "hisi_av/application/cmf/codec/HevcAu.h"
#include "hisi_av/application/cmf/codec/HevcDataExtractor.h"
#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/HevcAlternativeTransferCharacteristics.h"
#include "hisi_av/application/cmf/codec/data/HevcContentLightLevel.h"
#include "hisi_av/application/cmf/codec/data/HevcMasteringDisplay.h"
#include "hisi_av/application/cmf/codec/data/HevcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/HevcPps.h"
#include "hisi_av/application/cmf/codec/data/HevcShortTermRefPicSet.h"
#include "hisi_av/application/cmf/codec/data/HevcSlice.h"
#include "hisi_av/application/cmf/codec/data/HevcSps.h"
#include "hisi_av/application/cmf/ts/Fragment.h"
#include "xptools/Print.h"
#include "xptools/Slice.h"

namespace {

// A heap copy of exactly the input, so that a sanitizer sees any read beyond it.
XP::CBuffer Copy(const uint8_t* data, size_t size) {
    XP::CBuffer buffer(size);
    for (size_t i = 0; i < size; ++i) {
        buffer.GetBegin()[i] = data[i];
    }
    return buffer;
}

void ParseAsNal(const XP::CBuffer& bytes) {
    const Cmf::HevcNal nal(bytes);
    (void)nal.GetUnitType();
    (void)nal.GetLayerId();
    (void)nal.GetTemporalIdPlus1();
    Cmf::HevcSps_t sps;
    const bool spsParsed = sps.Parse(nal);
    Cmf::HevcPps_t pps;
    pps.Parse(nal);
    for (bool dependent : {false, true}) {
        pps.dependentSliceSegmentsEnabled = dependent;
        Cmf::HevcSlice_t slice;
        slice.Parse(nal, pps, spsParsed ? sps.GetSliceSegmentAddressBits() : 7);
    }
}

void ParseAsPayloads(const XP::CBuffer& bytes) {
    {
        Cmf::RbspReader reader(bytes);
        Cmf::HevcShortTermRefPicSet_t rps;
        // A slice header's set last, referring back into the earlier ones.
        for (unsigned int i = 0; i <= 4 && rps.Parse(reader, i, 4); ++i) {
        }
    }
    {
        Cmf::RbspReader reader(bytes);
        Cmf::HevcVuiParameters_t vui;
        if (vui.Parse(reader, 7)) {
            vui.frameFieldInfoPresentFlag = true;
            Cmf::HevcPicTiming_t picTiming;
            picTiming.Parse(reader, vui);
        }
    }
    {
        Cmf::RbspReader reader(bytes);
        Cmf::HevcMasteringDisplay_t mastering;
        mastering.Parse(reader);
        Cmf::HevcContentLightLevel_t cll;
        cll.Parse(reader);
        Cmf::HevcAlternativeTransferCharacteristics_t atc;
        atc.Parse(reader);
    }
}

void OnInfo(const Cmf::VideoCodecInfo_t& info) {
    (void)Cmf::GetVideoCodecInfoString(info);
}

void OnCcPacket(const Cmf::CcPacket_t& packet) {
    // Every caption byte must be inside the stream's buffer.
    unsigned int sum = 0;
    for (const unsigned char* p = packet.data.GetBegin(); p != packet.data.GetEnd(); ++p) {
        sum += *p;
    }
    (void)sum;
}

struct Chain {
    Chain() : extractor(scheduler) {
        defragmenter.Subscribe(XP::MakeFunctor<&Chain::OnAu>(this));
        extractor.SubscribeInfo(XP::MakeFunctor<&OnInfo>());
        extractor.SubscribeCcPacket(XP::MakeFunctor<&OnCcPacket>());
    }
    void OnAu(const Cmf::AccessUnit& au) {
        const auto& hevcAu = dynamic_cast<const Cmf::HevcAu&>(au);
        Cmf::HevcNal nal;
        for (size_t i = 0; i < hevcAu.GetNalCount(); ++i) {
            hevcAu.GetNalByIndex(i, nal);
        }
        extractor.PutAu(au);
        // Also found by scanning for start codes.
        extractor.PutAu(Cmf::HevcAu(au.GetData(), au.GetPts(), au.GetDts(), {}));
    }

    Cmf::SharedScheduler scheduler;
    Cmf::HevcDefragmenter defragmenter;
    Cmf::HevcDataExtractor extractor;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parsers' diagnostics would only slow the run down.
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    // One chain for the whole run: its 5 MiB buffer is made once.
    static Chain chain;

    const XP::CBuffer bytes = Copy(data, size);
    ParseAsNal(bytes);
    ParseAsPayloads(bytes);

    // The stream in two fragments cut where the first byte says, the second with a PTS, then an
    // access unit delimiter that closes the last unit.
    const size_t cut = size > 0 ? data[0] % (size + 1) : 0;
    chain.defragmenter.PutFragment(Cmf::Fragment(Copy(data, cut), Cmf::Pcr(), 0));
    chain.defragmenter.PutFragment(
        Cmf::Fragment(Copy(data + cut, size - cut), Cmf::Pcr(uint64_t(size) * 3600, 0), 0));
    static const uint8_t delimiter[] = {0x00, 0x00, 0x00, 0x01, 0x46, 0x01, 0x50};
    chain.defragmenter.PutFragment(
        Cmf::Fragment(Copy(delimiter, sizeof(delimiter)), Cmf::Pcr(), 0));
    return 0;
}
