#include "kestrelctl/OpArgument.h"

#include <cctype>

#include "kestrelctl/Catalogue.h"
#include "kestrelctl/ValueText.h"
#include "shared/comms/SsOp.h"
#include "shared/data/OpUsage.h"
#include "xptools/Str.h"

namespace KestrelCtl {
namespace {

constexpr char kRawPrefix[] = "raw:";
constexpr char kTransactionEnd[] = "end";

bool ParseRaw(const std::string& hex, std::vector<uint8_t>& payload, std::string& error) {
    if (hex.empty()) {
        error = "raw payload is empty";
        return false;
    }
    if (hex.size() % 2 != 0) {
        error = XP::Str::Format("raw payload has an odd number of hex digits (%zu)", hex.size());
        return false;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigitValue(hex[i]);
        const int low = HexDigitValue(hex[i + 1]);
        if (high < 0 || low < 0) {
            error =
                XP::Str::Format("\"%s\" in the raw payload is not hex", hex.substr(i, 2).c_str());
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    payload = bytes;
    return true;
}

bool ParseIndexList(const std::string& list, std::vector<uint8_t>& indexes, std::string& error) {
    indexes.clear();
    if (list.empty())
        return true;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        uint64_t value = 0;
        if (!ParseNumber(item, 255, value)) {
            error = XP::Str::Format("index \"%s\" is not a byte (0 to 255)", item.c_str());
            return false;
        }
        if (indexes.size() == SsOp::kMaxSerializedIndexCount) {
            error = XP::Str::Format("more than %zu indexes", SsOp::kMaxSerializedIndexCount);
            return false;
        }
        indexes.push_back(static_cast<uint8_t>(value));
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

const COpSsData* FindEntry(const std::string& key, const COpSsDataMap& catalogue,
                           std::string& error) {
    if (!key.empty() && std::isdigit(static_cast<unsigned char>(key[0]))) {
        uint64_t id = 0;
        if (!ParseNumber(key, 0xFFFF, id)) {
            error = XP::Str::Format("\"%s\" is not an operation id (0 to 65535)", key.c_str());
            return nullptr;
        }
        const COpSsData* entry = catalogue.GetByOpId(static_cast<unsigned int>(id));
        if (entry == nullptr)
            error = XP::Str::Format("unknown operation id %u", static_cast<unsigned int>(id));
        return entry;
    }
    const COpSsData* entry = FindEntryByName(catalogue, key);
    if (entry == nullptr)
        error = XP::Str::Format("unknown operation name \"%s\"", key.c_str());
    return entry;
}

bool ParseSet(const std::string& argument, size_t equals, const COpSsDataMap& catalogue,
              std::vector<uint8_t>& payload, std::string& error) {
    std::string key = argument.substr(0, equals);
    std::vector<uint8_t> indexes{0};
    const size_t open = key.find('[');
    if (open != std::string::npos) {
        if (key.back() != ']') {
            error = "the index list must end with ']' just before '='";
            return false;
        }
        if (!ParseIndexList(key.substr(open + 1, key.size() - open - 2), indexes, error))
            return false;
        key.erase(open);
    }
    const COpSsData* entry = FindEntry(key, catalogue, error);
    if (entry == nullptr)
        return false;

    SsOp op(OP_TYPE_SET, entry->GetOperationId());
    op.SetIndexList(indexes);
    const std::string value = argument.substr(equals + 1);
    std::string valueError;
    if (!ParseValue(value, entry->GetDataVarType(), GetOpValueEnumeration(entry->GetOperationId()),
                    op, valueError)) {
        // By id, the error names the entry the id stands for.
        error = key == entry->GetLabel() ? valueError : entry->GetLabel() + ": " + valueError;
        return false;
    }
    op.SerializeOp();
    payload.clear();
    op.GetSerializedOp(payload);
    return true;
}

}  // namespace

bool ParseOpArgument(const std::string& argument, const COpSsDataMap& catalogue,
                     std::vector<uint8_t>& payload, std::string& error) {
    if (argument == kTransactionEnd) {
        SsOp op(OP_TYPE_TRANSACTION_END, 0);
        op.SerializeOp();
        payload.clear();
        op.GetSerializedOp(payload);
        return true;
    }
    if (argument.compare(0, sizeof(kRawPrefix) - 1, kRawPrefix) == 0)
        return ParseRaw(argument.substr(sizeof(kRawPrefix) - 1), payload, error);
    const size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "expected NAME[INDEX]=VALUE, ID[INDEX]=VALUE, end or raw:HEX";
        return false;
    }
    return ParseSet(argument, equals, catalogue, payload, error);
}

}  // namespace KestrelCtl
