#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "HevcSyntaxWriter.h"
#include "TsStreamBuilder.h"
#include "hisi_av/application/cmf/codec/HevcAu.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Positions = std::vector<unsigned int>;
using CodecTest::MakeBuffer;

struct SeenAu {
    Bytes bytes;
    Positions positions;
    Cmf::Pcr pts;

    bool operator==(const SeenAu& o) const {
        return bytes == o.bytes && positions == o.positions && pts == o.pts;
    }
};

void PrintTo(const SeenAu& au, std::ostream* os) {
    *os << au.bytes.size() << " bytes, positions " << ::testing::PrintToString(au.positions)
        << ", PTS " << (au.pts.IsValid() ? std::to_string(au.pts.GetBase()) : "-");
}

class AuCollector {
public:
    explicit AuCollector(Cmf::Defragmenter& defragmenter) {
        defragmenter.Subscribe(XP::MakeFunctor<&AuCollector::OnAu>(this));
    }
    void OnAu(const Cmf::AccessUnit& au) {
        const auto* hevcAu = dynamic_cast<const Cmf::HevcAu*>(&au);
        ASSERT_NE(hevcAu, nullptr);
        m_Aus.push_back({Bytes(au.GetData().GetBegin(), au.GetData().GetEnd()),
                         hevcAu->GetScPositions(), au.GetPts()});
        m_Clones.push_back(hevcAu->Clone());
    }
    std::vector<SeenAu> m_Aus;
    std::vector<Cmf::HevcAu> m_Clones;
};

// Feeds `pieces` fragments; piece i carries ptsAt(i).
void Feed(Cmf::HevcDefragmenter& defragmenter, const std::vector<Bytes>& pieces,
          const std::vector<Cmf::Pcr>& pts = {}) {
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        defragmenter.PutFragment(
            Cmf::Fragment(MakeBuffer(pieces[i]), i < pts.size() ? pts[i] : Cmf::Pcr(), 0));
    }
}

Bytes Cat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes ThreeByte(const Bytes& nal) {
    return Cat({{0x00, 0x00, 0x01}, nal});
}

const Bytes AUD = HevcTest::MakeAu({{0x46, 0x01, 0x50}});
const Bytes SPS_PPS = HevcTest::MakeAu({HevcTest::MakeSps({}), HevcTest::MakePps(false, 0)});

// An access unit begins at a 4-byte start code before a prefix unit or a picture's first slice
// segment; a first slice segment after a 3-byte start code continues the unit. Positions are
// those of each start code's first byte (for 00 00 00 01 the first zero).
TEST(HevcDefragmenterTest, BoundariesOnlyAtFourByteStartCodes) {
    const Bytes idr = HevcTest::MakeAu({HevcTest::MakeSlice(19, 2)});
    const Bytes secondSegment = ThreeByte(HevcTest::MakeSlice(1, 2, false));
    // A complete picture's slice again, but after 00 00 01: no new unit.
    const Bytes hiddenPicture = ThreeByte(HevcTest::MakeSlice(1, 1));
    const Bytes picture2 = HevcTest::MakeAu({HevcTest::MakeSlice(1, 1)});
    const Bytes stream =
        Cat({{0x12, 0x00, 0x00}, AUD, SPS_PPS, idr, secondSegment, hiddenPicture, picture2, AUD});

    const std::size_t spsOffset = AUD.size();
    const std::size_t ppsOffset = spsOffset + 4 + HevcTest::MakeSps({}).size();
    const std::size_t idrOffset = AUD.size() + SPS_PPS.size();
    const std::size_t segOffset = idrOffset + idr.size();
    const std::size_t hiddenOffset = segOffset + secondSegment.size();
    const SeenAu first{Cat({AUD, SPS_PPS, idr, secondSegment, hiddenPicture}),
                       Positions{0, unsigned(spsOffset), unsigned(ppsOffset), unsigned(idrOffset),
                                 unsigned(segOffset), unsigned(hiddenOffset)},
                       Cmf::Pcr(900000, 0)};
    const SeenAu second{picture2, Positions{0}, Cmf::Pcr(903600, 0)};

    // Whole, byte by byte, and cut at odd places: the same units. The second PTS arrives in the
    // middle of the first unit: it belongs to the unit started next.
    for (std::size_t pieceSize :
         {stream.size(), std::size_t(1), std::size_t(7), std::size_t(188)}) {
        Cmf::HevcDefragmenter defragmenter;
        AuCollector collector(defragmenter);
        std::vector<Bytes> pieces;
        std::vector<Cmf::Pcr> pts;
        for (const auto& part : {std::make_pair(std::size_t(0), segOffset),
                                 std::make_pair(segOffset, stream.size())}) {
            for (std::size_t offset = part.first; offset < part.second; offset += pieceSize) {
                const std::size_t end = std::min(part.second, offset + pieceSize);
                pieces.emplace_back(stream.begin() + offset, stream.begin() + end);
                pts.push_back(offset == 0           ? Cmf::Pcr(900000, 0)
                              : offset == segOffset ? Cmf::Pcr(903600, 0)
                                                    : Cmf::Pcr());
            }
        }
        Feed(defragmenter, pieces, pts);
        ASSERT_EQ(collector.m_Aus.size(), 2u) << pieceSize;
        EXPECT_EQ(collector.m_Aus[0], first) << pieceSize;
        EXPECT_EQ(collector.m_Aus[1], second) << pieceSize;
    }

    // Views: each unit ends one byte before the next start code, the last one before the unit's
    // last byte.
    Cmf::HevcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, {stream});
    const Cmf::HevcAu& au = collector.m_Clones.at(0);
    ASSERT_EQ(au.GetNalCount(), 6u);
    Cmf::HevcNal nal;
    ASSERT_TRUE(au.GetNalByType(Cmf::HevcNal::PPS_NUT, nal));
    const Bytes pps = HevcTest::MakePps(false, 0);
    EXPECT_EQ(nal.GetData(), MakeBuffer(Bytes(pps.begin(), pps.end() - 1)));
    EXPECT_EQ(nal.GetTemporalIdPlus1(), 1);
    ASSERT_TRUE(au.GetFirstNalSlice(nal));
    EXPECT_EQ(nal.GetUnitType(), Cmf::HevcNal::IDR_W_RADL);
    ASSERT_TRUE(au.GetNalByIndex(5, nal));
    EXPECT_EQ(nal.GetData().GetSize(), hiddenPicture.size() - 4);
    EXPECT_FALSE(au.GetNalByIndex(6, nal));
    // Found again by scanning when no positions are given.
    const Cmf::HevcAu rescanned(au.GetData(), Cmf::Pcr(), Cmf::Pcr(), {});
    EXPECT_EQ(rescanned.GetScPositions(),
              (Positions{1, unsigned(spsOffset + 1), unsigned(ppsOffset + 1),
                         unsigned(idrOffset + 1), unsigned(segOffset), unsigned(hiddenOffset)}));
}

// Units of MIN_AU_SIZE bytes or fewer are never delivered; one byte more is.
TEST(HevcDefragmenterTest, SmallUnitsAreDropped) {
    for (std::size_t size : {32, 33}) {
        // AUD (7 bytes) and a slice unit making up the rest.
        const Bytes au = Cat({AUD, HevcTest::MakeAu({HevcTest::MakeSlice(1, 1, true, size - 11)})});
        ASSERT_EQ(au.size(), size);
        Cmf::HevcDefragmenter defragmenter;
        AuCollector collector(defragmenter);
        const Bytes idr = HevcTest::MakeAu({HevcTest::MakeSlice(19, 2)});
        Feed(defragmenter, {Cat({AUD, SPS_PPS, idr, au, AUD})});
        ASSERT_EQ(collector.m_Aus.size(), size > 32 ? 2u : 1u) << size;
        EXPECT_EQ(collector.m_Aus[0].bytes, Cat({AUD, SPS_PPS, idr}));
        if (size > 32) {
            EXPECT_EQ(collector.m_Aus[1].bytes, au);
        }
    }
}

TEST(HevcDefragmenterTest, EndlessUnitIsDroppedAndTheStreamResynchronises) {
    KestrelTest::ConsoleCapture console;
    Cmf::HevcDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    const Bytes picture = Cat({AUD, HevcTest::MakeAu({HevcTest::MakeSlice(1, 1)})});
    Feed(defragmenter, {Cat({AUD, SPS_PPS})});
    Feed(defragmenter, {Bytes(Cmf::HevcDefragmenter::MAX_AU_SIZE, 0x55)});
    Feed(defragmenter, {Cat({picture, picture, AUD})});
    EXPECT_EQ(console.Lines(),
              std::vector<std::string>{"HevcDefragmenter: AU too large: 5242880 bytes."});
    // The unit running at the overflow is lost; the two pictures after it arrive whole.
    ASSERT_EQ(collector.m_Aus.size(), 2u);
    EXPECT_EQ(collector.m_Aus[0].bytes, picture);
    EXPECT_EQ(collector.m_Aus[1].bytes, picture);
    EXPECT_EQ(collector.m_Aus[1].positions, (Positions{0, unsigned(AUD.size())}));
}

}  // namespace
