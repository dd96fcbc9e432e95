#include "shared/comms/UartAdapter.h"

#include <cstring>
#include <iostream>
#include <vector>

#include "shared/comms/FrameUnframer.h"
#include "shared/comms/UartFraming.h"
#include "shared/system/RootPrefix.h"
#include "xptools/MutexLock.h"
#include "xptools/Print.h"

namespace {

// Board device of each fixed port value, in the order of UartPort_e from UART_PORT_TTYPS0.
constexpr const char* kPortDevices[] = {
    "/dev/ttyPS0",  "/dev/ttyPS1",  "/dev/ttyPS2",  "/dev/ttyPS3",   //
    "/dev/ttyUL0",  "/dev/ttyUL1",  "/dev/ttyUL2",  "/dev/ttyUL3",   //
    "/dev/ttyAMA0", "/dev/ttyAMA1", "/dev/ttyAMA2", "/dev/ttyAMA3",  //
    "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3",
};
static_assert(sizeof(kPortDevices) / sizeof(kPortDevices[0]) ==
                  CUartAdapter::UART_PORT_TTYS3 - CUartAdapter::UART_PORT_TTYPS0 + 1,
              "one device per fixed port value");

void NameThisThread(const char* name) {
    pthread_setname_np(pthread_self(), name);
}

}  // namespace

CUartAdapter::CUartAdapter(UartPort_e port, BaudRate_e baud)
    : m_ReceiveThreadId(),
      m_ReceiveThread(false),
      m_ReceiveThreadStarted(false),
      m_ProcessThreadId(),
      m_ProcessThread(false),
      m_ProcessThreadStarted(false),
      m_Port(port),
      m_BaudRate(baud),
      m_DataSem(0),
      m_RecvMutex("CUartAdapter"),
      m_SendMutex("CUartAdapter"),
      m_ReceiveQueueLimit(kDefaultReceiveQueueLimit),
      m_DroppedBytes(0),
      m_Overflowing(false) {
    OpenUartPort();
}

CUartAdapter::CUartAdapter(const std::string& path, unsigned int baud)
    : m_ReceiveThreadId(),
      m_ReceiveThread(false),
      m_ReceiveThreadStarted(false),
      m_ProcessThreadId(),
      m_ProcessThread(false),
      m_ProcessThreadStarted(false),
      m_Port(UART_PORT_STRING),
      m_BaudRate(static_cast<BaudRate_e>(baud)),
      m_DataSem(0),
      m_RecvMutex("CUartAdapter"),
      m_SendMutex("CUartAdapter"),
      m_PortString(path),
      m_ReceiveQueueLimit(kDefaultReceiveQueueLimit),
      m_DroppedBytes(0),
      m_Overflowing(false) {
    OpenUartPort();
}

CUartAdapter::~CUartAdapter() {
    // Not the virtual: a derived part is already gone here.
    StopReceiving();
}

std::string CUartAdapter::GetPortString() const {
    if (m_Port >= UART_PORT_TTYPS0 && m_Port <= UART_PORT_TTYS3) {
        return kPortDevices[m_Port - UART_PORT_TTYPS0];
    }
    if (m_Port == UART_PORT_STRING) {
        return m_PortString;
    }
    std::cerr << "CUartAdapter::GetPortString() No matching value for UartPort_e enum: " << std::hex
              << static_cast<int>(m_Port) << std::dec << std::endl;
    return std::string();
}

std::string CUartAdapter::GetDevicePath() const {
    const std::string path = GetPortString();
    if (m_Port == UART_PORT_STRING || path.empty()) {
        return path;
    }
    return Kestrel::Sys::RootPath(path);
}

bool CUartAdapter::OpenUartPort() {
    if (m_Rs232.IsValid()) {
        return true;
    }
    if (!m_Rs232.Open(GetDevicePath(), m_BaudRate, XP::CRs232::FLOW_CONTROL_SW_XONXOFF)) {
        XP::MyPrintf("Uart receive thread error: ReadPort could not be opened");
        return false;
    }
    return true;
}

bool CUartAdapter::StartReceiveOps() {
    if (m_ReceiveThreadStarted || m_ProcessThreadStarted) {
        return true;
    }
    m_ReceiveThread = true;
    m_ProcessThread = true;
    if (!OpenUartPort()) {
        m_ReceiveThread = false;
        m_ProcessThread = false;
        return false;
    }
    int result =
        pthread_create(&m_ReceiveThreadId, nullptr, &CUartAdapter::ReceiveThreadMain, this);
    m_ReceiveThreadStarted = result == 0;
    if (result == 0) {
        result =
            pthread_create(&m_ProcessThreadId, nullptr, &CUartAdapter::ProcessThreadMain, this);
        m_ProcessThreadStarted = result == 0;
    }
    if (result != 0) {
        XP::MyPrintf("CUartAdapter: cannot start the serial threads: %s", std::strerror(result));
        StopReceiving();
        return false;
    }
    return true;
}

void CUartAdapter::TerminateReceiveOps() {
    StopReceiving();
}

void CUartAdapter::StopReceiving() {
    m_ReceiveThread = false;
    m_ProcessThread = false;
    m_DataSem.Signal();  // wake "UART Px" now rather than at its next time-out
    m_Rs232.Flush();
    m_Rs232.Close();  // also ends a read in progress on "UART Rx"
    if (m_ReceiveThreadStarted) {
        pthread_join(m_ReceiveThreadId, nullptr);
        m_ReceiveThreadStarted = false;
    }
    if (m_ProcessThreadStarted) {
        pthread_join(m_ProcessThreadId, nullptr);
        m_ProcessThreadStarted = false;
    }
}

void* CUartAdapter::ReceiveThreadMain(void* self) {
    static_cast<CUartAdapter*>(self)->ReceiveLoop();
    return nullptr;
}

void* CUartAdapter::ProcessThreadMain(void* self) {
    static_cast<CUartAdapter*>(self)->ProcessLoop();
    return nullptr;
}

void CUartAdapter::ReceiveLoop() {
    NameThisThread("UART Rx");
    XP::MyPrintf("Uart receive thread running");
    std::vector<unsigned char> buffer(kReadBufferSize);
    while (m_ReceiveThread) {
        // The port is closed only after the run flag is cleared, and a device that has gone
        // (the controller's end hung up) returns -1 only after the time-out: no busy loop.
        const int count = m_Rs232.Read(buffer.data(), buffer.size(), kWaitTimeoutMs);
        if (count > 0) {
            QueueReceivedBytes(buffer.data(), static_cast<size_t>(count));
            m_DataSem.Signal();
        }
    }
}

void CUartAdapter::QueueReceivedBytes(const unsigned char* bytes, size_t count) {
    XP::CMutexLock lock(m_RecvMutex);
    const size_t room =
        m_DataQueue.size() < m_ReceiveQueueLimit ? m_ReceiveQueueLimit - m_DataQueue.size() : 0;
    const size_t accepted = count < room ? count : room;
    for (size_t i = 0; i < accepted; ++i) {
        m_DataQueue.push_back(bytes[i]);
    }
    if (accepted < count) {
        m_DroppedBytes += count - accepted;
        if (!m_Overflowing) {
            m_Overflowing = true;
            XP::MyPrintf("UartRecv: receive queue full (%zu bytes), dropping received bytes",
                         m_ReceiveQueueLimit);
        }
    }
}

bool CUartAdapter::PopReceivedByte(unsigned char& byte) {
    XP::CMutexLock lock(m_RecvMutex);
    if (m_DataQueue.empty()) {
        m_Overflowing = false;
        return false;
    }
    byte = m_DataQueue.front();
    m_DataQueue.pop_front();
    return true;
}

void CUartAdapter::ProcessLoop() {
    NameThisThread("UART Px");
    XP::MyPrintf("Uart processing thread running");
    CFrameUnframer unframer([this](XP::CSharedPtr<SsOp> op) { SendOpToHandlers(op); });
    while (m_ProcessThread) {
        if (!m_DataSem.Wait(kWaitTimeoutMs)) {
            continue;
        }
        unsigned char byte = 0;
        while (PopReceivedByte(byte)) {
            unframer.Push(byte);
        }
    }
}

void CUartAdapter::SetReceiveQueueLimit(size_t bytes) {
    XP::CMutexLock lock(m_RecvMutex);
    m_ReceiveQueueLimit = bytes;
}

uint64_t CUartAdapter::GetDroppedByteCount() const {
    XP::CMutexLock lock(m_RecvMutex);
    return m_DroppedBytes;
}

size_t CUartAdapter::GetQueuedByteCount() const {
    XP::CMutexLock lock(m_RecvMutex);
    return m_DataQueue.size();
}

bool CUartAdapter::SendOperation(SsOp& op) {
    const uint8_t* bytes = nullptr;
    size_t length = 0;
    op.GetSerializedOp(bytes, length);
    return WriteData(XP::CSlice<const unsigned char>(bytes, length));
}

int CUartAdapter::WritePort(const unsigned char* data, size_t size) {
    return m_Rs232.Write(data, size);
}

bool CUartAdapter::FlushPort() {
    return m_Rs232.Flush();
}

bool CUartAdapter::WriteAll(const unsigned char* data, size_t size) {
    return WritePort(data, size) == static_cast<int>(size);
}

bool CUartAdapter::WriteData(const XP::CSlice<const unsigned char>& data) {
    static const unsigned char kStart = UartFraming::kFrameStart;
    static const unsigned char kEnd = UartFraming::kFrameEnd;
    static const unsigned char kEscape = UartFraming::kEscape;

    XP::CMutexLock lock(m_SendMutex);
    const unsigned char* bytes = data.GetBegin();
    const size_t size = data.GetSize();
    bool ok = WriteAll(&kStart, 1);
    size_t runStart = 0;
    for (size_t i = 0; ok && i < size; ++i) {
        if (!UartFraming::NeedsEscape(bytes[i])) {
            continue;
        }
        if (i > runStart) {
            ok = WriteAll(bytes + runStart, i - runStart);
        }
        const unsigned char escaped =
            static_cast<unsigned char>(bytes[i] ^ UartFraming::kEscapeXor);
        ok = ok && WriteAll(&kEscape, 1) && WriteAll(&escaped, 1);
        runStart = i + 1;
    }
    if (ok && runStart < size) {
        ok = WriteAll(bytes + runStart, size - runStart);
    }
    ok = ok && WriteAll(&kEnd, 1);
    // Always, also after a failed write.
    FlushPort();
    return ok;
}
