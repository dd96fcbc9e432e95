#include "shared/comms/SsOp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ConsoleCapture.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Serialized(SsOp& op) {
    Bytes out;
    op.GetSerializedOp(out);
    return out;
}

// --- Byte form ------------------------------------------------------------------------------

TEST(SsOpByteForm, SetWithOneIndexAndSixteenBitValue) {
    SsOp op(OP_TYPE_SET, 0x0102);
    op.SetIndexList({1});
    ASSERT_TRUE(op.SetSsOpData(0x0304, VT_UINT16));

    EXPECT_EQ(op.SerializeOp(), 8u);
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    op.GetSerializedOp(bytes, length);
    EXPECT_EQ(Bytes(bytes, bytes + length),
              (Bytes{0x00, 0x02, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04}));

    // The vector form appends after what is already there.
    Bytes out{0xEE};
    op.GetSerializedOp(out);
    EXPECT_EQ(out, (Bytes{0xEE, 0x00, 0x02, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04}));
}

TEST(SsOpByteForm, HeaderDefaultsAndTruncatedTypeAndId) {
    SsOp plain;
    EXPECT_EQ(Serialized(plain), (Bytes{0x00, 0x00, 0x00, 0x00, 0x00}));
    SsOp request(OP_TYPE_REQUEST);
    EXPECT_EQ(Serialized(request), (Bytes{0x04, 0x00, 0x00, 0x00, 0x00}));

    // Only the low 16 bits of the id and the low byte of the type travel.
    SsOp wide(static_cast<OpType_e>(0x1C8), 0xABCD1234);
    EXPECT_EQ(Serialized(wide), (Bytes{0xC8, 0x34, 0x12, 0x00, 0x00}));
}

TEST(SsOpByteForm, DataIsCutToTwoHundredFortyBytes) {
    Bytes data(300);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    // What goes out: the header, then the count 240 and the first 240 data bytes.
    auto cut = [&data](Bytes head) {
        head.push_back(240);
        head.insert(head.end(), data.begin(), data.begin() + 240);
        return head;
    };
    SsOp op(OP_TYPE_SET, 7);
    op.SetIndexList({2, 3});
    op.SetDataU8(data.data(), data.size());
    EXPECT_EQ(op.GetDataLength(), 300u);
    EXPECT_EQ(Serialized(op), cut({0x00, 0x07, 0x00, 0x02, 0x02, 0x03}));

    // Up to 255 data bytes are accepted from the link.
    Bytes payload{0x00, 0x10, 0x00, 0x01, 0x02, 0xFF};
    payload.insert(payload.end(), data.begin(), data.begin() + 255);
    SsOp received;
    EXPECT_EQ(received.DeserializeOp(payload), payload.size());
    EXPECT_EQ(received.GetDataLength(), 255u);
    EXPECT_EQ(Serialized(received), cut({0x00, 0x10, 0x00, 0x01, 0x02}));
}

TEST(SsOpByteForm, SettersDoNotClearTheCachedForm) {
    SsOp op(OP_TYPE_SET, 1);
    op.SetDataU8(uint8_t{5});
    const Bytes first = Serialized(op);
    EXPECT_EQ(first, (Bytes{0x00, 0x01, 0x00, 0x00, 0x01, 0x05}));

    op.SetDataU8(uint8_t{6});
    op.SetIndexList({9});
    EXPECT_EQ(Serialized(op), first);

    EXPECT_EQ(op.SerializeOp(), 7u);
    EXPECT_EQ(Serialized(op), (Bytes{0x00, 0x01, 0x00, 0x01, 0x09, 0x01, 0x06}));
}

TEST(SsOpByteForm, TextForm) {
    SsOp op(OP_TYPE_SET, 0x0102);
    op.SetIndexList({1, 0xA0});
    op.SetDataU16(0x0304);
    EXPECT_EQ(op.ToString(), "OP_TYPE_SET id=0x0102 index=[01 a0] data=[03 04]");

    SsOp odd(static_cast<OpType_e>(200), 0x1F);
    odd.SetDataU8(std::string(40, 'A'));
    std::string hex = "41";
    for (int i = 1; i < 32; ++i)
        hex += " 41";
    EXPECT_EQ(odd.ToString(), "OP_TYPE_200 id=0x001f index=[] data=[" + hex + " ... 40 bytes]");
}

// --- Plain accessors and raw data ------------------------------------------------------------

TEST(SsOpAccessors, LastIndexAndDataAsBytesOrString) {
    SsOp op;
    EXPECT_EQ(op.GetLastIndex(), 1);  // no index list
    op.SetIndexList({3, 9});
    EXPECT_EQ(op.GetLastIndex(), 9);
    op.SetIndexList({0});
    EXPECT_EQ(op.GetLastIndex(), 0);

    const uint8_t raw[] = {'a', 0x00, 'b'};
    op.SetDataU8(raw, sizeof(raw));
    EXPECT_EQ(op.GetDataString(), std::string("a\0b", 3));
    op.SetDataU8(std::string("xyz"));
    EXPECT_EQ(op.GetRawData(), (Bytes{'x', 'y', 'z'}));
    op.SetDataU8(nullptr, 4);
    EXPECT_EQ(op.GetDataLength(), 0u);
}

TEST(SsOpRawData, SettersWriteBigEndianAndGettersFoldAndSignExtend) {
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    op.SetDataU8(uint8_t{0xAB});
    EXPECT_EQ(op.GetRawData(), (Bytes{0xAB}));
    op.SetDataU16(0x1234);
    EXPECT_EQ(op.GetRawData(), (Bytes{0x12, 0x34}));
    op.SetData16(-300);
    EXPECT_EQ(op.GetRawData(), (Bytes{0xFE, 0xD4}));
    EXPECT_EQ(op.GetDataU16(), 0xFED4);
    EXPECT_EQ(op.GetData16(), -300);
    EXPECT_EQ(op.GetDataU8(1), 0xD4);
    EXPECT_EQ(op.GetData8(0), -2);
    op.SetDataU32(0x01020304);
    EXPECT_EQ(op.GetRawData(), (Bytes{0x01, 0x02, 0x03, 0x04}));
    op.SetData32(-2);
    EXPECT_EQ(op.GetRawData(), (Bytes{0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(op.GetDataU32(), 0xFFFFFFFEu);
    EXPECT_EQ(op.GetData32(), -2);
    op.SetData64(-3);
    EXPECT_EQ(op.GetRawData(), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD}));
    EXPECT_EQ(op.GetData64(), -3);
    EXPECT_EQ(op.GetDataU64(), 0xFFFFFFFFFFFFFFFDull);
    op.SetDataU64(0x0102030405060708ull);
    EXPECT_EQ(op.GetRawData(), (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}));

    // With more than eight bytes the last eight count.
    const Bytes ten{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A};
    op.SetDataU8(ten.data(), ten.size());
    EXPECT_EQ(op.GetDataU64(), 0x030405060708090Aull);
    EXPECT_EQ(op.GetData64(), 0x030405060708090All);
    EXPECT_THAT(cap.Lines(), IsEmpty());
}

TEST(SsOpRawData, SizeMismatchesPrintAndYieldZero) {
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    op.SetDataU16(0x0102);
    EXPECT_EQ(op.GetDataU32(), 0u);
    EXPECT_EQ(op.GetData32(), 0);
    EXPECT_EQ(op.GetDataU8(5), 0);
    EXPECT_EQ(op.GetDataU8(2), 0);
    EXPECT_EQ(op.GetData8(2), 0);
    op.SetDataU32(0x01020304);
    EXPECT_EQ(op.GetDataU64(), 0u);
    EXPECT_EQ(op.GetData64(), 0);
    EXPECT_EQ(op.GetDataU16(), 0u);
    EXPECT_EQ(op.GetData16(), 0);
    op.SetDataU8(nullptr, 0);
    EXPECT_EQ(op.GetData(2), 0u);

    EXPECT_THAT(cap.Lines(),
                ElementsAre("GetData wrong size (2 != 4)",  //
                            "GetData wrong size (2 != 4)",  //
                            "GetDataU8 out of bounds (5 >= 2)", "GetDataU8 out of bounds (2 >= 2)",
                            "GetData8 out of bounds (2 >= 2)",
                            "GetDataU64 wrong size (4 < 8)",  //
                            "GetData64 wrong size (4 < 8)",   //
                            "GetData wrong size (4 != 2)",    //
                            "GetData wrong size (4 != 2)",    //
                            "GetData wrong size (0 != 2)"));
}

// --- Typed setters and getters ---------------------------------------------------------------

enum TestStatus_e { TEST_STATUS_OFF = 0, TEST_STATUS_NEGATIVE = -1, TEST_STATUS_BIG = 0x1234 };
enum class TestRate_e : uint8_t { LOW = 0x10, HIGH = 0xF0 };

// The data field the typed setter writes for `value` as `type`.
template <typename T>
Bytes Typed(T value, DataVarType_e type) {
    SsOp op;
    EXPECT_TRUE(op.SetSsOpData(value, type));
    return op.GetRawData();
}

TEST(SsOpTypedSetter, WritesTheFormOfTheType) {
    KestrelTest::ConsoleCapture cap;
    EXPECT_EQ(Typed(-2, VT_INT32), (Bytes{0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(Typed(0x89ABCDEFu, VT_UINT32), (Bytes{0x89, 0xAB, 0xCD, 0xEF}));
    EXPECT_EQ(Typed(static_cast<signed char>(-1), VT_INT8), (Bytes{0xFF}));
    EXPECT_EQ(Typed(0x1234, VT_UINT8), (Bytes{0x34}));
    EXPECT_EQ(Typed(true, VT_BOOL), (Bytes{0x01}));
    EXPECT_EQ(Typed(short{-300}, VT_INT16), (Bytes{0xFE, 0xD4}));
    EXPECT_EQ(Typed(0x12345, VT_UINT16), (Bytes{0x23, 0x45}));
    EXPECT_EQ(Typed(-5, VT_INT64), (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFB}));
    EXPECT_EQ(Typed(0xFFFFFFFFu, VT_INT64),
              (Bytes{0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Typed(static_cast<signed char>(-2), VT_UINT64),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(Typed(0x0102030405060708ull, VT_UINT64),
              (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}));
    EXPECT_EQ(Typed(TEST_STATUS_BIG, VT_UINT32), (Bytes{0x00, 0x00, 0x12, 0x34}));
    EXPECT_EQ(Typed(TEST_STATUS_NEGATIVE, VT_INT64),
              (Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Typed(TestRate_e::HIGH, VT_INT16), (Bytes{0x00, 0xF0}));
    EXPECT_THAT(cap.Lines(), IsEmpty());
}

TEST(SsOpTypedSetter, TypesWithoutAFormAreRejected) {
    // VT_DOUBLE, VT_FLOAT, VT_MAC, VT_IP, VT_COMPLEX, VT_STRING, VT_INT40, VT_UINT40,
    // VT_CHARARRAY, VT_TBD and a value outside the catalogue.
    const int noForm[] = {6, 7, 9, 10, 11, 12, 13, 14, 15, 18, 99};
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    op.SetDataU16(0xBEEF);
    std::vector<std::string> expected;
    for (int type : noForm) {
        EXPECT_FALSE(op.SetSsOpData(7u, static_cast<DataVarType_e>(type)));
        EXPECT_EQ(op.GetRawData(), (Bytes{0xBE, 0xEF}));
        expected.push_back("Unexpected datatype received: " + std::to_string(type));
    }
    EXPECT_THAT(cap.Lines(), ElementsAreArray(expected));
}

TEST(SsOpTypedSetter, TextNeedsTheStringType) {
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    EXPECT_TRUE(op.SetSsOpData("1.2.3", VT_STRING));
    EXPECT_EQ(op.GetRawData(), (Bytes{'1', '.', '2', '.', '3'}));
    EXPECT_THAT(cap.Take(), ElementsAre("SetSsOpData string"));

    EXPECT_FALSE(op.SetSsOpData(std::string("other"), VT_UINT8));
    EXPECT_EQ(op.GetDataString(), "1.2.3");
    EXPECT_THAT(cap.Take(), ElementsAre("SetSsOpData string", "Unexpected datatype received: 3"));

    EXPECT_TRUE(op.SetSsOpData(std::string(), VT_STRING));
    EXPECT_EQ(op.GetDataLength(), 0u);
    EXPECT_THAT(cap.Take(), ElementsAre("SetSsOpData string"));
}

// Sets `value` as `type`, sends it through the byte form and reads it back as Out.
template <typename Out, typename In>
Out RoundTrip(In value, DataVarType_e type) {
    SsOp sent(OP_TYPE_SET, 73);
    EXPECT_TRUE(sent.SetSsOpData(value, type));
    const Bytes wire = Serialized(sent);
    SsOp received;
    EXPECT_EQ(received.DeserializeOp(wire), wire.size());
    Out out{};
    EXPECT_TRUE(received.GetData(type, out));
    return out;
}

TEST(SsOpTypedGetter, RoundTripsEveryIntegerType) {
    KestrelTest::ConsoleCapture cap;
    EXPECT_EQ(RoundTrip<unsigned char>(200, VT_UINT8), 200);
    EXPECT_EQ(static_cast<signed char>(RoundTrip<char>(-100, VT_INT8)), -100);
    EXPECT_EQ(RoundTrip<signed char>(-100, VT_INT8), -100);
    EXPECT_EQ(RoundTrip<unsigned short>(60000, VT_UINT16), 60000);
    EXPECT_EQ(RoundTrip<short>(short{-32768}, VT_INT16), -32768);
    EXPECT_EQ(RoundTrip<unsigned int>(0xFFFFFFFFu, VT_UINT32), 0xFFFFFFFFu);
    EXPECT_EQ(RoundTrip<int>(-123456789, VT_INT32), -123456789);
    EXPECT_FALSE(RoundTrip<bool>(false, VT_BOOL));
    EXPECT_TRUE(RoundTrip<bool>(2, VT_BOOL));  // any non-zero byte is true
    EXPECT_EQ(RoundTrip<long long>(-1, VT_INT64), -1);
    EXPECT_EQ(RoundTrip<long long>(-9000000000ll, VT_INT64), -9000000000ll);
    EXPECT_EQ(RoundTrip<unsigned long long>(0xFEDCBA9876543210ull, VT_UINT64),
              0xFEDCBA9876543210ull);
    EXPECT_THAT(cap.Lines(), IsEmpty());
}

TEST(SsOpTypedGetter, Addresses) {
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    op.SetDataU32(0xC0A8255F);
    XP::CIpAddress ip;
    EXPECT_TRUE(op.GetData(VT_IP, ip));
    EXPECT_EQ(ip.ToString(), "192.168.37.95");

    op.SetDataU8(std::string("00:1A:2b:3c:4d:5e"));
    XP::CMacAddress mac;
    EXPECT_TRUE(op.GetData(VT_MAC, mac));
    EXPECT_EQ(mac.ToString(), "00:1a:2b:3c:4d:5e");
    EXPECT_THAT(cap.Take(), IsEmpty());

    op.SetDataU8(std::string("not a mac"));
    EXPECT_FALSE(op.GetData(VT_MAC, mac));
    EXPECT_EQ(mac.ToString(), "00:1a:2b:3c:4d:5e");
    EXPECT_THAT(cap.Take(), ElementsAre("GetData not a MAC address (9 bytes of text)"));
}

// Calls the overload for T with a type it does not accept and checks the message and that the
// output is untouched.
template <typename T>
void ExpectMismatch(const SsOp& op, DataVarType_e wrong, T sentinel, const std::string& message) {
    KestrelTest::ConsoleCapture cap;
    T out = sentinel;
    EXPECT_FALSE(op.GetData(wrong, out));
    EXPECT_TRUE(out == sentinel);
    EXPECT_THAT(cap.Lines(), ElementsAre(message));
}

TEST(SsOpTypedGetter, TypeMismatchPrintsAndLeavesTheOutput) {
    SsOp op;
    op.SetDataU64(0x0102030405060708ull);  // long enough for every width
    ExpectMismatch<unsigned char>(op, VT_INT8, 0x5A, "Expected type VT_UINT8 got type: 2");
    ExpectMismatch<char>(op, VT_UINT8, 'z', "Expected type VT_INT8 got type: 3");
    ExpectMismatch<signed char>(op, VT_UINT8, -7, "Expected type VT_INT8 got type: 3");
    ExpectMismatch<unsigned short>(op, VT_INT16, 777, "Expected type VT_UINT16 got type: 4");
    ExpectMismatch<short>(op, VT_UINT16, -777, "Expected type VT_INT16 got type: 5");
    ExpectMismatch<unsigned int>(op, VT_INT32, 99u, "Expected type VT_UINT32 got type: 0");
    ExpectMismatch<int>(op, VT_UINT32, -99, "Expected type VT_INT32 got type: 1");
    ExpectMismatch<bool>(op, VT_UINT8, true, "Expected type VT_BOOL got type: 3");
    ExpectMismatch<long long>(op, VT_UINT64, -5ll, "Expected type VT_INT64 got type: 17");
    ExpectMismatch<unsigned long long>(op, VT_INT64, 5ull, "Expected type VT_UINT64 got type: 16");
    ExpectMismatch<XP::CIpAddress>(op, VT_UINT32, XP::CIpAddress(0x7F000001),
                                   "Expected type VT_IP got type: 1");
    ExpectMismatch<XP::CMacAddress>(op, VT_STRING, XP::CMacAddress({1, 2, 3, 4, 5, 6}),
                                    "Expected type VT_MAC got type: 12");
}

TEST(SsOpTypedGetter, MatchingTypeWithWrongSizeYieldsZero) {
    // The type check passes, so the getter reports success with the raw getter's 0.
    KestrelTest::ConsoleCapture cap;
    SsOp op;
    op.SetDataU8(uint8_t{7});
    unsigned short u16 = 5;
    EXPECT_TRUE(op.GetData(VT_UINT16, u16));
    EXPECT_EQ(u16, 0);
    op.SetDataU8(nullptr, 0);
    unsigned char u8 = 5;
    EXPECT_TRUE(op.GetData(VT_UINT8, u8));
    EXPECT_EQ(u8, 0);
    XP::CIpAddress ip(0x01020304);
    EXPECT_TRUE(op.GetData(VT_IP, ip));
    EXPECT_EQ(ip.GetIpInt(), 0u);
    EXPECT_THAT(cap.Lines(),
                ElementsAre("GetData wrong size (1 != 2)", "GetDataU8 out of bounds (0 >= 0)",
                            "GetData wrong size (0 != 4)"));
}

// --- Deserialization -------------------------------------------------------------------------

// type 4, id 0x1234, indexes [7, 9], data AA BB CC
const Bytes kValidPayload{0x04, 0x34, 0x12, 0x02, 0x07, 0x09, 0x03, 0xAA, 0xBB, 0xCC};

TEST(SsOpDeserialize, ReadsEveryFieldAndIgnoresTrailingBytes) {
    Bytes payload = kValidPayload;
    payload.insert(payload.end(), {0x00, 0x7E});
    SsOp op;
    EXPECT_EQ(op.DeserializeOp(payload.data(), payload.size()), 10u);
    EXPECT_EQ(op.GetOpType(), OP_TYPE_REQUEST);
    EXPECT_EQ(op.GetOpId(), 0x1234u);
    EXPECT_THAT(op.GetIndexList(), ElementsAre(7, 9));
    EXPECT_THAT(op.GetRawData(), ElementsAre(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(Serialized(op), kValidPayload);

    // An empty operation as the serial link delivers it (a zero byte after each frame's payload)
    // replaces everything the operation held.
    EXPECT_EQ(op.DeserializeOp(Bytes{0x04, 0x00, 0x00, 0x00, 0x00, 0x00}), 5u);
    EXPECT_EQ(op.GetOpId(), 0u);
    EXPECT_EQ(op.GetIndexCount(), 0u);
    EXPECT_EQ(op.GetDataLength(), 0u);
}

TEST(SsOpDeserialize, EveryTruncationIsRejected) {
    struct Case {
        size_t length;
        uint32_t id;
        std::vector<std::string> lines;  // none: fails silently
    };
    const Case cases[] = {
        {0, 0xBEEF, {}},
        {1, 0xBEEF, {}},
        {2, 0x34, {"DeserializeArray failed! offset=3, dataLength=2"}},
        {3, 0x1234, {"DeserializeArray failed! offset=3, dataLength=3"}},
        {4, 0x1234, {"DeserializeArray failed! offset=3, dataLength=4; arrayLength=2"}},
        {5, 0x1234, {"DeserializeArray failed! offset=3, dataLength=5; arrayLength=2"}},
        {6, 0x1234, {"DeserializeArray failed! offset=6, dataLength=6"}},
        {7, 0x1234, {"DeserializeArray failed! offset=6, dataLength=7; arrayLength=3"}},
        {8, 0x1234, {"DeserializeArray failed! offset=6, dataLength=8; arrayLength=3"}},
        {9, 0x1234, {"DeserializeArray failed! offset=6, dataLength=9; arrayLength=3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        SsOp op(OP_TYPE_SYNC, 0xBEEF);
        op.SetIndexList({5});
        op.SetDataU8(uint8_t{5});
        op.SerializeOp();

        // An exact-size copy, so a read past the end shows under AddressSanitizer.
        const Bytes truncated(kValidPayload.begin(), kValidPayload.begin() + c.length);
        KestrelTest::ConsoleCapture cap;
        EXPECT_EQ(op.DeserializeOp(truncated), 0u);
        EXPECT_EQ(op.GetIndexCount(), 0u);
        EXPECT_EQ(op.GetDataLength(), 0u);
        const uint8_t type = c.length < 2 ? OP_TYPE_SYNC : OP_TYPE_REQUEST;
        EXPECT_EQ(op.GetOpType(), type);
        EXPECT_EQ(op.GetOpId(), c.id);
        EXPECT_EQ(cap.Lines(), c.lines);
        // Nothing of the operation that was there before is handed out again.
        EXPECT_EQ(Serialized(op), (Bytes{type, static_cast<uint8_t>(c.id),
                                         static_cast<uint8_t>(c.id >> 8), 0x00, 0x00}));
    }

    KestrelTest::ConsoleCapture cap;
    EXPECT_EQ(SsOp().DeserializeOp(nullptr, 10), 0u);
    EXPECT_THAT(cap.Lines(), IsEmpty());
}

}  // namespace
