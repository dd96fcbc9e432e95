#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "CodecTestUtil.h"
#include "ConsoleCapture.h"
#include "TsStreamBuilder.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Positions = std::vector<unsigned int>;
using CodecTest::MakeBuffer;
using H = Cmf::Mpeg2VideoHeader;

// A coded picture laid out header by header, with the offsets of its start codes noted as they
// are written: the expectation for the defragmenter's positions.
struct TestAu {
    Bytes bytes;
    Positions positions;

    TestAu& Header(uint8_t value, const Bytes& body) {
        positions.push_back(static_cast<unsigned int>(bytes.size()));
        bytes.insert(bytes.end(), {0x00, 0x00, 0x01, value});
        bytes.insert(bytes.end(), body.begin(), body.end());
        return *this;
    }
    // A slice of `size` bytes after its start code, without zero runs.
    TestAu& Slice(uint8_t row, std::size_t size) {
        Bytes body(size);
        for (std::size_t i = 0; i < size; ++i) {
            body[i] = static_cast<uint8_t>(0x40 + i % 97);
        }
        return Header(row, body);
    }
};

TestAu Picture(bool withSequence, unsigned temporalReference, std::size_t sliceSize = 120) {
    TestAu au;
    if (withSequence) {
        au.Header(0xB3, {0x2D, 0x01, 0xE0, 0x24, 0x0B, 0xB8, 0x23, 0x80});
        au.Header(0xB5, {0x14, 0x8A, 0x00, 0x01, 0x00, 0x00});
        au.Header(0xB8, {0x00, 0x08, 0x00, 0x00});
    }
    au.Header(0x00, {static_cast<uint8_t>(temporalReference >> 2),
                     static_cast<uint8_t>((temporalReference & 3) << 6 | 1 << 3), 0xFF, 0xF8});
    au.Header(0xB5, {0x8F, 0xFF, 0xF3, 0x80, 0x80});
    au.Header(0xB2, {'G', 'A', '9', '4', 0x03, 0x42, 0xFF, 0xFC, 0x94, 0x20, 0xFF});
    au.Slice(0x01, sliceSize).Slice(0x02, sliceSize);
    return au;
}

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

struct AuCollector {
    explicit AuCollector(Cmf::Mpeg2VideoDefragmenter& defragmenter) {
        defragmenter.Subscribe(XP::MakeFunctor<&AuCollector::OnAu>(this));
    }
    void OnAu(const Cmf::AccessUnit& au) {
        const auto* mpeg2 = dynamic_cast<const Cmf::Mpeg2VideoAu*>(&au);
        ASSERT_NE(mpeg2, nullptr);
        const XP::CBuffer& data = au.GetData();
        m_Aus.push_back(
            {Bytes(data.GetBegin(), data.GetEnd()), mpeg2->GetScPositions(), au.GetPts()});
    }
    std::vector<SeenAu> m_Aus;
};

// Feeds `bytes` in pieces of `pieceSize`, the first piece with `pts`.
void Feed(Cmf::Mpeg2VideoDefragmenter& defragmenter, const Bytes& bytes, std::size_t pieceSize,
          const Cmf::Pcr& pts = Cmf::Pcr()) {
    for (std::size_t offset = 0; offset < bytes.size(); offset += pieceSize) {
        const std::size_t size = std::min(pieceSize, bytes.size() - offset);
        const Bytes piece(bytes.begin() + offset, bytes.begin() + offset + size);
        defragmenter.PutFragment(
            Cmf::Fragment(MakeBuffer(piece), offset == 0 ? pts : Cmf::Pcr(), 0));
    }
}

const Bytes SEQUENCE_END{0x00, 0x00, 0x01, 0xB7};

Cmf::Pcr PtsOf(std::size_t index) {
    return Cmf::Pcr(900000 + 3003 * index, 0);
}

// Each picture in its own PES (a fragment with its PTS), however the bytes are cut within: the
// same units, positions and time stamps. The tail of a picture whose start was not seen, stuffing
// zeros before a start code and the sequence end code are not delivered as units.
TEST(Mpeg2VideoDefragmenterTest, CutsPicturesAtTheirFirstPrefixHeader) {
    std::vector<TestAu> aus{Picture(true, 2), Picture(false, 0), Picture(false, 1),
                            Picture(false, 5), Picture(true, 2)};
    aus[2].bytes.insert(aus[2].bytes.end(), {0x00, 0x00});  // stuffing before the next picture
    std::vector<SeenAu> expected;
    for (std::size_t i = 0; i < aus.size(); ++i) {
        expected.push_back({aus[i].bytes, aus[i].positions, PtsOf(i)});
    }

    for (std::size_t pieceSize :
         {std::size_t(1), std::size_t(7), std::size_t(184), std::size_t(100000)}) {
        Cmf::Mpeg2VideoDefragmenter defragmenter;
        AuCollector collector(defragmenter);
        // The slices of a picture whose headers went before the stream was joined.
        Feed(defragmenter, TestAu().Slice(0x05, 300).Slice(0x06, 300).bytes, pieceSize, PtsOf(99));
        for (std::size_t i = 0; i < aus.size(); ++i) {
            Feed(defragmenter, aus[i].bytes, pieceSize, PtsOf(i));
        }
        Feed(defragmenter, SEQUENCE_END, pieceSize);
        EXPECT_EQ(collector.m_Aus, expected) << "pieces of " << pieceSize;
    }
}

// The boundary needs more than 200 bytes before it; a PTS that arrives inside a unit belongs to
// the next one started, and a unit started without one has none.
TEST(Mpeg2VideoDefragmenterTest, SmallUnitsAreDroppedAndPtsGoesToTheNextUnit) {
    const TestAu small = Picture(false, 1, 1);
    const std::size_t overhead = small.bytes.size() - 2 * (4 + 1);  // without the two slices
    // Slice sizes that make the picture exactly 200 and 201 bytes long.
    const std::size_t size200 = (200 - overhead) / 2 - 4;
    TestAu at200 = Picture(false, 1, size200);
    TestAu at201 = Picture(false, 2, size200);
    ASSERT_LE(at200.bytes.size(), 200u);
    at200.bytes.insert(at200.bytes.end(), 200 - at200.bytes.size(), 0x55);
    at201.bytes.insert(at201.bytes.end(), 201 - at201.bytes.size(), 0x55);

    Cmf::Mpeg2VideoDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    const TestAu first = Picture(true, 0);
    Feed(defragmenter, first.bytes, 50, PtsOf(0));
    // The second picture's PTS arrives in the middle of the first picture's last slice.
    Feed(defragmenter, Bytes(10, 0x66), 10, PtsOf(1));
    Feed(defragmenter, at200.bytes, 13);
    Feed(defragmenter, at201.bytes, 13);  // no PTS of its own
    Feed(defragmenter, SEQUENCE_END, 4);

    Bytes firstBytes = first.bytes;
    firstBytes.insert(firstBytes.end(), 10, 0x66);
    const std::vector<SeenAu> expected{{firstBytes, first.positions, PtsOf(0)},
                                       {at201.bytes, at201.positions, Cmf::Pcr()}};
    EXPECT_EQ(collector.m_Aus, expected);
}

TEST(Mpeg2VideoDefragmenterTest, OversizedUnitIsDroppedAndTheStreamResumes) {
    KestrelTest::ConsoleCapture console;
    Cmf::Mpeg2VideoDefragmenter defragmenter;
    AuCollector collector(defragmenter);
    Feed(defragmenter, Picture(true, 0).bytes, 4096, PtsOf(0));
    const Bytes filler(64 * 1024, 0xA5);
    for (std::size_t fed = 0; fed <= Cmf::Mpeg2VideoDefragmenter::MAX_AU_SIZE;
         fed += filler.size()) {
        Feed(defragmenter, filler, filler.size());
    }
    EXPECT_EQ(console.Take(),
              std::vector<std::string>{"Mpeg2VideoDefragmenter: AU too large: 5242880 bytes."});
    EXPECT_TRUE(collector.m_Aus.empty());

    const TestAu second = Picture(true, 0);
    const TestAu third = Picture(false, 1);
    Feed(defragmenter, second.bytes, 4096, PtsOf(1));
    Feed(defragmenter, third.bytes, 4096, PtsOf(2));
    Feed(defragmenter, SEQUENCE_END, 4);
    const std::vector<SeenAu> expected{{second.bytes, second.positions, PtsOf(1)},
                                       {third.bytes, third.positions, PtsOf(2)}};
    EXPECT_EQ(collector.m_Aus, expected);
    EXPECT_TRUE(console.Take().empty());
}

TEST(Mpeg2VideoDefragmenterTest, AccessUnitFindsItsHeaders) {
    TestAu picture = Picture(true, 3);
    picture.Header(0xB2, {'D', 'T', 'G', '1', 0x41, 0xF8});  // a second user data, after slices
    const XP::CBuffer data = MakeBuffer(picture.bytes);
    const Cmf::Mpeg2VideoAu au(data, Cmf::Pcr(), Cmf::Pcr(), {});
    EXPECT_EQ(au.GetScPositions(), picture.positions);  // found by scanning

    // A header ends one byte before the next start code; the last one before the unit's end.
    Cmf::Mpeg2VideoHeader header;
    ASSERT_TRUE(au.GetHeaderByIndex(0, header));
    EXPECT_EQ(Bytes(header.GetData().GetBegin(), header.GetData().GetEnd()),
              Bytes(picture.bytes.begin(), picture.bytes.begin() + picture.positions[1] - 1));
    const std::size_t last = picture.positions.size() - 1;
    ASSERT_TRUE(au.GetHeaderByIndex(last, header));
    EXPECT_EQ(header.GetData().GetSize(), picture.bytes.size() - 1 - picture.positions[last]);
    EXPECT_FALSE(au.GetHeaderByIndex(last + 1, header));

    std::vector<Cmf::Mpeg2VideoHeader> userData;
    ASSERT_TRUE(au.GetHeaderByType(H::USER_DATA_SC, userData));
    ASSERT_EQ(userData.size(), 2u);
    EXPECT_EQ(userData[0].GetData().GetBegin()[4], 'G');
    EXPECT_EQ(userData[1].GetData().GetBegin()[4], 'D');
    EXPECT_FALSE(au.GetHeaderByType(H::SEQUENCE_END_SC, userData));

    ASSERT_TRUE(au.GetExtensionByType(H::EXTENSION_PICTURE_CODING, header));
    EXPECT_EQ(header.GetData().GetBegin(), data.GetBegin() + picture.positions[4]);
    ASSERT_TRUE(au.GetExtensionByType(H::EXTENSION_SEQUENCE, header));
    EXPECT_EQ(header.GetData().GetBegin(), data.GetBegin() + picture.positions[1]);
    EXPECT_FALSE(au.GetExtensionByType(H::EXTENSION_SEQUENCE_DISPLAY, header));
    ASSERT_TRUE(au.GetFirstHeaderSlice(header));
    EXPECT_EQ(header.GetData().GetBegin(), data.GetBegin() + picture.positions[6]);

    // A clone owns its bytes.
    const Cmf::Mpeg2VideoAu clone = au.Clone();
    data.GetBegin()[3] = 0xB7;
    EXPECT_EQ(clone.GetData().GetBegin()[3], 0xB3);
    EXPECT_EQ(clone.GetScPositions(), picture.positions);
}

}  // namespace
