#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleCapture.h"
#include "LinkTestSupport.h"
#include "shared/comms/FrameUnframer.h"
#include "shared/comms/UartFraming.h"

namespace {

using LinkTest::Bytes;
using LinkTest::Concat;
using Lines = std::vector<std::string>;

// Pushes `stream` in pieces of `piece` bytes; returns what was delivered.
std::vector<Bytes> Unframe(const Bytes& stream, size_t piece) {
    std::vector<Bytes> ops;
    CFrameUnframer unframer(
        [&ops](XP::CSharedPtr<SsOp> op) { ops.push_back(LinkTest::Parsed(*op)); });
    for (size_t at = 0; at < stream.size(); at += piece) {
        unframer.Push(stream.data() + at, std::min(piece, stream.size() - at));
    }
    return ops;
}

const Bytes kFrameA = {0x0F, 0x00, 0x02, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04, 0x10};
const Bytes kPayloadA = {0x00, 0x02, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04};  // SET 0x0102 [1] 0304
const Bytes kFrameB = {0x0F, 0x04, 0x00, 0x00, 0x00, 0x00, 0x10};
const Bytes kPayloadB = {0x04, 0x00, 0x00, 0x00, 0x00};  // type 4, id 0, nothing else

TEST(FrameUnframer, SameOperationsHoweverTheStreamIsCut) {
    const Bytes stream = Concat({
        {0x41, 0x00, 0xFF},  // before the first frame
        kFrameA,
        {0x11, 0x13, 0x7E},  // between frames
        kFrameB,
        {0x0F, 0x00, 0x12, 0x30, 0x00, 0x01, 0x12, 0x33, 0x01, 0x12, 0x2F, 0x10},
        {0x0F, 0x00, 0x11, 0x00, 0x00, 0x00, 0x10},  // a raw 0x11 inside is data
    });
    const std::vector<Bytes> expected = {kPayloadA,
                                         kPayloadB,
                                         {0x00, 0x10, 0x00, 0x01, 0x13, 0x01, 0x0F},
                                         {0x00, 0x11, 0x00, 0x00, 0x00}};
    KestrelTest::ConsoleCapture console;
    for (size_t piece : {stream.size(), size_t{1}, size_t{3}, size_t{7}}) {
        EXPECT_EQ(Unframe(stream, piece), expected) << "pieces of " << piece;
    }
    EXPECT_EQ(console.Lines(), Lines{});
}

// Broken framing costs at most the broken frame, never the frames after it.
TEST(FrameUnframer, ResynchronisesAfterBrokenFrames) {
    // The longest operation: 515 payload bytes after unescaping, most of them escaped.
    const Bytes longest =
        Concat({{0x00, 0x34, 0x12, 0xFF}, Bytes(255, 0x10), {0xFF}, Bytes(255, 0x13)});
    const Bytes tooLong = Concat({longest, {0x00}});
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<Bytes> ops;
        Lines lines;
    };
    const Case cases[] = {
        {"data count past the frame end, then an empty frame",
         Concat({{0x0F, 0x00, 0x01, 0x00, 0x00, 0x05, 0xAA, 0x10, 0x0F, 0x10}, kFrameB}),
         {kPayloadB},
         {"DeserializeArray failed! offset=4, dataLength=6; arrayLength=5",
          "UartRecv: Deserialize Failed", "UartRecv: Deserialize Failed"}},
        {"lone end bytes",
         Concat({{0x10}, kFrameA, {0x10, 0x10}, kFrameB}),
         {kPayloadA, kPayloadB},
         {}},
        {"start inside an open frame",
         Concat({{0x0F, 0x41, 0x42}, kFrameB, {0x0F}, kFrameA}),
         {kPayloadB, kPayloadA},
         {"UartRecv: frame without end byte dropped (2 bytes)",
          "UartRecv: frame without end byte dropped (0 bytes)"}},
        // An escape left open must not alter the first byte of the next frame.
        {"dangling escapes",
         Concat({{0x12}, kFrameB, {0x0F, 0x04, 0x00, 0x00, 0x00, 0x00, 0x12, 0x10}, kFrameA}),
         {kPayloadB, kPayloadB, kPayloadA},
         {}},
        {"frame longer than any operation",
         Concat({UartFraming::EncodeFrame(tooLong), UartFraming::EncodeFrame(longest), kFrameB}),
         {longest, kPayloadB},
         {"UartRecv: frame longer than 515 bytes dropped"}},
    };
    for (const Case& c : cases) {
        KestrelTest::ConsoleCapture console;
        EXPECT_EQ(Unframe(c.stream, c.stream.size()), c.ops) << c.name;
        EXPECT_EQ(console.Lines(), c.lines) << c.name;
    }
}

}  // namespace
