#pragma once

// Shared by the control link tests: a pseudo-terminal whose master side plays the controller,
// and a handler that collects what the link delivers.

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "shared/comms/SsOp.h"
#include "shared/comms/iCommOpHandler.h"

namespace LinkTest {

using Bytes = std::vector<uint8_t>;

// Real-time bound of every wait on another thread: reaching it fails the test; it never
// measures speed.
constexpr auto kHangGuard = std::chrono::seconds(20);

// An operation as received: type, id, counts and bytes, without the 240-byte cut of SerializeOp.
inline Bytes Parsed(const SsOp& op) {
    Bytes form = {static_cast<uint8_t>(op.GetOpType()), static_cast<uint8_t>(op.GetOpId()),
                  static_cast<uint8_t>(op.GetOpId() >> 8),
                  static_cast<uint8_t>(op.GetIndexCount())};
    const Bytes indexes = op.GetIndexList();
    const Bytes data = op.GetRawData();
    form.insert(form.end(), indexes.begin(), indexes.end());
    form.push_back(static_cast<uint8_t>(data.size()));
    form.insert(form.end(), data.begin(), data.end());
    return form;
}

inline Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The master side of a pseudo-terminal. A background thread keeps reading it, so the slave's
// writes never stall, and collects what it reads except 0x11/0x13: the slave runs XON/XOFF and
// may throttle us at any point, a controller's port consumes those, and frames never carry them
// raw.
class PtyController {
public:
    PtyController() : m_Master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (m_Master >= 0 && grantpt(m_Master) == 0 && unlockpt(m_Master) == 0) {
            m_SlavePath = ptsname(m_Master);
        }
        m_Reader = std::thread([this] {
            uint8_t chunk[4096];
            pollfd fd = {m_Master, POLLIN, 0};
            while (!m_Stop) {
                const ssize_t n = poll(&fd, 1, 20) > 0 ? read(m_Master, chunk, sizeof(chunk)) : 0;
                std::lock_guard<std::mutex> lock(m_Mutex);
                for (ssize_t i = 0; i < n; ++i) {
                    if (chunk[i] != 0x11 && chunk[i] != 0x13) {
                        m_Received.push_back(chunk[i]);
                    }
                }
                m_Cond.notify_all();
            }
        });
    }
    ~PtyController() {
        m_Stop = true;
        m_Reader.join();
        close(m_Master);
    }

    const std::string& SlavePath() const { return m_SlavePath; }
    int Master() const { return m_Master; }

    bool Write(const uint8_t* bytes, size_t size) const {
        for (ssize_t n = 0; size > 0; bytes += n, size -= static_cast<size_t>(n)) {
            if ((n = write(m_Master, bytes, size)) <= 0) {
                return false;
            }
        }
        return true;
    }
    bool Write(const Bytes& bytes) const { return Write(bytes.data(), bytes.size()); }

    // What came from the slave once at least `count` bytes have (or at the hang guard).
    Bytes WaitForReceived(size_t count) {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Cond.wait_for(lock, kHangGuard, [&] { return m_Received.size() >= count; });
        return m_Received;
    }

private:
    int m_Master;
    std::string m_SlavePath;
    std::atomic<bool> m_Stop{false};
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    Bytes m_Received;
    std::thread m_Reader;
};

// Collects delivered operations; can hold the delivering thread in the first call until
// released.
class CollectingHandler : public iCommOpHandler {
public:
    explicit CollectingHandler(bool holdFirst = false) : m_Hold(holdFirst) {}

    void HandleCommOp(XP::CSharedPtr<SsOp> op) override {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Ops.push_back(Parsed(*op));
        m_Cond.notify_all();
        m_Cond.wait_for(lock, kHangGuard, [this] { return !m_Hold; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Hold = false;
        m_Cond.notify_all();
    }
    // The operations so far, once there are at least `count`.
    std::vector<Bytes> WaitForCount(size_t count) {
        std::unique_lock<std::mutex> lock(m_Mutex);
        m_Cond.wait_for(lock, kHangGuard, [&] { return m_Ops.size() >= count; });
        return m_Ops;
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    std::vector<Bytes> m_Ops;
    bool m_Hold;
};

}  // namespace LinkTest
