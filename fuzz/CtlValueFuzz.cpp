// The controller tool's text parsers and its printer of received operations, on arbitrary input.
//
// The first byte picks a value type and, for integer types, an enumeration; the rest is the value
// text. A value that parses must print back (as watch shows it) to text that parses to the same
// data field. The whole input is also tried as an operation argument of "kestrelctl send", and as
// a received payload for both output forms of "kestrelctl watch".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kestrelctl/Catalogue.h"
#include "kestrelctl/OpArgument.h"
#include "kestrelctl/OpPrinter.h"
#include "kestrelctl/ValueText.h"
#include "xptools/Print.h"

namespace {

// Value types whose printed form is also their input form (strings print quoted).
bool PrintsAsInput(DataVarType_e type) {
    return type != VT_STRING;
}

void CheckValueRoundTrip(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    const auto type = static_cast<DataVarType_e>(data[0] % (VT_TBD + 1));
    size_t count = 0;
    const ValueEnumeration_t* enumerations = GetValueEnumerations(count);
    const ValueEnumeration_t* enumeration =
        (data[0] & 0x80) != 0 ? &enumerations[(data[0] >> 3) % count] : nullptr;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    SsOp op;
    std::string error;
    if (!KestrelCtl::ParseValue(text, type, enumeration, op, error)) {
        if (error.empty() || op.GetDataLength() != 0)
            __builtin_trap();
        return;
    }
    if (op.GetDataLength() > SsOp::kMaxSerializedDataLength)
        __builtin_trap();
    const KestrelCtl::DecodedValue_t decoded = KestrelCtl::DecodeValue(op.GetRawData(), type);
    if (decoded.m_Kind == KestrelCtl::DecodedValue_t::KIND_RAW)
        __builtin_trap();  // what the parser writes, the decoder must read
    (void)KestrelCtl::ValueToJson(decoded);
    if (!PrintsAsInput(type))
        return;
    SsOp again;
    if (!KestrelCtl::ParseValue(KestrelCtl::ValueToText(decoded), type, nullptr, again, error) ||
        again.GetRawData() != op.GetRawData()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    const COpSsDataMap& catalogue = KestrelCtl::DaemonCatalogue();

    CheckValueRoundTrip(data, size);

    const std::string argument(reinterpret_cast<const char*>(data), size);
    std::vector<uint8_t> payload;
    std::string error;
    if (KestrelCtl::ParseOpArgument(argument, catalogue, payload, error)) {
        SsOp sent;
        // Every operation but a raw one must parse as the daemon would read it.
        if (argument.compare(0, 4, "raw:") != 0 && sent.DeserializeOp(payload) != payload.size())
            __builtin_trap();
    } else if (error.empty()) {
        __builtin_trap();
    }

    SsOp received;
    if (received.DeserializeOp(data, size) != 0) {
        const std::string text =
            KestrelCtl::FormatOperation(received, catalogue, KestrelCtl::OUTPUT_TEXT);
        const std::string json =
            KestrelCtl::FormatOperation(received, catalogue, KestrelCtl::OUTPUT_JSON);
        // One line each, whatever the bytes.
        if (text.find('\n') != std::string::npos || json.find('\n') != std::string::npos ||
            json.front() != '{' || json.back() != '}')
            __builtin_trap();
    }
    return 0;
}
