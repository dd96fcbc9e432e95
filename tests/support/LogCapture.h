#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace log4cpp {
class Appender;
}

namespace KestrelTest {

// Collects every log4cpp message logged anywhere while it lives, as "PRIORITY category: message"
// (e.g. "WARN raduva.opreceiver: HandleCommOp: Unhandled OpType=4"). The root category is set to
// DEBUG meanwhile so nothing is filtered, and restored afterwards.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> Lines() const;
    // Removes and returns what was captured so far.
    std::vector<std::string> Take();
    // True when some captured line contains `text`.
    bool Contains(const std::string& text) const;

    // Called by the appender.
    void Add(std::string line);

private:
    mutable std::mutex m_Mutex;
    std::vector<std::string> m_Lines;
    log4cpp::Appender* m_Appender;
    int m_PreviousPriority;
};

}  // namespace KestrelTest
