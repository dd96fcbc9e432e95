#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace CcDump {

// Finds the elementary streams of the first program of a transport stream: reads the program
// association table (PID 0), takes the first program's map PID, and reads that program map table
// (ISO/IEC 13818-1, 2.4.4.3 and 2.4.4.8). Sections may span packets; a section whose CRC does not
// match, or that is cut short by the next unit start, is dropped with a message and the next
// copy of the table is awaited.
//
// Threads: none; one thread feeds it.
class ProgramFinder {
public:
    struct Stream_t {
        uint8_t streamType;
        uint16_t pid;
    };

    static constexpr std::size_t MAX_SECTION_SIZE = 1024;

    // Takes one 188-byte packet.
    void PutPacket(const uint8_t* pPacket);

    // True once the program map has been read.
    bool IsComplete() const { return m_Complete; }
    const std::vector<Stream_t>& GetStreams() const { return m_Streams; }
    uint16_t GetPmtPid() const { return m_PmtPid; }

    // Problems met so far, one line each (bad CRC, a section cut short); taken by the caller.
    std::vector<std::string> TakeMessages();

private:
    struct Collector_t {
        std::vector<uint8_t> bytes;
        bool collecting = false;
    };

    void PutPayload(uint16_t pid, Collector_t& collector, const uint8_t* pPayload, std::size_t size,
                    bool unitStart);
    // Appends to a section under collection; parses it once complete.
    void Collect(uint16_t pid, Collector_t& collector, const uint8_t* pBytes, std::size_t size);
    void ParseSection(uint16_t pid, const std::vector<uint8_t>& section);
    void ParsePat(const std::vector<uint8_t>& section);
    void ParsePmt(const std::vector<uint8_t>& section);

    Collector_t m_Pat;
    Collector_t m_Pmt;
    bool m_HavePmtPid = false;
    uint16_t m_PmtPid = 0;
    bool m_Complete = false;
    std::vector<Stream_t> m_Streams;
    std::vector<std::string> m_Messages;
};

// CRC-32 of PSI sections (polynomial 0x04C11DB7, initial value all ones, no reflection).
uint32_t PsiCrc32(const uint8_t* pData, std::size_t size);

}  // namespace CcDump
