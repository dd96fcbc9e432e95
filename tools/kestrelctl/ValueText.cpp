#include "kestrelctl/ValueText.h"

#include <cinttypes>

#include "xptools/Address.h"
#include "xptools/Str.h"

namespace KestrelCtl {
namespace {

const char* TypeName(DataVarType_e type) {
    const char* name = DataVarTypeName(type);
    return name != nullptr ? name : "VT_?";
}

struct IntegerRange_t {
    DataVarType_e type;
    size_t width;  // bytes in the data field
    bool isSigned;
};

constexpr IntegerRange_t kIntegerTypes[] = {
    {VT_INT8, 1, true},  {VT_UINT8, 1, false},  {VT_INT16, 2, true}, {VT_UINT16, 2, false},
    {VT_INT32, 4, true}, {VT_UINT32, 4, false}, {VT_INT64, 8, true}, {VT_UINT64, 8, false},
};

// The integer types and their width on the wire; false for every other type.
bool GetIntegerRange(DataVarType_e type, IntegerRange_t& range) {
    for (const IntegerRange_t& entry : kIntegerTypes) {
        if (entry.type == type) {
            range = entry;
            return true;
        }
    }
    return false;
}

// An integer as sign and magnitude: "-"? then digits, or "0x"/"0X" and hex digits. False for
// anything else, including a magnitude beyond 64 bits.
bool ParseInteger(const std::string& text, bool& negative, uint64_t& magnitude) {
    size_t pos = 0;
    negative = false;
    if (pos < text.size() && text[pos] == '-') {
        negative = true;
        ++pos;
    }
    unsigned int base = 10;
    if (text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size())
        return false;
    magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = HexDigitValue(text[pos]);
        if (digit < 0 || static_cast<unsigned int>(digit) >= base)
            return false;
        if (magnitude > (UINT64_MAX - static_cast<uint64_t>(digit)) / base)
            return false;
        magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
    return true;
}

// The two's complement bits of sign and magnitude when the value fits `range`.
bool FitInteger(bool negative, uint64_t magnitude, const IntegerRange_t& range, uint64_t& bits) {
    const unsigned int width = static_cast<unsigned int>(range.width * 8);
    const uint64_t unsignedMax = width == 64 ? UINT64_MAX : (uint64_t{1} << width) - 1;
    const uint64_t signedMax = unsignedMax >> 1;
    if (negative) {
        if (magnitude == 0) {
            bits = 0;
            return true;
        }
        if (!range.isSigned || magnitude > signedMax + 1)
            return false;
        bits = ~magnitude + 1;
        return true;
    }
    if (magnitude > (range.isSigned ? signedMax : unsignedMax))
        return false;
    bits = magnitude;
    return true;
}

std::string RangeText(const IntegerRange_t& range) {
    const unsigned int width = static_cast<unsigned int>(range.width * 8);
    if (range.isSigned) {
        const uint64_t max = (width == 64 ? UINT64_MAX : (uint64_t{1} << width) - 1) >> 1;
        return XP::Str::Format("-%" PRIu64 " to %" PRIu64, max + 1, max);
    }
    const uint64_t max = width == 64 ? UINT64_MAX : (uint64_t{1} << width) - 1;
    return XP::Str::Format("0 to %" PRIu64, max);
}

bool ParseIntegerValue(const std::string& text, DataVarType_e type, const IntegerRange_t& range,
                       const ValueEnumeration_t* enumeration, SsOp& op, std::string& error) {
    bool negative = false;
    uint64_t magnitude = 0;
    std::string shown = text;
    int member = 0;
    if (enumeration != nullptr && FindValueEnumeratorValue(*enumeration, text.c_str(), member)) {
        negative = member < 0;
        magnitude = negative ? uint64_t{0} - static_cast<uint64_t>(static_cast<int64_t>(member))
                             : static_cast<uint64_t>(member);
        shown = XP::Str::Format("%s (%d)", text.c_str(), member);
    } else if (!ParseInteger(text, negative, magnitude)) {
        if (enumeration != nullptr) {
            error = XP::Str::Format("\"%s\" is neither a number nor a member of %s", text.c_str(),
                                    enumeration->name);
        } else {
            error = XP::Str::Format("\"%s\" is not a %s number (decimal or 0x-hex)", text.c_str(),
                                    TypeName(type));
        }
        return false;
    }
    uint64_t bits = 0;
    if (!FitInteger(negative, magnitude, range, bits)) {
        error = XP::Str::Format("%s does not fit %s (%s)", shown.c_str(), TypeName(type),
                                RangeText(range).c_str());
        return false;
    }
    op.SetSsOpData(bits, type);
    return true;
}

uint64_t FoldBigEndian(const std::vector<uint8_t>& data) {
    uint64_t value = 0;
    for (uint8_t byte : data)
        value = (value << 8) | byte;
    return value;
}

// Length of the UTF-8 sequence starting at `pos`, or 0 when the bytes there are not one.
size_t Utf8SequenceLength(const std::string& bytes, size_t pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    size_t length = 0;
    uint32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07u;
    } else {
        return 0;
    }
    if (bytes.size() - pos < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[pos + i]);
        if ((next & 0xC0u) != 0x80u)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    const uint32_t smallest = length == 3 ? 0x800u : length == 4 ? 0x10000u : 0x80u;
    if (codePoint < smallest || codePoint > 0x10FFFFu ||
        (codePoint >= 0xD800u && codePoint <= 0xDFFFu))
        return 0;
    return length;
}

}  // namespace

bool ParseValue(const std::string& text, DataVarType_e type, const ValueEnumeration_t* enumeration,
                SsOp& op, std::string& error) {
    IntegerRange_t range{};
    if (GetIntegerRange(type, range))
        return ParseIntegerValue(text, type, range, enumeration, op, error);
    switch (type) {
        case VT_BOOL:
            if (text == "true" || text == "1") {
                op.SetSsOpData(1, VT_BOOL);
            } else if (text == "false" || text == "0") {
                op.SetSsOpData(0, VT_BOOL);
            } else {
                error = XP::Str::Format("\"%s\" is not a VT_BOOL value (true, false, 1 or 0)",
                                        text.c_str());
                return false;
            }
            return true;
        case VT_STRING:
            if (text.size() > SsOp::kMaxSerializedDataLength) {
                error =
                    XP::Str::Format("text of %zu bytes is longer than the %zu an operation carries",
                                    text.size(), SsOp::kMaxSerializedDataLength);
                return false;
            }
            op.SetDataU8(text);
            return true;
        case VT_IP: {
            XP::CIpAddress address;
            uint64_t number = 0;
            if (address.Set(text)) {
                op.SetDataU32(address.GetIpInt());
            } else if (ParseNumber(text, UINT32_MAX, number)) {
                op.SetDataU32(static_cast<uint32_t>(number));
            } else {
                error = XP::Str::Format("\"%s\" is not an IPv4 address", text.c_str());
                return false;
            }
            return true;
        }
        case VT_MAC: {
            XP::CMacAddress address;
            if (!address.Set(text)) {
                error = XP::Str::Format("\"%s\" is not a MAC address", text.c_str());
                return false;
            }
            op.SetDataU8(address.ToString());
            return true;
        }
        default:
            error = XP::Str::Format("values of type %s cannot be sent", TypeName(type));
            return false;
    }
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseNumber(const std::string& text, uint64_t max, uint64_t& value) {
    bool negative = false;
    uint64_t magnitude = 0;
    if (text.empty() || text[0] == '-' || !ParseInteger(text, negative, magnitude) ||
        magnitude > max)
        return false;
    value = magnitude;
    return true;
}

bool DecodedValue_t::GetInteger(int64_t& value) const {
    if (m_Kind == KIND_SIGNED) {
        value = m_Signed;
        return true;
    }
    if (m_Kind == KIND_UNSIGNED && m_Unsigned <= static_cast<uint64_t>(INT64_MAX)) {
        value = static_cast<int64_t>(m_Unsigned);
        return true;
    }
    return false;
}

DecodedValue_t DecodeValue(const std::vector<uint8_t>& data, DataVarType_e type) {
    DecodedValue_t value;
    value.m_Raw = data;
    IntegerRange_t range{};
    if (GetIntegerRange(type, range)) {
        if (data.size() != range.width)
            return value;
        const uint64_t bits = FoldBigEndian(data);
        if (range.isSigned) {
            const unsigned int shift = static_cast<unsigned int>(64 - range.width * 8);
            value.m_Kind = DecodedValue_t::KIND_SIGNED;
            // Sign-extend from the type's width.
            value.m_Signed = static_cast<int64_t>(bits << shift) >> shift;
        } else {
            value.m_Kind = DecodedValue_t::KIND_UNSIGNED;
            value.m_Unsigned = bits;
        }
        return value;
    }
    switch (type) {
        case VT_BOOL:
            if (data.size() == 1) {
                value.m_Kind = DecodedValue_t::KIND_BOOL;
                value.m_Bool = data[0] != 0;
            }
            return value;
        case VT_STRING:
            return DecodeText(data);
        case VT_IP:
            if (data.size() == 4) {
                value.m_Kind = DecodedValue_t::KIND_ADDRESS;
                value.m_Text =
                    XP::CIpAddress(static_cast<uint32_t>(FoldBigEndian(data))).ToString();
            }
            return value;
        case VT_MAC: {
            XP::CMacAddress address;
            if (address.Set(std::string(data.begin(), data.end()))) {
                value.m_Kind = DecodedValue_t::KIND_ADDRESS;
                value.m_Text = address.ToString();
            }
            return value;
        }
        default:
            return value;
    }
}

DecodedValue_t DecodeText(const std::vector<uint8_t>& data) {
    DecodedValue_t value;
    value.m_Raw = data;
    value.m_Kind = DecodedValue_t::KIND_TEXT;
    value.m_Text.assign(data.begin(), data.end());
    return value;
}

std::string ValueToText(const DecodedValue_t& value) {
    switch (value.m_Kind) {
        case DecodedValue_t::KIND_SIGNED:
            return std::to_string(value.m_Signed);
        case DecodedValue_t::KIND_UNSIGNED:
            return std::to_string(value.m_Unsigned);
        case DecodedValue_t::KIND_BOOL:
            return value.m_Bool ? "true" : "false";
        case DecodedValue_t::KIND_TEXT:
            return QuoteText(value.m_Text, false);
        case DecodedValue_t::KIND_ADDRESS:
            return value.m_Text;
        case DecodedValue_t::KIND_RAW:
            break;
    }
    std::string text = "<";
    for (size_t i = 0; i < value.m_Raw.size(); ++i)
        text += XP::Str::Format(i == 0 ? "%02x" : " %02x", value.m_Raw[i]);
    return text + ">";
}

std::string ValueToJson(const DecodedValue_t& value) {
    switch (value.m_Kind) {
        case DecodedValue_t::KIND_SIGNED:
        case DecodedValue_t::KIND_UNSIGNED:
        case DecodedValue_t::KIND_BOOL:
            return ValueToText(value);
        case DecodedValue_t::KIND_TEXT:
        case DecodedValue_t::KIND_ADDRESS:
            return QuoteText(value.m_Text, true);
        case DecodedValue_t::KIND_RAW:
            break;
    }
    std::string hex = "\"";
    for (uint8_t byte : value.m_Raw)
        hex += XP::Str::Format("%02x", byte);
    return hex + "\"";
}

std::string QuoteText(const std::string& bytes, bool json) {
    std::string quoted = "\"";
    for (size_t pos = 0; pos < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[pos]);
        if (c >= 0x80) {
            const size_t length = Utf8SequenceLength(bytes, pos);
            if (length > 0) {
                quoted.append(bytes, pos, length);
                pos += length;
                continue;
            }
        }
        ++pos;
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c == '\n') {
            quoted += "\\n";
        } else if (c == '\t') {
            quoted += "\\t";
        } else if (c == '\r') {
            quoted += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            quoted += XP::Str::Format(json ? "\\u%04x" : "\\x%02x", c);
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

}  // namespace KestrelCtl
