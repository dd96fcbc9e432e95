#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/comms/OpTypes.h"
#include "shared/comms/SsOp.h"
#include "shared/types/ValueEnumerations.h"

// The controller tool's values as text: what a person types on the command line, turned into an
// operation's data field in the form of the id's catalogue type, and a received data field turned
// back into text or JSON.
//
// Accepted value text, by type:
//   VT_INT8 .. VT_UINT64  decimal ("-20", "007") or 0x-hex ("0x1F", "-0x10"), within the type's
//                         range; for an id whose value is an enumeration also a member's name
//                         ("VIDEO_TYPE_MPEG4"), whose value must fit the type as well
//   VT_BOOL               true, false, 1 or 0
//   VT_STRING             the text as it is, at most SsOp::kMaxSerializedDataLength bytes
//   VT_IP                 a dotted quad ("10.1.2.3") or a number as for VT_UINT32
//   VT_MAC                six hex pairs separated by ':' or '-'
// The other types have no data form and are refused.
namespace KestrelCtl {

// Parses `text` as a value of `type` and puts it into the data field of `op`. `enumeration`
// (may be null) is the enumeration the id's value belongs to. On failure `op` is unchanged and
// `error` says why in one line, e.g. "70000 does not fit VT_UINT16 (0 to 65535)".
bool ParseValue(const std::string& text, DataVarType_e type, const ValueEnumeration_t* enumeration,
                SsOp& op, std::string& error);

// A received data field read as one type.
struct DecodedValue_t {
    enum Kind_e {
        KIND_RAW,       // not readable as the type (wrong length, no form, bad address text)
        KIND_SIGNED,    // m_Signed
        KIND_UNSIGNED,  // m_Unsigned
        KIND_BOOL,      // m_Bool
        KIND_TEXT,      // m_Text: the characters of a string
        KIND_ADDRESS,   // m_Text: an IP or MAC address in its usual spelling
    };
    Kind_e m_Kind = KIND_RAW;
    int64_t m_Signed = 0;
    uint64_t m_Unsigned = 0;
    bool m_Bool = false;
    std::string m_Text;
    std::vector<uint8_t> m_Raw;  // the data field as received, whatever the kind

    // The integer value, for enumeration look-ups; false for kinds that are not integers.
    bool GetInteger(int64_t& value) const;
};

// A non-negative number without sign, decimal or 0x-hex, at most `max` (index bytes, ids).
bool ParseNumber(const std::string& text, uint64_t max, uint64_t& value);
// 0..15 for a hex digit, else -1.
int HexDigitValue(char c);

// Reads `data` as `type`. Integers need exactly the type's width; VT_BOOL one byte.
DecodedValue_t DecodeValue(const std::vector<uint8_t>& data, DataVarType_e type);
// Reads `data` as the characters of a string.
DecodedValue_t DecodeText(const std::vector<uint8_t>& data);

// The value as the watch lines show it: 3, -20, true, "KR-4000", 10.1.2.3, <03 04> (raw bytes).
std::string ValueToText(const DecodedValue_t& value);
// The value as JSON: 3, -20, true, "KR-4000", "10.1.2.3"; raw bytes as a string of hex digits.
std::string ValueToJson(const DecodedValue_t& value);

// `bytes` as a quoted string. Valid UTF-8 passes through; quotes and backslashes are escaped,
// and control characters and bytes that are not UTF-8 are written as \xHH (text) or \u00HH
// (JSON, reading such a byte as Latin-1), so the result is always one line and, for JSON, valid.
std::string QuoteText(const std::string& bytes, bool json);

}  // namespace KestrelCtl
