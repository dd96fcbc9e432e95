#include "ccdump/ProgramFinder.h"

#include <cstdio>

namespace CcDump {

namespace {

constexpr std::size_t PACKET_SIZE = 188;
constexpr uint8_t TABLE_ID_PAT = 0x00;
constexpr uint8_t TABLE_ID_PMT = 0x02;
constexpr uint8_t TABLE_ID_STUFFING = 0xFF;
// table_id to last_section_number, before the table's own fields.
constexpr std::size_t LONG_HEADER_SIZE = 8;
constexpr std::size_t CRC_SIZE = 4;

std::string Format(const char* format, unsigned int pid) {
    char line[160];
    std::snprintf(line, sizeof(line), format, pid);
    return line;
}

}  // namespace

uint32_t PsiCrc32(const uint8_t* pData, std::size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= uint32_t(pData[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000) ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
        }
    }
    return crc;
}

void ProgramFinder::PutPacket(const uint8_t* pPacket) {
    if (m_Complete || pPacket[0] != 0x47 || (pPacket[1] & 0x80) != 0) {
        return;  // done, not a packet, or marked as corrupt by the demodulator
    }
    const uint16_t pid = static_cast<uint16_t>(((pPacket[1] & 0x1F) << 8) | pPacket[2]);
    Collector_t* pCollector = nullptr;
    if (pid == 0) {
        pCollector = &m_Pat;
    } else if (m_HavePmtPid && pid == m_PmtPid) {
        pCollector = &m_Pmt;
    } else {
        return;
    }
    const unsigned int control = (pPacket[3] >> 4) & 0x3;
    if ((control & 0x1) == 0) {
        return;  // no payload
    }
    std::size_t offset = 4;
    if (control == 0x3) {
        offset += 1 + std::size_t(pPacket[4]);
    }
    if (offset >= PACKET_SIZE) {
        return;
    }
    const bool unitStart = (pPacket[1] & 0x40) != 0;
    PutPayload(pid, *pCollector, pPacket + offset, PACKET_SIZE - offset, unitStart);
}

std::vector<std::string> ProgramFinder::TakeMessages() {
    std::vector<std::string> messages;
    messages.swap(m_Messages);
    return messages;
}

void ProgramFinder::PutPayload(uint16_t pid, Collector_t& collector, const uint8_t* pPayload,
                               std::size_t size, bool unitStart) {
    if (!unitStart) {
        if (collector.collecting) {
            Collect(pid, collector, pPayload, size);
        }
        return;
    }
    // The pointer field says where the first new section starts; the bytes before it end the
    // section under collection.
    const std::size_t pointer = pPayload[0];
    if (1 + pointer > size) {
        m_Messages.push_back(Format("PSI on PID %u: pointer field beyond the packet", pid));
        collector = Collector_t();
        return;
    }
    if (collector.collecting) {
        Collect(pid, collector, pPayload + 1, pointer);
        if (collector.collecting && !collector.bytes.empty()) {
            m_Messages.push_back(Format("PSI on PID %u: section cut short, dropped", pid));
        }
    }
    collector.bytes.clear();
    collector.collecting = true;
    Collect(pid, collector, pPayload + 1 + pointer, size - 1 - pointer);
}

void ProgramFinder::Collect(uint16_t pid, Collector_t& collector, const uint8_t* pBytes,
                            std::size_t size) {
    collector.bytes.insert(collector.bytes.end(), pBytes, pBytes + size);
    std::vector<uint8_t>& bytes = collector.bytes;
    while (collector.collecting && !bytes.empty()) {
        if (bytes[0] == TABLE_ID_STUFFING) {
            collector = Collector_t();  // the rest of the packet is stuffing
            return;
        }
        if (bytes.size() < 3) {
            return;
        }
        const std::size_t total = 3 + (((bytes[1] & 0x0F) << 8) | bytes[2]);
        if (total > MAX_SECTION_SIZE) {
            m_Messages.push_back(Format("PSI on PID %u: section longer than 1024 bytes", pid));
            collector = Collector_t();
            return;
        }
        if (bytes.size() < total) {
            return;
        }
        const std::vector<uint8_t> section(bytes.begin(), bytes.begin() + total);
        bytes.erase(bytes.begin(), bytes.begin() + total);
        ParseSection(pid, section);
        if (m_Complete) {
            return;
        }
    }
}

void ProgramFinder::ParseSection(uint16_t pid, const std::vector<uint8_t>& section) {
    if (section.size() < LONG_HEADER_SIZE + CRC_SIZE || (section[1] & 0x80) == 0) {
        return;  // not a long-form table section
    }
    if (PsiCrc32(section.data(), section.size()) != 0) {
        m_Messages.push_back(Format("PSI on PID %u: CRC mismatch, section dropped", pid));
        return;
    }
    if ((section[5] & 0x01) == 0) {
        return;  // current_next_indicator: not yet valid
    }
    if (pid == 0 && section[0] == TABLE_ID_PAT) {
        ParsePat(section);
    } else if (m_HavePmtPid && pid == m_PmtPid && section[0] == TABLE_ID_PMT) {
        ParsePmt(section);
    }
}

void ProgramFinder::ParsePat(const std::vector<uint8_t>& section) {
    if (m_HavePmtPid) {
        return;
    }
    const std::size_t end = section.size() - CRC_SIZE;
    for (std::size_t pos = LONG_HEADER_SIZE; pos + 4 <= end; pos += 4) {
        const unsigned int programNumber = (section[pos] << 8) | section[pos + 1];
        if (programNumber == 0) {
            continue;  // the network information PID
        }
        m_PmtPid = static_cast<uint16_t>(((section[pos + 2] & 0x1F) << 8) | section[pos + 3]);
        m_HavePmtPid = true;
        return;
    }
}

void ProgramFinder::ParsePmt(const std::vector<uint8_t>& section) {
    const std::size_t end = section.size() - CRC_SIZE;
    // PCR_PID (2 bytes), then program_info_length and the program descriptors.
    const std::size_t infoAt = LONG_HEADER_SIZE + 2;
    if (infoAt + 2 > end) {
        return;
    }
    std::size_t pos = infoAt + 2 + (((section[infoAt] & 0x0F) << 8) | section[infoAt + 1]);
    while (pos + 5 <= end) {
        Stream_t stream;
        stream.streamType = section[pos];
        stream.pid = static_cast<uint16_t>(((section[pos + 1] & 0x1F) << 8) | section[pos + 2]);
        m_Streams.push_back(stream);
        pos += 5 + (((section[pos + 3] & 0x0F) << 8) | section[pos + 4]);
    }
    m_Complete = true;
}

}  // namespace CcDump
