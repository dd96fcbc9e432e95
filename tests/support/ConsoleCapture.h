#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "xptools/Print.h"

namespace KestrelTest {

// Collects every console line printed through XP::MyPrintf while it lives.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;

    std::vector<std::string> Lines() const;
    // Removes and returns what was captured so far.
    std::vector<std::string> Take();

private:
    mutable std::mutex m_Mutex;
    std::vector<std::string> m_Lines;
    XP::ConsoleSink m_Previous;
};

}  // namespace KestrelTest
