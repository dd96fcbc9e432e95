#include "LogCapture.h"

#include <log4cpp/AppenderSkeleton.hh>
#include <log4cpp/Category.hh>
#include <log4cpp/LoggingEvent.hh>
#include <log4cpp/Priority.hh>

namespace KestrelTest {

namespace {

class CaptureAppender : public log4cpp::AppenderSkeleton {
public:
    explicit CaptureAppender(LogCapture& sink)
        : log4cpp::AppenderSkeleton("kestrel-test-capture"), m_Sink(sink) {}
    void close() override {}
    bool requiresLayout() const override { return false; }
    void setLayout(log4cpp::Layout* layout) override { delete layout; }

protected:
    void _append(const log4cpp::LoggingEvent& event) override {
        m_Sink.Add(log4cpp::Priority::getPriorityName(event.priority) + " " + event.categoryName +
                   ": " + event.message);
    }

private:
    LogCapture& m_Sink;
};

}  // namespace

LogCapture::LogCapture() : m_Appender(new CaptureAppender(*this)) {
    log4cpp::Category& root = log4cpp::Category::getRoot();
    m_PreviousPriority = root.getPriority();
    root.setPriority(log4cpp::Priority::DEBUG);
    root.addAppender(m_Appender);  // the root category owns the appender from here on
}

LogCapture::~LogCapture() {
    log4cpp::Category& root = log4cpp::Category::getRoot();
    root.removeAppender(m_Appender);
    root.setPriority(m_PreviousPriority);
}

std::vector<std::string> LogCapture::Lines() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Lines;
}

std::vector<std::string> LogCapture::Take() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<std::string> lines;
    lines.swap(m_Lines);
    return lines;
}

bool LogCapture::Contains(const std::string& text) const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    for (const std::string& line : m_Lines) {
        if (line.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

void LogCapture::Add(std::string line) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Lines.push_back(std::move(line));
}

}  // namespace KestrelTest
