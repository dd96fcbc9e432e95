#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

#include "xptools/Slice.h"
#include "xptools/Uncopyable.h"

namespace XP {

// A serial port in raw mode: 8 data bits, no parity, one stop bit, no echo and no line editing,
// at a standard baud rate, with the chosen flow control. Works on real UARTs and on the slave
// side of a pseudo-terminal.
//
// Waits are real time (a device does not follow a test's manual clock) and are bounded by the
// caller's time-out. Read also returns early when the reading thread is an XP::CThread being
// cancelled, or when another thread closes the port.
//
// Threads: one thread may Read while another Writes; Flush and Close may come from any thread.
// Close wakes a Read in progress and waits until no call is using the descriptor before closing
// it, so a descriptor is never used after Close. m_Mutex guards the descriptor and the count of
// calls using it; it is not held while reading, writing or waiting.
class CRs232 : private CUncopyable {
public:
    enum FlowControl_e : int {
        FLOW_CONTROL_NONE = 0,
        FLOW_CONTROL_HW_RTSCTS = 1,
        FLOW_CONTROL_SW_XONXOFF = 2,
    };

    CRs232();
    ~CRs232();

    // Opens and configures the device (closing any port opened before). False, with a message,
    // when the device cannot be opened, is not a terminal, or the baud rate or flow control is
    // not one this port supports.
    bool Open(const std::string& device, unsigned int baud, FlowControl_e flow);
    bool IsValid() const;

    // Waits up to `ms` for bytes and fills the front of the buffer with what has arrived: the
    // count, or 0 when nothing came (time-out, cancellation, port closing). -1 at once when the
    // port is not open; -1 also when the device has gone (a pseudo-terminal's other side
    // closed), but only after waiting out `ms`, so a read loop does not spin.
    int Read(const CBuffer& buffer, unsigned int ms);
    int Read(unsigned char* pData, size_t size, unsigned int ms);

    // Writes all the bytes, waiting for room when the device is busy (at most 2 s without
    // progress). Returns the count written, which is short only on error or time-out (with a
    // message), or -1 when the port is not open.
    int Write(const CBuffer& data);
    int Write(const CSlice<const unsigned char>& data);
    int Write(const unsigned char* pData, size_t size);

    // Waits until the bytes written have left the driver (at most 2 s). Received bytes are kept.
    bool Flush();
    void Close();

private:
    // Marks a call as using the descriptor; false when the port is not open or closing.
    bool Acquire(int& fd, int& closeFd);
    void Release();
    // Waits up to `ms` for nothing but a cancel or Close (used after a hang-up).
    void WaitOut(int closeFd, unsigned int ms) const;

    mutable std::mutex m_Mutex;
    std::condition_variable m_Idle;
    int m_Fd;
    // Readable while Close is in progress, to end waits in poll().
    int m_CloseFd;
    unsigned int m_Users;
    bool m_Closing;
    std::atomic<bool> m_HangUpReported;
    std::string m_Device;
};

}  // namespace XP
