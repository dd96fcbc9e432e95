#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The command line of kestrelctl (the full text is HelpText()).
namespace KestrelCtl {

enum Command_e { COMMAND_HELP, COMMAND_SEND, COMMAND_WATCH, COMMAND_LIST };

struct CommandLine_t {
    Command_e m_Command = COMMAND_HELP;
    std::string m_Device;  // empty: the root's "/dev/ttyS2"
    unsigned int m_Baud = 115200;
    std::vector<std::string> m_Operations;  // send
    uint64_t m_Count = 0;                   // watch: 0 = no count
    uint64_t m_TimeoutMs = 0;               // watch: 0 = wait for ever
    bool m_Json = false;                    // watch
    bool m_Enums = false;                   // list
};

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the device, the link, or a watch count not reached
constexpr int kExitUsage = 2;    // the command line, including an operation that does not parse

// Reads the arguments after the program name. False with `error` saying what is wrong.
bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine_t& commandLine,
                      std::string& error);

const char* HelpText();

}  // namespace KestrelCtl
