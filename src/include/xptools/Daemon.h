#pragma once

#include <signal.h>
#include <sys/types.h>

#include <atomic>
#include <string>

#include "xptools/Uncopyable.h"

namespace XP {

// The process's life as a service: optionally detaches from the terminal, writes the pid file,
// and holds the main thread in Block until SIGTERM or SIGINT arrives or Stop is called.
//
// With `daemonise` true the process forks twice (the parents exit), starts a new session and
// points standard input and output at /dev/null; this must happen before any thread is started.
// With false it stays in the foreground (the host, tests). The working directory is kept, so
// relative paths given on the command line still resolve.
//
// SIGTERM and SIGINT are caught from construction to destruction, so a signal that arrives
// before Block makes Block return at once; the previous handlers are put back by the
// destructor, which also removes the pid file. Only one CDaemon may exist at a time.
//
// Threads: Block from the main thread; Stop and IsStopRequested from any thread (Stop is also
// safe in a signal handler).
class CDaemon : private CUncopyable {
public:
    CDaemon(bool daemonise, const std::string& pidFile);
    ~CDaemon();

    // Holds until the process is to end: SIGTERM, SIGINT or Stop.
    void Block();
    void Stop();
    // True once a signal or Stop has asked the process to end (start-up loops may check it).
    bool IsStopRequested() const;
    // The signal that ended the process (SIGTERM, SIGINT), 0 for Stop or none yet.
    int GetStopSignal() const;

    // False when the pid file could not be written (the daemon runs on; a message says why).
    bool HasPidFile() const { return m_PidWritten; }

private:
    static void OnSignal(int signalNumber);
    void Daemonise();
    void WritePidFile();

    std::string m_PidFile;
    bool m_PidWritten;
    pid_t m_Pid;
    // True for the one object that catches the signals; its stop state is process-wide because
    // the signal handler sets it. Another object only answers its own Stop.
    bool m_Active;
    std::atomic<bool> m_LocalStop;
    int m_Pipe[2];
    struct sigaction m_PreviousTerm;
    struct sigaction m_PreviousInt;
};

}  // namespace XP
