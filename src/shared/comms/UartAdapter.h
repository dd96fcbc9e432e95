#pragma once

#include <pthread.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

#include "shared/comms/CommBus.h"
#include "shared/comms/SsOp.h"
#include "xptools/Mutex.h"
#include "xptools/Rs232.h"
#include "xptools/Semaphore.h"
#include "xptools/SharedPtr.h"
#include "xptools/Slice.h"

// The serial link to the host controller: frames operations out (UartFraming.h) and turns the
// received byte stream back into operations for the registered handlers.
//
// Threads:
// - "UART Rx" reads the port and appends the bytes to m_DataQueue, then signals m_DataSem once
//   per batch.
// - "UART Px" drains m_DataQueue a byte at a time, unframes and parses, and calls the handlers;
//   handlers therefore run on "UART Px", one operation at a time, in arrival order.
// - Any thread may send: m_SendMutex keeps the writes of one frame together.
// - StartReceiveOps, TerminateReceiveOps and handler registration come from one controlling
//   thread, never concurrently with each other.
// m_RecvMutex guards m_DataQueue and its overflow bookkeeping; it is held only to push or pop and
// never while another lock is taken. Both threads notice a cleared run flag within one 500 ms
// time-out (sooner in practice: closing the port ends a read, and stopping signals the
// semaphore).
//
// The received-byte queue has a ceiling: bytes that arrive while it is full are dropped and
// counted, with one console line per overflow episode.
class CUartAdapter : public CommBus {
public:
    enum UartPort_e : int {
        UART_PORT_UNKNOWN = 0,
        UART_PORT_TTYPS0 = 1,
        UART_PORT_TTYPS1 = 2,
        UART_PORT_TTYPS2 = 3,
        UART_PORT_TTYPS3 = 4,
        UART_PORT_TTYUL0 = 5,
        UART_PORT_TTYUL1 = 6,
        UART_PORT_TTYUL2 = 7,
        UART_PORT_TTYUL3 = 8,
        UART_PORT_TTYAMA0 = 9,
        UART_PORT_TTYAMA1 = 10,
        UART_PORT_TTYAMA2 = 11,
        UART_PORT_TTYAMA3 = 12,
        UART_PORT_TTYS0 = 13,
        UART_PORT_TTYS1 = 14,
        UART_PORT_TTYS2 = 15,
        UART_PORT_TTYS3 = 16,
        UART_PORT_STRING = 17,  // the path given to the string constructor
        UART_PORT_END = 18,
    };

    // The value is the rate itself. Any other rate the serial port supports may be passed to
    // the string constructor.
    enum BaudRate_e : unsigned int {
        BAUD_RATE_9600 = 9600,
        BAUD_RATE_57600 = 57600,
        BAUD_RATE_115200 = 115200,
        BAUD_RATE_921600 = 921600,
    };

    static constexpr size_t kReadBufferSize = 8264;
    static constexpr unsigned int kWaitTimeoutMs = 500;
    // About five seconds of a busy line at 115200 baud.
    static constexpr size_t kDefaultReceiveQueueLimit = 64 * 1024;

    // A board device ("/dev/ttyS2" for UART_PORT_TTYS2), resolved through the root prefix.
    CUartAdapter(UartPort_e port, BaudRate_e baud);
    // A device path used exactly as given (UART_PORT_STRING).
    explicit CUartAdapter(const std::string& path, unsigned int baud = BAUD_RATE_115200);
    ~CUartAdapter() override;

    bool SendOperation(SsOp& op) override;

    // Opens the port if needed and starts "UART Rx" and "UART Px". False, without threads, when
    // the port cannot be opened. Calling it while the threads run changes nothing.
    virtual bool StartReceiveOps();
    // Stops both threads, flushes and closes the port, and joins the threads.
    virtual void TerminateReceiveOps();

    // True when the port is open (already, or now).
    bool OpenUartPort();
    // The device path of the port value (the board path for the fixed devices); "" with a
    // message on the error stream for a value that names no device.
    std::string GetPortString() const;

    // Writes one frame carrying `data`: the start byte, each run of plain bytes as one write,
    // each escaped byte as two single-byte writes, and the end byte; then flushes the port. True
    // only when every write wrote all its bytes (writing stops at the first that does not).
    bool WriteData(const XP::CSlice<const unsigned char>& data);

    // Ceiling of the received-byte queue. Call before StartReceiveOps.
    void SetReceiveQueueLimit(size_t bytes);
    // Received bytes dropped because the queue was full.
    uint64_t GetDroppedByteCount() const;
    // Received bytes waiting for the processing thread.
    size_t GetQueuedByteCount() const;

protected:
    // The port operations WriteData uses; a test can observe the exact writes through them.
    virtual int WritePort(const unsigned char* data, size_t size);
    virtual bool FlushPort();

private:
    static void* ReceiveThreadMain(void* self);
    static void* ProcessThreadMain(void* self);
    void ReceiveLoop();
    void ProcessLoop();
    void QueueReceivedBytes(const unsigned char* bytes, size_t count);
    // Takes the oldest queued byte; false when the queue is empty.
    bool PopReceivedByte(unsigned char& byte);
    bool WriteAll(const unsigned char* data, size_t size);
    std::string GetDevicePath() const;
    void StopReceiving();

    pthread_t m_ReceiveThreadId;
    std::atomic<bool> m_ReceiveThread;
    bool m_ReceiveThreadStarted;
    pthread_t m_ProcessThreadId;
    std::atomic<bool> m_ProcessThread;
    bool m_ProcessThreadStarted;
    XP::CRs232 m_Rs232;
    UartPort_e m_Port;
    BaudRate_e m_BaudRate;
    std::deque<unsigned char> m_DataQueue;
    XP::CSemaphore m_DataSem;
    mutable XP::CMutex m_RecvMutex;
    XP::CMutex m_SendMutex;
    std::string m_PortString;

    // Under m_RecvMutex.
    size_t m_ReceiveQueueLimit;
    uint64_t m_DroppedBytes;
    bool m_Overflowing;  // reported; cleared when the queue next runs empty
};
