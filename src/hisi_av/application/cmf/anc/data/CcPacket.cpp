#include "hisi_av/application/cmf/anc/data/CcPacket.h"

#include <algorithm>
#include <sstream>

#include "xptools/Print.h"

namespace Cmf {
namespace {

// A C1 code the text printer recognises, with the number of parameter bytes that follow it.
struct CommandCode_t {
    unsigned char first;
    unsigned char last;
    const char* name;
    CcPacket_t::CcCommand_e command;
    unsigned int parameterCount;
};

constexpr CommandCode_t COMMAND_CODES[] = {
    {0x80, 0x87, "Current Window ", CcPacket_t::COMMAND_SET_WINDOW, 0},
    {0x88, 0x88, "Clear Windows", CcPacket_t::COMMAND_CLEAR_WINDOWS, 1},
    {0x89, 0x89, "Display Windows", CcPacket_t::COMMAND_DISPLAY_WINDOWS, 1},
    {0x8A, 0x8A, "Hide Windows", CcPacket_t::COMMAND_HIDE_WINDOWS, 1},
    {0x8B, 0x8B, "Toggle Windows", CcPacket_t::COMMAND_TOGGLE_WINDOWS, 1},
    {0x8C, 0x8C, "Delete Windows", CcPacket_t::COMMAND_DELETE_WINDOWS, 1},
    {0x8D, 0x8D, "Set Delay", CcPacket_t::COMMAND_SET_DELAY, 1},
    {0x8E, 0x8E, "Delay Cancel", CcPacket_t::COMMAND_DELAY_CANCEL, 0},
    {0x8F, 0x8F, "Reset", CcPacket_t::COMMAND_RESET, 0},
    {0x90, 0x90, "Set Pen Attributes", CcPacket_t::COMMAND_SET_PEN_ATTRIBUTES, 2},
    {0x91, 0x91, "Set Pen Color", CcPacket_t::COMMAND_SET_PEN_COLOR, 3},
    {0x92, 0x92, "Set Pen Location", CcPacket_t::COMMAND_SET_PEN_LOCATION, 2},
    {0x97, 0x97, "Set Window Attributes", CcPacket_t::COMMAND_SET_WINDOW_ATTRIBUTES, 4},
    {0x98, 0x9F, "Define Window", CcPacket_t::COMMAND_DEFINE_WINDOW, 6},
};

const CommandCode_t* FindCommand(unsigned char byte) {
    for (const CommandCode_t& code : COMMAND_CODES) {
        if (byte >= code.first && byte <= code.last) {
            return &code;
        }
    }
    return nullptr;
}

// Feeds caption bytes one by one: prints text, names commands and skips their parameters.
class DtvCcTextWriter {
public:
    explicit DtvCcTextWriter(std::ostream& out) : m_Out(out) {}

    void Put(unsigned char byte) {
        if (m_pPending != nullptr) {
            if (++m_ParametersSeen == m_pPending->parameterCount) {
                m_pPending = nullptr;
            }
            return;
        }
        if (byte >= 0x20 && byte <= 0x7E) {
            m_Out << static_cast<char>(byte);
            m_CommandPrintedLast = false;
            return;
        }
        const CommandCode_t* pCode = FindCommand(byte);
        if (pCode == nullptr) {
            return;
        }
        if (!m_CommandPrintedLast) {
            m_Out << '\n';
        }
        m_Out << pCode->name << '\n';
        m_CommandPrintedLast = true;
        if (pCode->parameterCount > 0) {
            m_pPending = pCode;
            m_ParametersSeen = 0;
        }
    }

private:
    std::ostream& m_Out;
    const CommandCode_t* m_pPending = nullptr;
    unsigned int m_ParametersSeen = 0;
    bool m_CommandPrintedLast = false;
};

}  // namespace

void CcPacket_t::Clone(const CcPacket_t& other) {
    pts = other.pts;
    data = other.data.Clone();
}

bool CcPacket_t::operator==(const CcPacket_t& other) const {
    return pts == other.pts && data == other.data;
}

void CcPacket_t::PrintPacketString() const {
    if (data.IsEmpty()) {
        return;
    }
    const unsigned char* pBytes = data.GetBegin();
    const CaptionPacket_t* pPacket = XP::INTERNAL::GetLayout<CaptionPacket_t>(pBytes);
    const unsigned int count = pPacket->Count_t_.Get();
    const std::size_t needed = HEADER_SIZE + TRIPLE_SIZE * count;
    if (data.GetSize() < needed) {
        XP::MyPrintf("CcPacket: %zu bytes cannot hold cc_count %u (%zu bytes needed)",
                     data.GetSize(), count, needed);
        return;
    }
    std::ostringstream text;
    pPacket->Format(text);
    XP::MyPrintf("%s\n", text.str().c_str());
}

void CcPacket_t::PrintDtvCcText(std::ostream& out) const {
    if (data.IsEmpty()) {
        return;
    }
    const CaptionPacket_t* pPacket = XP::INTERNAL::GetLayout<CaptionPacket_t>(
        static_cast<const unsigned char*>(data.GetBegin()));
    if (pPacket->Process_t_.Get() == 0) {
        return;
    }
    // Only the triples that are really there, whatever cc_count claims.
    const std::size_t present =
        data.GetSize() >= HEADER_SIZE ? (data.GetSize() - HEADER_SIZE) / TRIPLE_SIZE : 0;
    const std::size_t triples = std::min<std::size_t>(pPacket->Count_t_.Get(), present);

    DtvCcTextWriter writer(out);
    std::size_t index = 0;
    for (const CaptionData_t& triple : pPacket->CaptionData_t_) {
        if (index++ == triples) {
            break;
        }
        const unsigned int type = triple.Type_t_.Get();
        if (triple.Valid_t_.Get() == 0 ||
            (type != CC_PACKET_TYPE_DTVCC_DATA && type != CC_PACKET_TYPE_DTVCC_START)) {
            continue;
        }
        writer.Put(triple.Data1_t_.Get());
        writer.Put(triple.Data2_t_.Get());
    }
    out.flush();
}

}  // namespace Cmf
