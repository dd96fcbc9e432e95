#pragma once

#include <mutex>
#include <string>
#include <vector>

// The one way the daemon runs shell commands ("mkdir -p", "setprop", "ifconfig eth0 down",
// "touch /data/ffmpegFlag", "ls /mnt/media_rw", ...).
//
// On the board the commands run for real. Everywhere else the host shell takes them: it never
// executes anything, it appends each command to a journal under the root and emulates the few
// effects the daemon relies on inside the root. Commands that touch this machine's network or
// properties are only journalled.
namespace Kestrel {
namespace Sys {

class IShell {
public:
    virtual ~IShell() = default;
    // As system(): the command's exit status, 0 on success.
    virtual int Run(const std::string& command) = 0;
    // As popen(command, "r") read to the end: false when the command could not be started,
    // otherwise true with its output lines (without line ends).
    virtual bool Read(const std::string& command, std::vector<std::string>& lines) = 0;
};

// The shell in force: the board shell on the board, else a host shell.
IShell& Shell();
// Replaces the shell in force (tests); null restores the default. Returns the previous one.
IShell* SetShell(IShell* shell);

// Journals and emulates. Thread-safe.
//   journal:    <root>/host/shell.journal, one command per line, in order
//   properties: "setprop KEY VALUE" writes KEY=VALUE into <root>/host/properties
//   files:      "mkdir -p DIR", "touch FILE", "rm [-f] FILE", "ls PATH..." act on the root's
//               copies of board paths; ls expands '*' and '?' and prints paths as given.
//   network:    "ifconfig ..." succeeds and changes nothing.
// Anything else, or a command with shell control characters (; | & ` $ < > ( ) quotes), is
// refused with exit status 127 and a console message, after being journalled.
class CHostShell : public IShell {
public:
    static const char* const JOURNAL_PATH;     // "/host/shell.journal"
    static const char* const PROPERTIES_PATH;  // "/host/properties"

    int Run(const std::string& command) override;
    bool Read(const std::string& command, std::vector<std::string>& lines) override;

private:
    int Execute(const std::string& command, std::vector<std::string>* output);
    void Journal(const std::string& command);

    std::mutex m_Mutex;
};

#if KESTREL_BOARD
// Runs commands with system() and popen(). Built only for the board.
class CBoardShell : public IShell {
public:
    int Run(const std::string& command) override;
    bool Read(const std::string& command, std::vector<std::string>& lines) override;
};
#endif

}  // namespace Sys
}  // namespace Kestrel
