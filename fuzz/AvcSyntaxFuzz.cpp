// Arbitrary bytes through the H.264 syntax parsers (sequence parameter set, slice header start,
// SEI message walk, picture timing, ITU-T T.35 caption data) and through the defragmenter and
// data extractor, as one access unit and as an elementary stream. Nothing may read outside the
// input, whatever the counts in it say, and every caption packet must lie inside the access unit
// it came from.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/codec/AvcDataExtractor.h"
#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"
#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/AvcSlice.h"
#include "hisi_av/application/cmf/codec/data/AvcSps.h"
#include "hisi_av/application/cmf/codec/data/ItuTT35.h"
#include "hisi_av/application/cmf/codec/data/SeiMessage.h"
#include "hisi_av/application/cmf/ts/Fragment.h"
#include "xptools/Print.h"
#include "xptools/Slice.h"

namespace {

// A heap copy of exactly these bytes, so that a sanitizer sees any read beyond them.
XP::CBuffer Copy(const uint8_t* data, size_t size, int header = -1) {
    const size_t offset = header >= 0 ? 1 : 0;
    XP::CBuffer buffer(size + offset);
    if (header >= 0) {
        buffer.GetBegin()[0] = static_cast<uint8_t>(header);
    }
    for (size_t i = 0; i < size; ++i) {
        buffer.GetBegin()[offset + i] = data[i];
    }
    return buffer;
}

// The input as an SPS and as the slices that depend on it.
Cmf::AvcSps_t ParseSpsAndSlices(const uint8_t* data, size_t size) {
    const XP::CBuffer spsBytes = Copy(data, size, 0x67);
    Cmf::AvcSps_t sps;
    if (!sps.Parse(Cmf::AvcNal(spsBytes))) {
        sps = Cmf::AvcSps_t();
    }
    (void)Cmf::AvcDataExtractor::ExtractDataFromSps(sps);
    for (int header : {0x65, 0x41}) {
        const XP::CBuffer sliceBytes = Copy(data, size, header);
        Cmf::AvcSlice_t slice;
        slice.Parse(Cmf::AvcNal(sliceBytes), false, sps);
        slice.Parse(Cmf::AvcNal(sliceBytes), true, sps);
    }
    return sps;
}

// The input as the payload of an SEI NAL unit: every message, picture timing read with the VUI
// given and with the longest delay fields there are, T.35 over the message's bytes.
void WalkSei(const uint8_t* data, size_t size, const Cmf::AvcVuiParameters_t& vui) {
    const XP::CBuffer bytes = Copy(data, size);
    Cmf::RbspReader reader(bytes);
    Cmf::AvcVuiParameters_t widest = vui;
    widest.nalHrdParametersPresentFlag = true;
    widest.picStructPresentFlag = true;
    widest.hrd.cpbRemovalDelayLengthMinus1 = 31;
    widest.hrd.dpbOutputDelayLengthMinus1 = 31;
    widest.hrd.timeOffsetLength = 31;
    while (reader.GetBytesRemaining() >= 2) {
        Cmf::SeiMessage_t message;
        if (!message.Parse(reader)) {
            break;
        }
        const size_t offset = reader.GetBytesParsed();
        if (offset > size) {
            __builtin_trap();
        }
        if (message.payloadType == Cmf::SeiMessage_t::SEI_PIC_TIMING) {
            const XP::CBuffer payload = Copy(data + offset, size - offset);
            Cmf::RbspReader timingReader(payload);
            Cmf::AvcPicTiming_t timing;
            timing.Parse(timingReader, vui);
            Cmf::RbspReader widestReader(payload);
            timing.Parse(widestReader, widest);
        } else if (message.payloadType == Cmf::SeiMessage_t::SEI_USER_DATA_REGISTERED_ITU_T_T35) {
            const size_t length =
                message.payloadSize < size - offset ? message.payloadSize : size - offset;
            const XP::CBuffer payload = Copy(data + offset, length);
            Cmf::RbspReader t35Reader(payload);
            Cmf::ItuTT35_t t35;
            if (t35.Parse(payload, t35Reader) && (t35.data.GetBegin() < payload.GetBegin() ||
                                                  t35.data.GetEnd() > payload.GetEnd())) {
                __builtin_trap();
            }
        }
        message.SkipPayload(reader);
    }
}

// Checks that what the extractor publishes views the access unit being processed.
class Watcher {
public:
    void Expect(const XP::CBuffer& bytes) { m_Bytes = bytes; }
    void OnCc(const Cmf::CcPacket_t& packet) {
        if (packet.data.GetBegin() < m_Bytes.GetBegin() ||
            packet.data.GetEnd() > m_Bytes.GetEnd()) {
            __builtin_trap();
        }
        packet.PrintDtvCcText(m_Discard);
    }
    void OnInfo(const Cmf::VideoCodecInfo_t& info) { (void)Cmf::GetVideoCodecInfoString(info); }

private:
    XP::CBuffer m_Bytes;
    std::ostringstream m_Discard;
};

struct Chain {
    Chain() {
        for (Cmf::AvcDataExtractor* pExtractor : {&auExtractor, &esExtractor}) {
            pExtractor->SubscribeCcPacket(XP::MakeFunctor<&Watcher::OnCc>(&watcher));
            pExtractor->SubscribeInfo(XP::MakeFunctor<&Watcher::OnInfo>(&watcher));
        }
        defragmenter.Subscribe(XP::MakeFunctor<&Chain::OnEsAu>(this));
    }
    void OnEsAu(const Cmf::AccessUnit& au) {
        watcher.Expect(au.GetData());
        esExtractor.PutAu(au);
    }

    Watcher watcher;
    // Kept from input to input, as in a long stream.
    Cmf::AvcDataExtractor auExtractor;
    Cmf::AvcDataExtractor esExtractor;
    Cmf::AvcDefragmenter defragmenter;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parsers' diagnostics would only slow the run down.
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    static Chain chain;

    const Cmf::AvcSps_t sps = ParseSpsAndSlices(data, size);
    WalkSei(data, size, sps.vui);

    // The input as one access unit (start codes found by scanning) ...
    const XP::CBuffer auBytes = Copy(data, size);
    const Cmf::AvcAu au(auBytes, Cmf::Pcr(size, 0), Cmf::Pcr(), {});
    chain.watcher.Expect(auBytes);
    chain.auExtractor.PutAu(au);
    // ... and as a piece of elementary stream.
    chain.defragmenter.PutFragment(Cmf::Fragment(auBytes, Cmf::Pcr(size, 0), 0));
    return 0;
}
