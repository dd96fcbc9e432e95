#include "xptools/Daemon.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "xptools/Print.h"

namespace XP {
namespace {

// Shared with the signal handler: lock-free atomics only.
std::atomic<int> g_WakeFd{-1};
std::atomic<int> g_StopSignal{0};
std::atomic<bool> g_StopRequested{false};
std::atomic<bool> g_HaveInstance{false};

void WriteWake(int fd) {
    if (fd < 0) {
        return;
    }
    const char byte = 1;
    ssize_t written;
    do {
        written = write(fd, &byte, 1);
    } while (written < 0 && errno == EINTR);
    // EAGAIN: the pipe is full of earlier wake-ups, which is just as good.
}

}  // namespace

CDaemon::CDaemon(bool daemonise, const std::string& pidFile)
    : m_PidFile(pidFile),
      m_PidWritten(false),
      m_Pid(0),
      m_Active(false),
      m_LocalStop(false),
      m_Pipe{-1, -1} {
    bool expected = false;
    m_Active = g_HaveInstance.compare_exchange_strong(expected, true);
    if (!m_Active) {
        MyPrintf("CDaemon: another daemon object exists; this one does not catch signals");
    }
    if (daemonise) {
        Daemonise();
    }
    m_Pid = getpid();
    if (pipe2(m_Pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        MyPrintf("CDaemon: pipe failed: %s", std::strerror(errno));
        m_Pipe[0] = m_Pipe[1] = -1;
    }
    WritePidFile();

    if (m_Active) {
        g_StopSignal = 0;
        g_StopRequested = false;
        g_WakeFd = m_Pipe[1];
        struct sigaction action {};
        action.sa_handler = &CDaemon::OnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, &m_PreviousTerm);
        sigaction(SIGINT, &action, &m_PreviousInt);
    }
}

CDaemon::~CDaemon() {
    if (m_Active) {
        sigaction(SIGTERM, &m_PreviousTerm, nullptr);
        sigaction(SIGINT, &m_PreviousInt, nullptr);
        g_WakeFd = -1;
        g_HaveInstance = false;
    }
    for (int fd : m_Pipe) {
        if (fd >= 0) {
            close(fd);
        }
    }
    // Only the process that wrote it removes it (not a child that inherited this object).
    if (m_PidWritten && getpid() == m_Pid && unlink(m_PidFile.c_str()) != 0 && errno != ENOENT) {
        MyPrintf("CDaemon: cannot remove pid file %s: %s", m_PidFile.c_str(), std::strerror(errno));
    }
}

void CDaemon::Daemonise() {
    // Twice: the first child leads a new session, the second can never reacquire a terminal.
    for (int round = 0; round < 2; ++round) {
        const pid_t child = fork();
        if (child < 0) {
            MyPrintf("CDaemon: fork failed, staying in the foreground: %s", std::strerror(errno));
            return;
        }
        if (child > 0) {
            _exit(0);
        }
        if (round == 0 && setsid() < 0) {
            MyPrintf("CDaemon: setsid failed: %s", std::strerror(errno));
        }
    }
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        if (devNull > STDERR_FILENO) {
            close(devNull);
        }
    }
}

void CDaemon::WritePidFile() {
    FILE* pFile = std::fopen(m_PidFile.c_str(), "we");
    if (pFile == nullptr) {
        MyPrintf("CDaemon: cannot write pid file %s: %s", m_PidFile.c_str(), std::strerror(errno));
        return;
    }
    const bool ok = std::fprintf(pFile, "%d\n", static_cast<int>(m_Pid)) > 0;
    if (std::fclose(pFile) != 0 || !ok) {
        MyPrintf("CDaemon: cannot write pid file %s", m_PidFile.c_str());
        unlink(m_PidFile.c_str());
        return;
    }
    m_PidWritten = true;
}

void CDaemon::Block() {
    if (m_Pipe[0] < 0) {
        MyPrintf("CDaemon: cannot block without a wake-up pipe");
        return;
    }
    pollfd fds[1] = {{m_Pipe[0], POLLIN, 0}};
    while (!IsStopRequested()) {
        const int ready = poll(fds, 1, -1);
        if (ready < 0 && errno != EINTR) {
            MyPrintf("CDaemon: poll failed: %s", std::strerror(errno));
            return;
        }
    }
}

void CDaemon::Stop() {
    if (m_Active) {
        g_StopRequested = true;
    } else {
        m_LocalStop = true;
    }
    WriteWake(m_Pipe[1]);
}

bool CDaemon::IsStopRequested() const {
    return m_Active ? g_StopRequested.load() : m_LocalStop.load();
}

int CDaemon::GetStopSignal() const {
    return m_Active ? g_StopSignal.load() : 0;
}

void CDaemon::OnSignal(int signalNumber) {
    const int savedErrno = errno;
    int none = 0;
    g_StopSignal.compare_exchange_strong(none, signalNumber);
    g_StopRequested = true;
    WriteWake(g_WakeFd.load());
    errno = savedErrno;
}

}  // namespace XP
