#include "kestrelctl/OpPrinter.h"

#include <cstring>

#include "kestrelctl/ValueText.h"
#include "shared/data/OpUsage.h"
#include "shared/data/ssData/OpIds.h"
#include "xptools/Str.h"

namespace KestrelCtl {
namespace {

// The software version, the readiness report, the status-clear acknowledgement and the USB
// upgrade status: the daemon sends them through the text overload of its status sender, which
// does not look at the catalogue type.
constexpr unsigned int kTextStatusIds[] = {
    HISI_OP_SYSTEM_SOFTWARE_VERSION,
    HISI_OP_SYSTEM_READY,
    HISI_OP_SYSTEM_STATUS_CLEAR_DONE,
    HISI_OP_SYSTEM_STATUS_USB_UPGRADE_FILE,
};

bool IsTextStatusId(unsigned int id) {
    for (unsigned int textId : kTextStatusIds) {
        if (textId == id)
            return true;
    }
    return false;
}

std::string TypeName(OpType_e type) {
    static constexpr char kPrefix[] = "OP_TYPE_";
    const char* name = OpTypeName(type);
    if (name == nullptr)
        return std::to_string(static_cast<int>(type));
    if (std::strncmp(name, kPrefix, sizeof(kPrefix) - 1) == 0)
        name += sizeof(kPrefix) - 1;
    return name;
}

// Everything a line says about one operation, read once for both output forms.
struct OperationView_t {
    std::string type;
    unsigned int id = 0;
    const COpSsData* entry = nullptr;
    std::vector<uint8_t> indexes;
    bool showTarget = true;  // name and index
    bool showValue = true;
    DecodedValue_t value;
    const ValueEnumeration_t* enumeration = nullptr;  // of the id's value, when it has one
    const char* member = nullptr;                     // the value's member of it, when any
};

OperationView_t ViewOperation(const SsOp& op, const COpSsDataMap& catalogue) {
    OperationView_t view;
    view.type = TypeName(op.GetOpType());
    view.id = op.GetOpId();
    view.entry = catalogue.GetByOpId(view.id);
    view.indexes = op.GetIndexList();
    const std::vector<uint8_t> data = op.GetRawData();
    const bool isSet = op.GetOpType() == OP_TYPE_SET;
    view.showTarget = isSet || view.id != 0 || !view.indexes.empty() || !data.empty();
    view.showValue = isSet || !data.empty();
    if (IsTextStatusId(view.id)) {
        view.value = DecodeText(data);
    } else if (view.entry != nullptr) {
        view.value = DecodeValue(data, view.entry->GetDataVarType());
        view.enumeration = GetOpValueEnumeration(view.id);
        int64_t number = 0;
        if (view.enumeration != nullptr && view.value.GetInteger(number) && number >= INT32_MIN &&
            number <= INT32_MAX) {
            view.member = FindValueEnumeratorName(*view.enumeration, static_cast<int>(number));
        }
    } else {
        view.value.m_Raw = data;
    }
    return view;
}

std::string FormatText(const OperationView_t& view) {
    std::string line = view.type;
    if (view.showTarget) {
        line += ' ';
        line += view.entry != nullptr ? view.entry->GetLabel() : std::to_string(view.id);
        line += '[';
        for (size_t i = 0; i < view.indexes.size(); ++i)
            line += (i == 0 ? "" : ",") + std::to_string(view.indexes[i]);
        line += ']';
    }
    if (view.showValue) {
        line += " = " + ValueToText(view.value);
        if (view.member != nullptr) {
            line += XP::Str::Format(" (%s)", view.member);
        } else if (view.enumeration != nullptr && view.value.m_Kind != DecodedValue_t::KIND_RAW) {
            line += XP::Str::Format(" (not a member of %s)", view.enumeration->name);
        }
    }
    return line;
}

std::string FormatJson(const OperationView_t& view) {
    std::string line = "{\"type\":" + QuoteText(view.type, true);
    line += ",\"id\":" + std::to_string(view.id);
    if (view.showTarget && view.entry != nullptr)
        line += ",\"name\":" + QuoteText(view.entry->GetLabel(), true);
    line += ",\"index\":[";
    for (size_t i = 0; i < view.indexes.size(); ++i)
        line += (i == 0 ? "" : ",") + std::to_string(view.indexes[i]);
    line += ']';
    if (view.showValue) {
        line += view.value.m_Kind == DecodedValue_t::KIND_RAW ? ",\"data\":" : ",\"value\":";
        line += ValueToJson(view.value);
        if (view.member != nullptr)
            line += ",\"enum\":" + QuoteText(view.member, true);
    }
    return line + '}';
}

}  // namespace

std::string FormatOperation(const SsOp& op, const COpSsDataMap& catalogue, OutputFormat_e format) {
    const OperationView_t view = ViewOperation(op, catalogue);
    return format == OUTPUT_JSON ? FormatJson(view) : FormatText(view);
}

}  // namespace KestrelCtl
