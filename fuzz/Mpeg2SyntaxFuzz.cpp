// Feeds arbitrary bytes as an MPEG-2 video elementary stream through the defragmenter and the data
// extractor, and parses the input directly as each kind of header. Checked on the way:
//   - every access unit lies in one piece of the defragmenter's buffer and every start-code
//     position and header view lies inside it; caption bytes lie inside their header;
//   - the same bytes fed whole and cut into pieces give the same access units.
//
// The first input byte sets the piece size (1 to 256 bytes) of the second run; the rest is the
// stream. Pieces are copied into buffers of exactly their size, so AddressSanitizer sees any read
// beyond a fragment. The defragmenters live across inputs and are brought to a fixed state
// before each one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureCodingExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqDisplayExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqExtension.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoSeqHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoUserData.h"
#include "hisi_av/application/cmf/internal/SharedScheduler.h"
#include "xptools/Print.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool Inside(const XP::CBuffer& inner, const XP::CBuffer& outer) {
    return inner.IsEmpty() ||
           (inner.GetBegin() >= outer.GetBegin() && inner.GetEnd() <= outer.GetEnd());
}

// Every parser over one header; fields must stay in their ranges whatever the bytes.
void ParseHeader(const Cmf::Mpeg2VideoHeader& header) {
    {
        Cmf::BitstreamReader reader(header.GetData());
        Cmf::Mpeg2VideoSeqHeader_t seq;
        seq.Parse(reader);
        Require(seq.aspectRatioInformation <= Cmf::Mpeg2VideoSeqHeader_t::ASPECT_RATIO_RESERVED);
        Require(seq.frameRateCode <= Cmf::Mpeg2VideoSeqHeader_t::FRAME_RATE_RESERVED);
    }
    {
        Cmf::BitstreamReader reader(header.GetData());
        Cmf::Mpeg2VideoSeqExtension_t ext;
        ext.Parse(reader);
        Require(ext.horizontalSizeExtension < 4 && ext.verticalSizeExtension < 4);
    }
    {
        Cmf::BitstreamReader reader(header.GetData());
        Cmf::Mpeg2VideoSeqDisplayExtension_t display;
        display.Parse(reader);
        Require(display.transChars <=
                Cmf::Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_RESERVED_BEGIN);
    }
    {
        Cmf::BitstreamReader reader(header.GetData());
        Cmf::Mpeg2VideoPictureCodingExtension_t coding;
        coding.Parse(reader);
    }
    Cmf::Mpeg2VideoPictureHeader_t picture;
    picture.Parse(header);
    Require(picture.codingType <= Cmf::Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_RESERVED);
    Cmf::Mpeg2VideoUserData_t userData;
    if (userData.Parse(header)) {
        Require(!userData.data.IsEmpty() && Inside(userData.data, header.GetData()));
    }
    (void)header.GetExtensionStartCodeIdentifier();
}

class Sink {
public:
    void OnAu(const Cmf::AccessUnit& accessUnit) {
        const auto* au = dynamic_cast<const Cmf::Mpeg2VideoAu*>(&accessUnit);
        Require(au != nullptr && au->GetSize() > Cmf::Mpeg2VideoDefragmenter::MIN_AU_SIZE);
        const XP::CBuffer& data = au->GetData();
        for (std::size_t i = 0; i < au->GetHeaderCount(); ++i) {
            Require(au->GetScPositions()[i] < data.GetSize());
            Cmf::Mpeg2VideoHeader header;
            if (au->GetHeaderByIndex(i, header)) {
                Require(Inside(header.GetData(), data));
                ParseHeader(header);
            }
        }
        m_Aus.emplace_back(data.GetBegin(), data.GetEnd());
        m_Aus.back().push_back(au->GetPts().IsValid() ? 1 : 0);
        m_pData = &data;
        if (m_pExtractor != nullptr) {
            m_pExtractor->PutAu(*au);
        }
    }

    void OnCc(const Cmf::CcPacket_t& packet) {
        Require(!packet.data.IsEmpty() && m_pData != nullptr && Inside(packet.data, *m_pData));
    }

    Cmf::Mpeg2VideoDataExtractor* m_pExtractor = nullptr;
    const XP::CBuffer* m_pData = nullptr;
    std::vector<std::vector<uint8_t>> m_Aus;
};

// A defragmenter and its sink, made once: the 5 MiB buffer is too costly to make per input.
struct Chain {
    Chain() { defragmenter.Subscribe(XP::MakeFunctor<&Sink::OnAu>(&sink)); }

    // Brings the defragmenter to the same state whatever came before: a non-zero byte ends any
    // start code in progress, a slice and then a sequence end code close the unit in progress
    // and start a new one with just the sequence end code.
    void Restart() {
        static const uint8_t flush[] = {0xFF, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0xB7};
        sink.m_pExtractor = nullptr;
        XP::CBuffer bytes(sizeof flush);
        std::copy(flush, flush + sizeof flush, bytes.GetBegin());
        defragmenter.PutFragment(Cmf::Fragment(bytes, Cmf::Pcr(), 0));
        sink.m_Aus.clear();
        sink.m_pData = nullptr;
    }

    Cmf::Mpeg2VideoDefragmenter defragmenter;
    Sink sink;
};

std::vector<std::vector<uint8_t>> Run(Chain& chain, const uint8_t* data, std::size_t size,
                                      std::size_t piece, Cmf::Mpeg2VideoDataExtractor* extractor) {
    chain.Restart();
    chain.sink.m_pExtractor = extractor;
    for (std::size_t offset = 0; offset < size; offset += piece) {
        const std::size_t count = std::min(piece, size - offset);
        XP::CBuffer bytes(count);
        std::copy(data + offset, data + offset + count, bytes.GetBegin());
        // A time stamp now and then, so that units carry and lose them.
        const Cmf::Pcr pts = (offset / piece) % 3 == 0 ? Cmf::Pcr(offset * 300) : Cmf::Pcr();
        chain.defragmenter.PutFragment(Cmf::Fragment(bytes, pts, 0));
    }
    chain.sink.m_pExtractor = nullptr;
    return chain.sink.m_Aus;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size < 1) {
        return 0;
    }
    const std::size_t piece = std::size_t(data[0]) + 1;
    ++data;
    --size;

    XP::CBuffer whole(size);
    std::copy(data, data + size, whole.GetBegin());
    ParseHeader(Cmf::Mpeg2VideoHeader(whole));

    // Pieces of the first run carry time stamps at other places: compare the bytes only.
    auto strip = [](std::vector<std::vector<uint8_t>> aus) {
        for (auto& au : aus) {
            au.pop_back();
        }
        return aus;
    };
    static Cmf::SharedScheduler scheduler;
    static Chain wholeChain;
    static Chain cutChain;
    Cmf::Mpeg2VideoDataExtractor extractor(scheduler);
    extractor.SubscribeCcPacket(XP::MakeFunctor<&Sink::OnCc>(&cutChain.sink));
    const auto once = Run(wholeChain, data, size, size == 0 ? 1 : size, nullptr);
    const auto cut = Run(cutChain, data, size, piece, &extractor);
    Require(strip(once) == strip(cut));
    return 0;
}
