#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "shared/comms/SsOp.h"
#include "xptools/SharedPtr.h"

// Turns the received byte stream of the controller link back into operations (frame form in
// UartFraming.h). Each complete frame is parsed into a new SsOp, which goes to the callback;
// a frame that does not parse is dropped with "UartRecv: Deserialize Failed".
//
// Resynchronisation, chosen so that every frame that begins with 0x0F and ends with 0x10 with no
// other start or end byte between is delivered, whatever came before it:
// - bytes outside a frame, including a lone end byte, are ignored;
// - a start byte inside an open frame abandons the bytes collected so far (the previous frame
//   lost its end) and opens a new frame;
// - a start or end byte also cancels a pending escape, so a dangling escape never alters the
//   first byte of the next frame;
// - a frame longer than the longest operation is dropped with a message, and collecting resumes
//   at the next start byte. This keeps the frame buffer within UartFraming::kMaxFramePayload.
//
// Threads: none of its own; one thread at a time pushes bytes, and the callback runs on that
// thread, inside Push.
class CFrameUnframer {
public:
    using OpCallback = std::function<void(XP::CSharedPtr<SsOp>)>;

    explicit CFrameUnframer(OpCallback onOp);

    void Push(uint8_t byte);
    void Push(const uint8_t* bytes, size_t count);

private:
    void StartFrame();
    void EndFrame();

    OpCallback m_OnOp;
    bool m_Started;
    bool m_Escaped;
    std::vector<uint8_t> m_Frame;  // unescaped payload of the open frame
};
