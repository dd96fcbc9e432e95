// Parses arbitrary bytes as an operation payload. On success the operation's own byte form must be
// the consumed prefix of the input (with the data cut to what serialization writes), and every
// getter must run on whatever was parsed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/comms/SsOp.h"
#include "xptools/Print.h"

namespace {

void CallEveryGetter(const SsOp& op) {
    (void)op.GetLastIndex();
    (void)op.GetDataString();
    (void)op.ToString();
    (void)op.GetDataU16();
    (void)op.GetData16();
    (void)op.GetDataU32();
    (void)op.GetData32();
    (void)op.GetData64();
    (void)op.GetDataU64();
    for (unsigned int i = 0; i <= op.GetDataLength(); ++i) {
        (void)op.GetDataU8(i);
        (void)op.GetData8(i);
    }
    for (int type = 0; type <= VT_TBD; ++type) {
        const auto expected = static_cast<DataVarType_e>(type);
        unsigned char u8;
        char c8;
        signed char s8;
        unsigned short u16;
        short s16;
        unsigned int u32;
        int s32;
        bool flag;
        long long s64;
        unsigned long long u64;
        XP::CIpAddress ip;
        XP::CMacAddress mac;
        (void)op.GetData(expected, u8);
        (void)op.GetData(expected, c8);
        (void)op.GetData(expected, s8);
        (void)op.GetData(expected, u16);
        (void)op.GetData(expected, s16);
        (void)op.GetData(expected, u32);
        (void)op.GetData(expected, s32);
        (void)op.GetData(expected, flag);
        (void)op.GetData(expected, s64);
        (void)op.GetData(expected, u64);
        (void)op.GetData(expected, ip);
        (void)op.GetData(expected, mac);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The parser's diagnostics would only slow the run down.
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;

    SsOp op;
    const size_t consumed = op.DeserializeOp(data, size);
    if (consumed == 0) {
        if (op.GetIndexCount() != 0 || op.GetDataLength() != 0)
            __builtin_trap();
        CallEveryGetter(op);
        return 0;
    }
    if (consumed > size || consumed < 5)
        __builtin_trap();

    // What the serializer must give back: the consumed bytes, with the data cut to its limit.
    const size_t indexCount = data[3];
    const size_t dataCountOffset = 4 + indexCount;
    const size_t dataCount = data[dataCountOffset];
    if (consumed != dataCountOffset + 1 + dataCount)
        __builtin_trap();
    const size_t keptData =
        dataCount < SsOp::kMaxSerializedDataLength ? dataCount : SsOp::kMaxSerializedDataLength;
    std::vector<uint8_t> expected(data, data + dataCountOffset);
    expected.push_back(static_cast<uint8_t>(keptData));
    expected.insert(expected.end(), data + dataCountOffset + 1,
                    data + dataCountOffset + 1 + keptData);

    std::vector<uint8_t> cached;
    op.GetSerializedOp(cached);
    if (cached != expected)
        __builtin_trap();
    std::vector<uint8_t> rebuilt;
    op.SerializeOp();
    op.GetSerializedOp(rebuilt);
    if (rebuilt != expected)
        __builtin_trap();

    // Parsing the re-serialized form gives the same operation again.
    SsOp again;
    if (again.DeserializeOp(rebuilt) != rebuilt.size())
        __builtin_trap();
    if (again.GetOpType() != op.GetOpType() || again.GetOpId() != op.GetOpId() ||
        again.GetIndexList() != op.GetIndexList()) {
        __builtin_trap();
    }

    CallEveryGetter(op);
    return 0;
}
