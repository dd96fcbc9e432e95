#include "shared/system/Shell.h"

#include <dirent.h>
#include <fcntl.h>
#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "shared/system/HostProperties.h"
#include "shared/system/RootPrefix.h"
#include "xptools/Print.h"

namespace Kestrel {
namespace Sys {

const char* const CHostShell::JOURNAL_PATH = "/host/shell.journal";
const char* const CHostShell::PROPERTIES_PATH = HOST_PROPERTIES_PATH;

namespace {

constexpr int kStatusRefused = 127;

std::vector<std::string> Words(const std::string& command) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < command.size()) {
        const size_t begin = command.find_first_not_of(" \t", pos);
        if (begin == std::string::npos)
            break;
        const size_t end = command.find_first_of(" \t", begin);
        words.push_back(command.substr(begin, end == std::string::npos ? end : end - begin));
        pos = end;
    }
    return words;
}

// The emulation understands plain words only; anything a real shell would interpret is refused.
bool HasShellSyntax(const std::string& command) {
    return command.find_first_of(";|&`$<>()'\"\\\n\r{}") != std::string::npos;
}

// A board path the emulation may act on: absolute, and unable to climb out of the root.
bool IsSafeBoardPath(const std::string& path) {
    if (path.empty() || path[0] != '/')
        return false;
    return path.find("/../") == std::string::npos &&
           (path.size() < 3 || path.compare(path.size() - 3, 3, "/..") != 0);
}

bool IsDirectory(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> DirectoryEntries(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.push_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// "ls" on board paths: operands are expanded like a shell would ('*', '?'), files are printed as
// named, a single directory operand lists its entries, several get "DIR:" headers.
int EmulateLs(const std::vector<std::string>& args, std::vector<std::string>& out) {
    std::vector<std::string> files;
    std::vector<std::string> directories;
    int status = 0;
    for (const std::string& operand : args) {
        const std::string rooted = RootPath(operand);
        const std::string root = RootPath("/");
        const size_t prefix = root == "/" ? 0 : root.size() - 1;
        glob_t matches;
        std::memset(&matches, 0, sizeof(matches));
        if (glob(rooted.c_str(), 0, nullptr, &matches) != 0) {
            globfree(&matches);
            status = 2;  // as ls: "cannot access"
            continue;
        }
        for (size_t i = 0; i < matches.gl_pathc; ++i) {
            const std::string machinePath = matches.gl_pathv[i];
            const std::string boardPath = machinePath.substr(prefix);
            (IsDirectory(machinePath) ? directories : files).push_back(boardPath);
        }
        globfree(&matches);
    }
    std::sort(files.begin(), files.end());
    std::sort(directories.begin(), directories.end());
    out.insert(out.end(), files.begin(), files.end());
    const bool headers = files.size() + directories.size() > 1;
    for (const std::string& directory : directories) {
        if (headers) {
            if (!out.empty())
                out.push_back("");
            out.push_back(directory + ":");
        }
        for (const std::string& name : DirectoryEntries(RootPath(directory)))
            out.push_back(name);
    }
    return status;
}

std::atomic<IShell*> g_Shell{nullptr};

}  // namespace

IShell& Shell() {
    if (IShell* shell = g_Shell.load())
        return *shell;
#if KESTREL_BOARD
    static CBoardShell defaultShell;
#else
    static CHostShell defaultShell;
#endif
    return defaultShell;
}

IShell* SetShell(IShell* shell) {
    return g_Shell.exchange(shell);
}

int CHostShell::Run(const std::string& command) {
    return Execute(command, nullptr);
}

bool CHostShell::Read(const std::string& command, std::vector<std::string>& lines) {
    lines.clear();
    Execute(command, &lines);
    return true;
}

void CHostShell::Journal(const std::string& command) {
    if (!MakeRootDirectories("/host"))
        return;
    std::ofstream journal(RootPath(JOURNAL_PATH), std::ios::app);
    journal << command << '\n';
}

int CHostShell::Execute(const std::string& command, std::vector<std::string>* output) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    Journal(command);

    const std::vector<std::string> words = Words(command);
    if (words.empty())
        return 0;
    const std::string& verb = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());

    if (HasShellSyntax(command)) {
        XP::MyPrintf("host shell: refused \"%s\": shell syntax is not emulated", command.c_str());
        return kStatusRefused;
    }
    if (verb == "ifconfig") {
        return 0;  // the board's network only: nothing on this machine changes
    }
    if (verb == "setprop") {
        if (args.empty())
            return 1;
        // The value is the rest of the line after the key, as the board's setprop takes it.
        const size_t keyAt = command.find(args[0], command.find("setprop") + 7);
        const size_t valueAt = command.find_first_not_of(" \t", keyAt + args[0].size());
        const std::string value = valueAt == std::string::npos ? "" : command.substr(valueAt);
        return SetHostProperty(args[0], value) ? 0 : 1;
    }

    std::vector<std::string> operands;
    bool force = false;
    bool parents = false;
    for (const std::string& arg : args) {
        if (arg == "-f") {
            force = true;
        } else if (arg == "-p") {
            parents = true;
        } else if (!IsSafeBoardPath(arg)) {
            XP::MyPrintf("host shell: refused \"%s\": \"%s\" is not an absolute board path",
                         command.c_str(), arg.c_str());
            return kStatusRefused;
        } else {
            operands.push_back(arg);
        }
    }

    int status = 0;
    if (verb == "mkdir" && parents && !operands.empty()) {
        for (const std::string& path : operands) {
            if (!MakeRootDirectories(path))
                status = 1;
        }
        return status;
    }
    if (verb == "touch" && !operands.empty()) {
        for (const std::string& path : operands) {
            const int fd = open(RootPath(path).c_str(), O_WRONLY | O_CREAT, 0644);
            if (fd < 0) {
                status = 1;
                continue;
            }
            futimens(fd, nullptr);
            close(fd);
        }
        return status;
    }
    if (verb == "rm" && !operands.empty()) {
        for (const std::string& path : operands) {
            if (unlink(RootPath(path).c_str()) != 0 && !force)
                status = 1;
        }
        return status;
    }
    if (verb == "ls" && !operands.empty()) {
        std::vector<std::string> lines;
        status = EmulateLs(operands, lines);
        if (output)
            output->insert(output->end(), lines.begin(), lines.end());
        return status;
    }
    XP::MyPrintf("host shell: refused \"%s\": not emulated on the host", command.c_str());
    return kStatusRefused;
}

#if KESTREL_BOARD
int CBoardShell::Run(const std::string& command) {
    return std::system(command.c_str());
}

bool CBoardShell::Read(const std::string& command, std::vector<std::string>& lines) {
    lines.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return false;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        lines.push_back(text);
    }
    pclose(pipe);
    return true;
}
#endif

}  // namespace Sys
}  // namespace Kestrel
