// kestrelctl: the controller's side of kestrel's serial link (kestrelctl --help).
#include <signal.h>

#include <atomic>
#include <iostream>
#include <string>
#include <vector>

#include "kestrelctl/CommandLine.h"
#include "kestrelctl/Commands.h"
#include "xptools/Print.h"

namespace {

std::atomic<bool> g_Stop(false);

void RequestStop(int) {
    g_Stop = true;
}

}  // namespace

int main(int argc, char** argv) {
    // Standard output carries only what was asked for (watch lines, listings); the link's own
    // messages go with the errors.
    XP::SetConsoleSink(
        [](const std::string& line) { std::cerr << "kestrelctl: " << line << std::endl; });

    const std::vector<std::string> arguments(argv + 1, argv + argc);
    KestrelCtl::CommandLine_t commandLine;
    std::string error;
    if (!KestrelCtl::ParseCommandLine(arguments, commandLine, error)) {
        std::cerr << "kestrelctl: " << error << " (kestrelctl --help)" << std::endl;
        return KestrelCtl::kExitUsage;
    }

    switch (commandLine.m_Command) {
        case KestrelCtl::COMMAND_HELP:
            std::cout << KestrelCtl::HelpText();
            return KestrelCtl::kExitOk;
        case KestrelCtl::COMMAND_SEND:
            return KestrelCtl::RunSend(commandLine, std::cerr);
        case KestrelCtl::COMMAND_WATCH: {
            // Interrupting a watch ends it like its time-out: the exit status still says whether
            // the count was reached.
            struct sigaction action {};
            action.sa_handler = RequestStop;
            sigemptyset(&action.sa_mask);
            sigaction(SIGINT, &action, nullptr);
            sigaction(SIGTERM, &action, nullptr);
            return KestrelCtl::RunWatch(commandLine, std::cout, std::cerr, g_Stop);
        }
        case KestrelCtl::COMMAND_LIST:
            return KestrelCtl::RunList(commandLine, std::cout);
    }
    return KestrelCtl::kExitUsage;
}
