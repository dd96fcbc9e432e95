#include "ConsoleCapture.h"

namespace KestrelTest {

ConsoleCapture::ConsoleCapture() {
    m_Previous = XP::SetConsoleSink([this](const std::string& line) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Lines.push_back(line);
    });
}

ConsoleCapture::~ConsoleCapture() {
    XP::SetConsoleSink(std::move(m_Previous));
}

std::vector<std::string> ConsoleCapture::Lines() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Lines;
}

std::vector<std::string> ConsoleCapture::Take() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    std::vector<std::string> lines;
    lines.swap(m_Lines);
    return lines;
}

}  // namespace KestrelTest
