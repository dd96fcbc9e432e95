#include "platform/host/HostInput.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <log4cpp/Category.hh>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/host/HostTs.h"
#include "platform/host/HostTsTapRegistry.h"
#include "xptools/Clock.h"
#include "xptools/Functor.h"

namespace Kestrel {
namespace Host {

namespace {

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.input");
}

constexpr size_t READ_SIZE = 64 * 1024;
// A file must show packet structure within this many bytes.
constexpr uint64_t SYNC_SEARCH_LIMIT = 1024 * 1024;
// Without a PCR for this many bytes, the file is read at FALLBACK_BYTES_PER_MS.
constexpr uint64_t NO_PCR_LIMIT = 2 * 1024 * 1024;
constexpr uint64_t FALLBACK_BYTES_PER_MS = 1250;  // 10 Mbit/s
// A batch never grows beyond this while waiting for a PCR.
constexpr size_t BATCH_LIMIT = 1024 * 1024;
constexpr int64_t PCR_WRAP_27 = (int64_t(1) << 33) * 300;
// A PCR step beyond this (or backwards) is a jump: pacing starts again from it.
constexpr int64_t PCR_JUMP_27 = 27000000LL;
constexpr uint64_t SILENCE_NS = 1000000000ULL;

}  // namespace

CHostInput::CHostInput() : m_Thread(XP::MakeFunctor<&CHostInput::Body>(this), "host.input", 0) {}

CHostInput::~CHostInput() {
    Stop();
}

bool CHostInput::Start(const std::string& source, bool loop) {
    Stop();
    m_Carry.clear();
    m_Batch.clear();
    m_SeenSync = false;
    m_InSync = false;
    m_BytesRead = 0;
    m_SkippedBytes = 0;
    m_SyncLostReported = false;
    m_PcrPid = -1;
    m_Pcr0 = m_LastPcr = m_LastPcrRaw = -1;
    m_NoPcrReported = false;
    m_FallbackBytes = 0;
    m_Silent = false;
    m_BadDatagrams = 0;
    m_Delivered = 0;
    m_Loop = loop;
    if (source.compare(0, 5, "file:") == 0) {
        m_IsFile = true;
        m_Path = source.substr(5);
        m_File = std::fopen(m_Path.c_str(), "rb");
        if (m_File == nullptr) {
            Log().error("cannot open the input file %s: %s", m_Path.c_str(), std::strerror(errno));
            return false;
        }
        Log().info("reading %s at the stream's rate%s", m_Path.c_str(), loop ? ", looping" : "");
    } else if (source.compare(0, 16, "udp://127.0.0.1:") == 0) {
        m_IsFile = false;
        char* end = nullptr;
        long port = std::strtol(source.c_str() + 16, &end, 10);
        if (end == source.c_str() + 16 || *end != '\0' || port <= 0 || port > 65535) {
            Log().error("malformed input %s: expected udp://127.0.0.1:PORT", source.c_str());
            return false;
        }
        m_Socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        int one = 1;
        ::setsockopt(m_Socket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
        int rcvbuf = 4 * 1024 * 1024;
        ::setsockopt(m_Socket, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof(rcvbuf));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_Socket < 0 ||
            ::bind(m_Socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            Log().error("cannot listen on %s: %s", source.c_str(), std::strerror(errno));
            if (m_Socket >= 0)
                ::close(m_Socket);
            m_Socket = -1;
            return false;
        }
        Log().info("receiving the transport stream on %s", source.c_str());
    } else {
        Log().error("unknown input %s: expected file:PATH or udp://127.0.0.1:PORT", source.c_str());
        return false;
    }
    m_Read.resize(READ_SIZE);
    m_StartNs = XP::Clock::NowNs();
    m_LastDataNs = m_StartNs;
    if (!m_Thread.Run()) {
        Stop();
        return false;
    }
    return true;
}

void CHostInput::Stop() {
    m_Thread.Cancel();
    if (m_File != nullptr)
        std::fclose(m_File);
    m_File = nullptr;
    if (m_Socket >= 0)
        ::close(m_Socket);
    m_Socket = -1;
}

bool CHostInput::Body() {
    if (XP::Clock::IsCancelRequested())
        return false;
    return m_IsFile ? FileStep() : UdpStep();
}

void CHostInput::Flush() {
    if (m_Batch.empty())
        return;
    DeliverTs(m_Batch.data(), m_Batch.size());
    m_Delivered += m_Batch.size();
    m_Batch.clear();
}

void CHostInput::WaitUntil(uint64_t deadlineNs) {
    for (;;) {
        uint64_t now = XP::Clock::NowNs();
        if (now >= deadlineNs || XP::Clock::IsCancelRequested())
            return;
        uint64_t ms = (deadlineNs - now + 999999) / 1000000;
        XP::CThread::Sleep(static_cast<unsigned int>(ms));
    }
}

void CHostInput::Resync(const uint8_t* data, size_t size, bool atEnd) {
    if (size > 0)
        m_Carry.insert(m_Carry.end(), data, data + size);
    size_t pos = 0;
    const size_t n = m_Carry.size();
    while (pos + TS_PACKET_SIZE <= n) {
        const uint8_t* p = &m_Carry[pos];
        // In sync, a sync byte where the packet should start is enough; out of sync, the next
        // packet's sync byte must confirm it (at the end of the file there is none to wait for).
        if (!m_InSync && p[0] == TS_SYNC && n - pos < 2 * TS_PACKET_SIZE && !atEnd)
            break;
        bool start = p[0] == TS_SYNC &&
                     (m_InSync || n - pos < 2 * TS_PACKET_SIZE || p[TS_PACKET_SIZE] == TS_SYNC);
        m_InSync = start;
        if (!start) {
            ++pos;
            ++m_SkippedBytes;
            if (!m_SyncLostReported && m_SeenSync) {
                Log().warn("lost transport stream sync; searching the next packet");
                m_SyncLostReported = true;
            }
            continue;
        }
        if (m_SyncLostReported) {
            Log().info("transport stream sync found again");
            m_SyncLostReported = false;
        }
        m_SeenSync = true;
        if (m_IsFile) {
            int64_t pcr = TsPcr27(p);
            if (pcr >= 0 && (m_PcrPid < 0 || m_PcrPid == TsPid(p))) {
                m_PcrPid = TsPid(p);
                if (m_Pcr0 < 0) {
                    m_Pcr0 = m_LastPcr = pcr;
                    m_LastPcrRaw = pcr;
                    m_StartNs = XP::Clock::NowNs();
                } else {
                    int64_t step = (pcr - m_LastPcrRaw) % PCR_WRAP_27;
                    if (step < 0)
                        step += PCR_WRAP_27;
                    if (step > PCR_JUMP_27) {
                        // Backwards or far forwards: start pacing again from this PCR.
                        Log().warn("PCR jump in the input (%.3f s): pacing starts again",
                                   double(pcr - m_LastPcrRaw) / 27e6);
                        Flush();
                        m_Pcr0 = m_LastPcr = pcr;
                        m_StartNs = XP::Clock::NowNs();
                    } else {
                        m_LastPcr += step;
                    }
                    m_LastPcrRaw = pcr;
                }
                // Everything up to this packet is released at this PCR's time.
                WaitUntil(m_StartNs + uint64_t((m_LastPcr - m_Pcr0) * 1000 / 27));
                m_Batch.insert(m_Batch.end(), p, p + TS_PACKET_SIZE);
                Flush();
                pos += TS_PACKET_SIZE;
                continue;
            }
        }
        m_Batch.insert(m_Batch.end(), p, p + TS_PACKET_SIZE);
        pos += TS_PACKET_SIZE;
        if (m_IsFile && m_Batch.size() >= BATCH_LIMIT)
            Flush();
    }
    m_Carry.erase(m_Carry.begin(), m_Carry.begin() + static_cast<std::ptrdiff_t>(pos));
}

bool CHostInput::FileStep() {
    size_t got = std::fread(m_Read.data(), 1, m_Read.size(), m_File);
    if (got == 0) {
        Resync(nullptr, 0, true);  // what was held back for confirmation
        Flush();
        if (!m_SeenSync) {
            Log().error("%s is not a transport stream: no packet structure found", m_Path.c_str());
            return false;
        }
        if (!m_Loop) {
            Log().info("end of the input file %s", m_Path.c_str());
            return false;
        }
        Log().info("end of the input file %s: starting again from its beginning", m_Path.c_str());
        std::rewind(m_File);
        m_Carry.clear();
        m_InSync = false;
        m_Pcr0 = m_LastPcr = m_LastPcrRaw = -1;
        m_FallbackBytes = 0;
        DeliverDiscontinuity();
        return true;
    }
    m_BytesRead += got;
    Resync(m_Read.data(), got, false);
    if (!m_SeenSync && m_BytesRead >= SYNC_SEARCH_LIMIT) {
        Log().error("%s is not a transport stream: no packet structure in its first %llu bytes",
                    m_Path.c_str(), static_cast<unsigned long long>(m_BytesRead));
        return false;
    }
    if (m_Pcr0 < 0) {
        m_FallbackBytes += got;
        if (m_FallbackBytes >= NO_PCR_LIMIT || std::feof(m_File)) {
            if (!m_NoPcrReported) {
                Log().warn("no PCR in %s: reading it at 10 Mbit/s", m_Path.c_str());
                m_NoPcrReported = true;
            }
            uint64_t bytes = m_Batch.size();
            Flush();
            WaitUntil(XP::Clock::NowNs() + bytes / FALLBACK_BYTES_PER_MS * 1000000ULL);
        }
    }
    return true;
}

bool CHostInput::UdpStep() {
    pollfd pfd{m_Socket, POLLIN, 0};
    int ready = ::poll(&pfd, 1, 100);
    uint64_t now = XP::Clock::NowNs();
    if (ready <= 0) {
        if (ready < 0 && errno != EINTR) {
            Log().error("input socket failed: %s", std::strerror(errno));
            return false;
        }
        if (!m_Silent && m_Delivered > 0 && now - m_LastDataNs >= SILENCE_NS) {
            Log().warn("no transport stream received for a second");
            m_Silent = true;
        }
        return true;
    }
    ssize_t got = ::recv(m_Socket, m_Read.data(), m_Read.size(), 0);
    if (got <= 0)
        return true;
    size_t size = static_cast<size_t>(got);
    bool whole = size % TS_PACKET_SIZE == 0;
    for (size_t i = 0; whole && i < size; i += TS_PACKET_SIZE)
        whole = m_Read[i] == TS_SYNC;
    if (!whole) {
        if (m_BadDatagrams++ % 1000 == 0) {
            Log().warn(
                "dropping a datagram of %zu bytes: not whole transport packets (%llu so far)", size,
                static_cast<unsigned long long>(m_BadDatagrams));
        }
        return true;
    }
    if (m_Silent) {
        Log().info("transport stream received again");
        m_Silent = false;
        DeliverDiscontinuity();
    }
    m_LastDataNs = now;
    DeliverTs(m_Read.data(), size);
    m_Delivered += size;
    return true;
}

}  // namespace Host
}  // namespace Kestrel
