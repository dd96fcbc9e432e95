#pragma once

#include <string>
#include <vector>

namespace KestrelTest {

// How a test starts one of the programs the build made: directly, or in a cross build through
// the emulator the tests themselves run under (qemu-arm), since an ARM program cannot be started
// on the build machine by itself.
inline std::vector<std::string> ProgramCommand(const std::string& binary) {
    const std::string emulator = KESTREL_TEST_EMULATOR;
    if (emulator.empty()) {
        return {binary};
    }
    return {emulator, binary};
}

// The same as shell text (the paths hold no characters the shell would read).
inline std::string ProgramShellCommand(const std::string& binary) {
    std::string command;
    for (const std::string& word : ProgramCommand(binary)) {
        command += (command.empty() ? "" : " ") + word;
    }
    return command;
}

}  // namespace KestrelTest
