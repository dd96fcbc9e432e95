#include "TsStreamBuilder.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

namespace KestrelTest {
namespace {

constexpr uint8_t SYNC_BYTE = 0x47;
constexpr std::size_t HEADER_SIZE = 4;
constexpr std::size_t PCR_SIZE = 6;
constexpr uint64_t PTS_MASK = (uint64_t(1) << 33) - 1;

// Adaptation field control values.
constexpr uint8_t PAYLOAD_ONLY = 1;
constexpr uint8_t ADAPTATION_ONLY = 2;
constexpr uint8_t ADAPTATION_AND_PAYLOAD = 3;

bool HasAdaptationFlags(const PacketOptions& options) {
    return options.pcr.has_value() || options.randomAccess || options.discontinuity;
}

// Length byte and flags byte, plus the PCR when there is one.
std::size_t AdaptationSizeForFlags(const PacketOptions& options) {
    return HasAdaptationFlags(options) ? 2 + (options.pcr ? PCR_SIZE : 0) : 0;
}

void AppendSectionCrc(std::vector<uint8_t>& section) {
    const uint32_t crc = TsStreamBuilder::Crc32(section.data(), section.size());
    section.push_back(static_cast<uint8_t>(crc >> 24));
    section.push_back(static_cast<uint8_t>(crc >> 16));
    section.push_back(static_cast<uint8_t>(crc >> 8));
    section.push_back(static_cast<uint8_t>(crc));
}

// table_id, section_syntax_indicator 1, '0', reserved '11', 12-bit section_length (counted from
// the byte after it to the end of the CRC).
void AppendSectionHeader(std::vector<uint8_t>& section, uint8_t tableId, std::size_t bodySize) {
    const std::size_t sectionLength = bodySize + 4;
    if (sectionLength > 1021) {
        throw std::invalid_argument("section too long");
    }
    section.push_back(tableId);
    section.push_back(static_cast<uint8_t>(0xB0 | (sectionLength >> 8)));
    section.push_back(static_cast<uint8_t>(sectionLength));
}

void AppendPid(std::vector<uint8_t>& bytes, uint16_t pid) {
    // Three reserved bits, then the 13-bit PID.
    bytes.push_back(static_cast<uint8_t>(0xE0 | ((pid >> 8) & 0x1F)));
    bytes.push_back(static_cast<uint8_t>(pid));
}

}  // namespace

uint8_t TsStreamBuilder::NextContinuityCounter(uint16_t pid) const {
    const auto it = m_ContinuityCounters.find(pid);
    return it == m_ContinuityCounters.end() ? 0 : it->second;
}

void TsStreamBuilder::SkipContinuityCounter(uint16_t pid, unsigned count) {
    m_ContinuityCounters[pid] = static_cast<uint8_t>((NextContinuityCounter(pid) + count) & 0x0F);
}

uint8_t TsStreamBuilder::TakeContinuityCounter(uint16_t pid) {
    const uint8_t counter = NextContinuityCounter(pid);
    m_ContinuityCounters[pid] = static_cast<uint8_t>((counter + 1) & 0x0F);
    return counter;
}

void TsStreamBuilder::WritePacket(uint16_t pid, const uint8_t* payload, std::size_t payloadSize,
                                  const PacketOptions& options) {
    if (pid > NULL_PID) {
        throw std::invalid_argument("PID above 0x1FFF");
    }
    const std::size_t flagsSize = AdaptationSizeForFlags(options);
    if (payloadSize > MAX_PAYLOAD - flagsSize) {
        throw std::invalid_argument(
            "payload does not fit the packet: " + std::to_string(payloadSize) + " bytes");
    }
    // Padding inside the payload needs no adaptation field; stuffing fills one up.
    std::size_t adaptationSize;
    if (options.padPayload && payloadSize != 0) {
        adaptationSize = flagsSize;
    } else {
        adaptationSize = MAX_PAYLOAD - payloadSize;
    }

    uint8_t control = PAYLOAD_ONLY;
    if (adaptationSize != 0) {
        control = payloadSize != 0 ? ADAPTATION_AND_PAYLOAD : ADAPTATION_ONLY;
    }
    uint8_t counter;
    if (options.continuityCounter) {
        counter = *options.continuityCounter & 0x0F;
    } else if (control == ADAPTATION_ONLY) {
        // Packets without payload repeat the previous counter.
        counter = static_cast<uint8_t>((NextContinuityCounter(pid) + 15) & 0x0F);
    } else {
        counter = TakeContinuityCounter(pid);
    }

    const std::size_t start = m_Bytes.size();
    m_Bytes.resize(start + PACKET_SIZE, 0xFF);
    uint8_t* p = m_Bytes.data() + start;
    p[0] = SYNC_BYTE;
    p[1] =
        static_cast<uint8_t>((options.transportError ? 0x80 : 0) | (options.unitStart ? 0x40 : 0) |
                             (options.priority ? 0x20 : 0) | ((pid >> 8) & 0x1F));
    p[2] = static_cast<uint8_t>(pid);
    p[3] = static_cast<uint8_t>(((options.scrambleControl & 3) << 6) | (control << 4) | counter);

    uint8_t* q = p + HEADER_SIZE;
    if (adaptationSize != 0) {
        const std::size_t fieldLength = adaptationSize - 1;
        q[0] = static_cast<uint8_t>(fieldLength);
        if (fieldLength != 0) {
            q[1] =
                static_cast<uint8_t>((options.discontinuity ? 0x80 : 0) |
                                     (options.randomAccess ? 0x40 : 0) | (options.pcr ? 0x10 : 0));
            if (options.pcr) {
                const std::vector<uint8_t> pcr = EncodePcr(*options.pcr);
                std::copy(pcr.begin(), pcr.end(), q + 2);
            }
            // The rest of the field is stuffing, already 0xFF.
        }
        q += adaptationSize;
    }
    // Payload padding, if any, is already 0xFF.
    std::copy(payload, payload + payloadSize, q);
}

PacketRange TsStreamBuilder::AddPacket(uint16_t pid, const std::vector<uint8_t>& payload,
                                       const PacketOptions& options) {
    const std::size_t first = PacketCount();
    WritePacket(pid, payload.data(), payload.size(), options);
    return {first, 1};
}

PacketRange TsStreamBuilder::AddPcr(uint16_t pid, uint64_t pcr27MHz) {
    return AddPacket(pid, {}, PacketOptions().Pcr(pcr27MHz));
}

PacketRange TsStreamBuilder::AddNull(std::size_t count) {
    const std::size_t first = PacketCount();
    const std::vector<uint8_t> payload(MAX_PAYLOAD, 0xFF);
    for (std::size_t i = 0; i < count; ++i) {
        WritePacket(NULL_PID, payload.data(), payload.size(), PacketOptions().ContinuityCounter(0));
    }
    return {first, count};
}

PacketRange TsStreamBuilder::AddRaw(const std::vector<uint8_t>& packet) {
    if (packet.size() != PACKET_SIZE) {
        throw std::invalid_argument("a raw packet is 188 bytes");
    }
    const std::size_t first = PacketCount();
    m_Bytes.insert(m_Bytes.end(), packet.begin(), packet.end());
    return {first, 1};
}

std::vector<uint8_t> TsStreamBuilder::EncodeTimestamp(uint8_t prefix, uint64_t value90kHz) {
    const uint64_t v = value90kHz & PTS_MASK;
    return {
        static_cast<uint8_t>((prefix << 4) | (((v >> 30) & 0x07) << 1) | 1),
        static_cast<uint8_t>(v >> 22),
        static_cast<uint8_t>((((v >> 15) & 0x7F) << 1) | 1),
        static_cast<uint8_t>(v >> 7),
        static_cast<uint8_t>(((v & 0x7F) << 1) | 1),
    };
}

std::vector<uint8_t> TsStreamBuilder::EncodePcr(uint64_t pcr27MHz) {
    const uint64_t base = (pcr27MHz / 300) & PTS_MASK;
    const uint64_t extension = pcr27MHz % 300;
    return {
        static_cast<uint8_t>(base >> 25),
        static_cast<uint8_t>(base >> 17),
        static_cast<uint8_t>(base >> 9),
        static_cast<uint8_t>(base >> 1),
        // Last base bit, six reserved ones, top extension bit.
        static_cast<uint8_t>(((base & 1) << 7) | 0x7E | ((extension >> 8) & 1)),
        static_cast<uint8_t>(extension),
    };
}

std::vector<uint8_t> TsStreamBuilder::PesHeader(std::size_t esSize, const PesOptions& options) {
    if (options.dts && !options.pts) {
        throw std::invalid_argument("a DTS needs a PTS");
    }
    const std::size_t timestampSize = (options.pts ? 5 : 0) + (options.dts ? 5 : 0);
    const std::size_t headerDataLength = timestampSize + options.headerStuffing;
    if (headerDataLength > 255) {
        throw std::invalid_argument("PES header data longer than 255 bytes");
    }
    std::size_t pesLength = 0;
    if (options.pesLength) {
        pesLength = *options.pesLength;
    } else if (options.bounded) {
        // Everything after the length field: two flag bytes, the header length byte, the
        // optional fields and the data.
        pesLength = 3 + headerDataLength + esSize;
        if (pesLength > 0xFFFF) {
            throw std::invalid_argument("bounded PES longer than 65535 bytes");
        }
    }

    std::vector<uint8_t> header = {0x00,
                                   0x00,
                                   0x01,
                                   options.streamId,
                                   static_cast<uint8_t>(pesLength >> 8),
                                   static_cast<uint8_t>(pesLength)};
    // '10', scrambling 00, priority 0, data_alignment_indicator, copyright 0, original 0.
    header.push_back(static_cast<uint8_t>(0x80 | (options.dataAlignment ? 0x04 : 0)));
    // PTS_DTS_flags, the other flags 0.
    header.push_back(static_cast<uint8_t>(options.pts ? (options.dts ? 0xC0 : 0x80) : 0x00));
    header.push_back(static_cast<uint8_t>(headerDataLength));
    if (options.pts) {
        const std::vector<uint8_t> pts = EncodeTimestamp(options.dts ? 0x3 : 0x2, *options.pts);
        header.insert(header.end(), pts.begin(), pts.end());
    }
    if (options.dts) {
        const std::vector<uint8_t> dts = EncodeTimestamp(0x1, *options.dts);
        header.insert(header.end(), dts.begin(), dts.end());
    }
    header.insert(header.end(), options.headerStuffing, 0xFF);
    return header;
}

PacketRange TsStreamBuilder::AddPes(uint16_t pid, const std::vector<uint8_t>& es,
                                    const PesOptions& options) {
    if (options.maxPayloadPerPacket == 0 || options.maxPayloadPerPacket > MAX_PAYLOAD) {
        throw std::invalid_argument("MaxPayloadPerPacket must be 1..184");
    }
    std::vector<uint8_t> bytes = PesHeader(es.size(), options);
    bytes.insert(bytes.end(), es.begin(), es.end());

    const std::size_t first = PacketCount();
    std::size_t position = 0;
    bool isFirst = true;
    while (position < bytes.size()) {
        PacketOptions packetOptions;
        std::size_t room = std::min(MAX_PAYLOAD, options.maxPayloadPerPacket);
        if (isFirst) {
            packetOptions.UnitStart();
            if (options.pcr) {
                packetOptions.Pcr(*options.pcr);
            }
            if (options.randomAccess) {
                packetOptions.RandomAccess();
            }
            room = std::min(room, MAX_PAYLOAD - AdaptationSizeForFlags(packetOptions));
            if (options.firstPacketPayload != 0) {
                room = std::min(room, options.firstPacketPayload);
            }
        }
        const std::size_t count = std::min(room, bytes.size() - position);
        WritePacket(pid, bytes.data() + position, count, packetOptions);
        position += count;
        isFirst = false;
    }
    return {first, PacketCount() - first};
}

PacketRange TsStreamBuilder::AddPrivateTimestamp(uint16_t pid, uint32_t pts, uint8_t fill) {
    std::vector<uint8_t> payload = {0xFF,
                                    0x64,
                                    0x00,
                                    0x0E,
                                    0x4D,
                                    0x4D,
                                    0x00,
                                    0x00,
                                    static_cast<uint8_t>(pts >> 24),
                                    static_cast<uint8_t>(pts >> 16),
                                    static_cast<uint8_t>(pts >> 8),
                                    static_cast<uint8_t>(pts)};
    payload.resize(MAX_PAYLOAD, fill);
    return AddPacket(pid, payload, PacketOptions().UnitStart());
}

PacketRange TsStreamBuilder::AddSection(uint16_t pid, const std::vector<uint8_t>& section) {
    std::vector<uint8_t> bytes = {0x00};  // pointer_field
    bytes.insert(bytes.end(), section.begin(), section.end());
    const std::size_t first = PacketCount();
    for (std::size_t position = 0; position < bytes.size(); position += MAX_PAYLOAD) {
        const std::size_t count = std::min(MAX_PAYLOAD, bytes.size() - position);
        WritePacket(pid, bytes.data() + position, count,
                    PacketOptions().UnitStart(position == 0).PadPayload());
    }
    return {first, PacketCount() - first};
}

PacketRange TsStreamBuilder::AddPat(
    uint16_t transportStreamId,
    const std::vector<std::pair<uint16_t, uint16_t>>& programsAndPmtPids) {
    std::vector<uint8_t> section;
    AppendSectionHeader(section, 0x00, 5 + 4 * programsAndPmtPids.size());
    section.push_back(static_cast<uint8_t>(transportStreamId >> 8));
    section.push_back(static_cast<uint8_t>(transportStreamId));
    section.push_back(0xC1);  // reserved '11', version 0, current_next_indicator 1
    section.push_back(0x00);  // section_number
    section.push_back(0x00);  // last_section_number
    for (const auto& [programNumber, pmtPid] : programsAndPmtPids) {
        section.push_back(static_cast<uint8_t>(programNumber >> 8));
        section.push_back(static_cast<uint8_t>(programNumber));
        AppendPid(section, pmtPid);
    }
    AppendSectionCrc(section);
    return AddSection(0x0000, section);
}

PacketRange TsStreamBuilder::AddPmt(uint16_t pmtPid, uint16_t programNumber, uint16_t pcrPid,
                                    const std::vector<PmtStream>& streams) {
    std::vector<uint8_t> section;
    AppendSectionHeader(section, 0x02, 9 + 5 * streams.size());
    section.push_back(static_cast<uint8_t>(programNumber >> 8));
    section.push_back(static_cast<uint8_t>(programNumber));
    section.push_back(0xC1);
    section.push_back(0x00);
    section.push_back(0x00);
    AppendPid(section, pcrPid);
    section.push_back(0xF0);  // reserved '1111', program_info_length 0
    section.push_back(0x00);
    for (const PmtStream& stream : streams) {
        section.push_back(stream.streamType);
        AppendPid(section, stream.pid);
        section.push_back(0xF0);  // reserved '1111', ES_info_length 0
        section.push_back(0x00);
    }
    AppendSectionCrc(section);
    return AddSection(pmtPid, section);
}

PacketRange TsStreamBuilder::AddPatPmt(uint16_t programNumber, uint16_t pmtPid,
                                       const std::vector<PmtStream>& streams, uint16_t pcrPid) {
    const PacketRange pat = AddPat(1, {{programNumber, pmtPid}});
    const PacketRange pmt = AddPmt(pmtPid, programNumber, pcrPid, streams);
    return {pat.first, pat.count + pmt.count};
}

std::vector<uint8_t> TsStreamBuilder::Packet(std::size_t index) const {
    if (index >= PacketCount()) {
        throw std::out_of_range("no packet " + std::to_string(index));
    }
    const auto begin = m_Bytes.begin() + static_cast<std::ptrdiff_t>(index * PACKET_SIZE);
    return std::vector<uint8_t>(begin, begin + PACKET_SIZE);
}

std::vector<std::vector<uint8_t>> TsStreamBuilder::Packets() const {
    return Split(m_Bytes, PACKET_SIZE);
}

uint8_t* TsStreamBuilder::PacketData(std::size_t index) {
    if (index >= PacketCount()) {
        throw std::out_of_range("no packet " + std::to_string(index));
    }
    return m_Bytes.data() + index * PACKET_SIZE;
}

uint32_t TsStreamBuilder::Crc32(const uint8_t* data, std::size_t size) {
    uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= uint32_t(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 0x80000000) ? (crc << 1) ^ 0x04C11DB7 : crc << 1;
        }
    }
    return crc;
}

std::vector<std::vector<uint8_t>> TsStreamBuilder::Split(const std::vector<uint8_t>& bytes,
                                                         std::size_t pieceSize) {
    return SplitMisaligned(bytes, pieceSize, pieceSize);
}

std::vector<std::vector<uint8_t>> TsStreamBuilder::SplitMisaligned(
    const std::vector<uint8_t>& bytes, std::size_t firstSize, std::size_t pieceSize) {
    if (pieceSize == 0) {
        throw std::invalid_argument("pieces of 0 bytes");
    }
    std::vector<std::vector<uint8_t>> pieces;
    std::size_t position = 0;
    std::size_t size = firstSize;
    while (position < bytes.size()) {
        const std::size_t count = std::min(size, bytes.size() - position);
        pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(position),
                            bytes.begin() + static_cast<std::ptrdiff_t>(position + count));
        position += count;
        size = pieceSize;
    }
    return pieces;
}

std::vector<std::vector<uint8_t>> TsStreamBuilder::SplitRandomly(const std::vector<uint8_t>& bytes,
                                                                 uint32_t seed,
                                                                 std::size_t maxPieceSize) {
    if (maxPieceSize == 0) {
        throw std::invalid_argument("pieces of 0 bytes");
    }
    std::mt19937 random(seed);
    std::vector<std::vector<uint8_t>> pieces;
    std::size_t position = 0;
    while (position < bytes.size()) {
        const std::size_t count =
            std::min<std::size_t>(1 + random() % maxPieceSize, bytes.size() - position);
        pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(position),
                            bytes.begin() + static_cast<std::ptrdiff_t>(position + count));
        position += count;
    }
    return pieces;
}

std::vector<uint8_t> TsStreamBuilder::Interleave(const std::vector<std::vector<uint8_t>>& streams) {
    std::vector<uint8_t> merged;
    std::size_t total = 0;
    for (const std::vector<uint8_t>& stream : streams) {
        if (stream.size() % PACKET_SIZE != 0) {
            throw std::invalid_argument("a packet stream is a multiple of 188 bytes");
        }
        total += stream.size();
    }
    merged.reserve(total);
    for (std::size_t offset = 0; merged.size() < total; offset += PACKET_SIZE) {
        for (const std::vector<uint8_t>& stream : streams) {
            if (offset < stream.size()) {
                merged.insert(merged.end(), stream.begin() + static_cast<std::ptrdiff_t>(offset),
                              stream.begin() + static_cast<std::ptrdiff_t>(offset + PACKET_SIZE));
            }
        }
    }
    return merged;
}

}  // namespace KestrelTest
