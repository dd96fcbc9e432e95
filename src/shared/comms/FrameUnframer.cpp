#include "shared/comms/FrameUnframer.h"

#include <utility>

#include "shared/comms/UartFraming.h"
#include "xptools/Print.h"

CFrameUnframer::CFrameUnframer(OpCallback onOp)
    : m_OnOp(std::move(onOp)), m_Started(false), m_Escaped(false) {
    m_Frame.reserve(UartFraming::kMaxFramePayload);
}

void CFrameUnframer::Push(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        Push(bytes[i]);
    }
}

void CFrameUnframer::Push(uint8_t byte) {
    switch (byte) {
        case UartFraming::kFrameStart:
            StartFrame();
            return;
        case UartFraming::kFrameEnd:
            EndFrame();
            return;
        case UartFraming::kEscape:
            m_Escaped = true;
            return;
        default:
            break;
    }
    if (m_Escaped) {
        byte = static_cast<uint8_t>(byte ^ UartFraming::kEscapeXor);
        m_Escaped = false;
    }
    if (!m_Started) {
        return;  // between frames
    }
    if (m_Frame.size() == UartFraming::kMaxFramePayload) {
        XP::MyPrintf("UartRecv: frame longer than %zu bytes dropped",
                     UartFraming::kMaxFramePayload);
        m_Frame.clear();
        m_Started = false;
        return;
    }
    m_Frame.push_back(byte);
}

void CFrameUnframer::StartFrame() {
    if (m_Started) {
        XP::MyPrintf("UartRecv: frame without end byte dropped (%zu bytes)", m_Frame.size());
    }
    m_Frame.clear();
    m_Started = true;
    m_Escaped = false;
}

void CFrameUnframer::EndFrame() {
    m_Escaped = false;
    if (!m_Started) {
        return;  // a lone end byte: nothing to close
    }
    m_Started = false;
    XP::CSharedPtr<SsOp> op(new SsOp());
    if (op->DeserializeOp(m_Frame.data(), m_Frame.size()) == 0) {
        XP::MyPrintf("UartRecv: Deserialize Failed");
    } else if (m_OnOp) {
        m_OnOp(op);
    }
    m_Frame.clear();
}
