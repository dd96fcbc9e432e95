#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

// Builds MPEG-2 transport streams (ISO/IEC 13818-1) for tests and benchmarks, byte by byte from the
// standard, without any of the framework's own classes: what it writes is an independent
// expectation for the parsers under test.
//
// A test describes a stream in a few lines:
//
//     KestrelTest::TsStreamBuilder b;
//     b.AddPatPmt(1, 0x1000, {{0x1B, 0x100}, {0x0F, 0x101}}, 0x100);     // program 1, AVC + AAC
//     b.AddPcr(0x100, 27000000);                                         // PCR of 1 s
//     b.AddPes(0x100, es, KestrelTest::PesOptions().Pts(900000).Dts(897000));
//     b.AddPes(0x101, audio, KestrelTest::PesOptions().Pts(900000).StreamId(0xC0).Unbounded());
//     const std::vector<uint8_t>& ts = b.Bytes();
//
// What it writes:
// - Every packet is 188 bytes with sync byte 0x47. Continuity counters are kept per PID and
//   advance only on packets with payload, as the standard asks; PacketOptions can force one.
// - A PES is split over as many packets as it needs; the first has the unit start indicator. A
//   payload shorter than 184 bytes is completed by adaptation-field stuffing (0xFF), so the PES
//   ends exactly at the end of its last packet. The PES header carries PTS and/or DTS (with the
//   '0010' / '0011' / '0001' prefixes and marker bits), optional header stuffing, and a
//   PES_packet_length that is the real length (bounded), 0 (unbounded) or any value a test wants
//   to lie with.
// - PSI sections (PAT, PMT) start after a pointer field 0, carry their CRC-32 and are padded
//   with 0xFF in the payload.
// - A PCR sits in the adaptation field of an adaptation-only packet (AddPcr) or of a PES's first
//   packet (PesOptions::Pcr).
//
// Packets can be taken one by one (PacketCount, Packet, PacketData) and changed in place to make
// bad input; Split, SplitMisaligned and SplitRandomly cut any byte stream into pieces for tests
// that feed the same stream in different segmentations.
//
// Errors in the description itself (a DTS without a PTS, a bounded PES longer than the 16-bit
// length field, a packet payload that does not fit) throw std::invalid_argument.
namespace KestrelTest {

// How AddPes frames one PES packet. Defaults: video stream id 0xE0, no time stamps, bounded.
struct PesOptions {
    // 33-bit time stamps in 90 kHz units.
    PesOptions& Pts(uint64_t value) {
        pts = value;
        return *this;
    }
    PesOptions& Dts(uint64_t value) {
        dts = value;
        return *this;
    }
    PesOptions& StreamId(uint8_t value) {
        streamId = value;
        return *this;
    }
    // PES_packet_length 0: the PES runs until the next unit start.
    PesOptions& Unbounded() {
        bounded = false;
        return *this;
    }
    // Writes this PES_packet_length whatever the data (for streams whose length field lies).
    PesOptions& PesLength(uint16_t value) {
        pesLength = value;
        return *this;
    }
    // 27 MHz PCR in the adaptation field of the first packet.
    PesOptions& Pcr(uint64_t value) {
        pcr = value;
        return *this;
    }
    PesOptions& RandomAccess() {
        randomAccess = true;
        return *this;
    }
    PesOptions& DataAlignment() {
        dataAlignment = true;
        return *this;
    }
    // Stuffing bytes (0xFF) at the end of the PES header, counted in PES_header_data_length.
    PesOptions& HeaderStuffing(std::size_t count) {
        headerStuffing = count;
        return *this;
    }
    // At most this many payload bytes in the first packet (splits the PES header when smaller
    // than the header).
    PesOptions& FirstPacketPayload(std::size_t count) {
        firstPacketPayload = count;
        return *this;
    }
    // At most this many payload bytes in every packet (1..184).
    PesOptions& MaxPayloadPerPacket(std::size_t count) {
        maxPayloadPerPacket = count;
        return *this;
    }

    std::optional<uint64_t> pts;
    std::optional<uint64_t> dts;
    uint8_t streamId = 0xE0;
    bool bounded = true;
    std::optional<uint16_t> pesLength;
    std::optional<uint64_t> pcr;
    bool randomAccess = false;
    bool dataAlignment = false;
    std::size_t headerStuffing = 0;
    std::size_t firstPacketPayload = 0;  // 0: no limit
    std::size_t maxPayloadPerPacket = 184;
};

// Header and adaptation field of one packet written by AddPacket.
struct PacketOptions {
    PacketOptions& UnitStart(bool value = true) {
        unitStart = value;
        return *this;
    }
    // 27 MHz PCR in the adaptation field.
    PacketOptions& Pcr(uint64_t value) {
        pcr = value;
        return *this;
    }
    PacketOptions& RandomAccess() {
        randomAccess = true;
        return *this;
    }
    PacketOptions& Discontinuity() {
        discontinuity = true;
        return *this;
    }
    PacketOptions& TransportError() {
        transportError = true;
        return *this;
    }
    PacketOptions& Priority() {
        priority = true;
        return *this;
    }
    PacketOptions& ScrambleControl(uint8_t value) {
        scrambleControl = value;
        return *this;
    }
    // Writes this counter instead of the PID's next one (the PID's sequence is not advanced).
    PacketOptions& ContinuityCounter(uint8_t value) {
        continuityCounter = value;
        return *this;
    }
    // Fills a short payload up to 184 bytes with 0xFF inside the payload (PSI style) instead of
    // adaptation-field stuffing.
    PacketOptions& PadPayload() {
        padPayload = true;
        return *this;
    }

    bool unitStart = false;
    std::optional<uint64_t> pcr;
    bool randomAccess = false;
    bool discontinuity = false;
    bool transportError = false;
    bool priority = false;
    uint8_t scrambleControl = 0;
    std::optional<uint8_t> continuityCounter;
    bool padPayload = false;
};

// One elementary stream of a PMT.
struct PmtStream {
    uint8_t streamType;
    uint16_t pid;
};

// Packets added by one call: indices first .. first + count - 1.
struct PacketRange {
    std::size_t first;
    std::size_t count;
};

class TsStreamBuilder {
public:
    static constexpr std::size_t PACKET_SIZE = 188;
    static constexpr std::size_t MAX_PAYLOAD = 184;
    static constexpr uint16_t NULL_PID = 0x1FFF;

    // --- Packets ---

    // One packet carrying `payload` (at most 184 bytes, less the adaptation field the options
    // need). An empty payload makes an adaptation-only packet.
    PacketRange AddPacket(uint16_t pid, const std::vector<uint8_t>& payload,
                          const PacketOptions& options = PacketOptions());
    // An adaptation-only packet carrying a PCR (27 MHz).
    PacketRange AddPcr(uint16_t pid, uint64_t pcr27MHz);
    // Null packets (PID 0x1FFF, payload of 0xFF).
    PacketRange AddNull(std::size_t count = 1);
    // Any 188 bytes as they are.
    PacketRange AddRaw(const std::vector<uint8_t>& packet);

    // --- PES ---

    // One PES packet carrying `es` on `pid`, in as many packets as needed.
    PacketRange AddPes(uint16_t pid, const std::vector<uint8_t>& es,
                       const PesOptions& options = PesOptions());
    // A unit-start packet whose 184-byte payload is FF 64 00 0E 4D 4D 00 00, the 32-bit
    // big-endian `pts`, then `fill` up to the end.
    PacketRange AddPrivateTimestamp(uint16_t pid, uint32_t pts, uint8_t fill = 0xFF);

    // --- PSI ---

    // A section (table_id to CRC) after a pointer field 0, padded with 0xFF.
    PacketRange AddSection(uint16_t pid, const std::vector<uint8_t>& section);
    PacketRange AddPat(uint16_t transportStreamId,
                       const std::vector<std::pair<uint16_t, uint16_t>>& programsAndPmtPids);
    PacketRange AddPmt(uint16_t pmtPid, uint16_t programNumber, uint16_t pcrPid,
                       const std::vector<PmtStream>& streams);
    // PAT (transport stream id 1) with one program, then its PMT.
    PacketRange AddPatPmt(uint16_t programNumber, uint16_t pmtPid,
                          const std::vector<PmtStream>& streams, uint16_t pcrPid);

    // --- Result ---

    const std::vector<uint8_t>& Bytes() const { return m_Bytes; }
    std::size_t PacketCount() const { return m_Bytes.size() / PACKET_SIZE; }
    std::vector<uint8_t> Packet(std::size_t index) const;
    std::vector<std::vector<uint8_t>> Packets() const;
    // The packet's bytes, changeable in place (valid until the next Add).
    uint8_t* PacketData(std::size_t index);
    // Forgets the packets (continuity counters keep running).
    void Clear() { m_Bytes.clear(); }
    // Reserves room for this many packets (for long streams).
    void Reserve(std::size_t packets) { m_Bytes.reserve(packets * PACKET_SIZE); }

    // The continuity counter the next payload packet of `pid` will carry.
    uint8_t NextContinuityCounter(uint16_t pid) const;
    // Skips `count` counter values of `pid`, as if that many packets had been lost.
    void SkipContinuityCounter(uint16_t pid, unsigned count = 1);

    // --- Byte forms, for tests that need them on their own ---

    // The PES header (start code to the end of the optional fields) for `esSize` data bytes.
    static std::vector<uint8_t> PesHeader(std::size_t esSize, const PesOptions& options);
    // The 5 bytes of a PTS or DTS with the 4-bit prefix ('0010' PTS only, '0011' PTS with DTS,
    // '0001' DTS).
    static std::vector<uint8_t> EncodeTimestamp(uint8_t prefix, uint64_t value90kHz);
    // The 6 bytes of a program clock reference.
    static std::vector<uint8_t> EncodePcr(uint64_t pcr27MHz);
    // CRC-32 of PSI sections: polynomial 0x04C11DB7, initial value 0xFFFFFFFF, no reflection,
    // no final inversion.
    static uint32_t Crc32(const uint8_t* data, std::size_t size);

    // --- Segmentation ---

    // Pieces of `pieceSize` bytes (the last one shorter).
    static std::vector<std::vector<uint8_t>> Split(const std::vector<uint8_t>& bytes,
                                                   std::size_t pieceSize);
    // A first piece of `firstSize` bytes, then pieces of `pieceSize`: packet boundaries fall
    // inside the pieces.
    static std::vector<std::vector<uint8_t>> SplitMisaligned(const std::vector<uint8_t>& bytes,
                                                             std::size_t firstSize,
                                                             std::size_t pieceSize);
    // Pieces of 1 to `maxPieceSize` bytes, the same for the same seed.
    static std::vector<std::vector<uint8_t>> SplitRandomly(const std::vector<uint8_t>& bytes,
                                                           uint32_t seed, std::size_t maxPieceSize);
    // Packet streams merged packet by packet in turn (a stream that runs out drops out), so the
    // PIDs of separately built streams alternate.
    static std::vector<uint8_t> Interleave(const std::vector<std::vector<uint8_t>>& streams);

private:
    uint8_t TakeContinuityCounter(uint16_t pid);
    // Writes one packet; `payload` must fit behind the adaptation field the options need.
    void WritePacket(uint16_t pid, const uint8_t* payload, std::size_t payloadSize,
                     const PacketOptions& options);

    std::vector<uint8_t> m_Bytes;
    std::map<uint16_t, uint8_t> m_ContinuityCounters;
};

}  // namespace KestrelTest
