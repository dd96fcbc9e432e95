#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "ccdump/ProgramFinder.h"
#include "hisi_av/application/cmf/anc/data/CcPacket.h"
#include "hisi_av/application/cmf/codec/Defragmenter.h"
#include "hisi_av/application/cmf/codec/VideoDataExtractor.h"
#include "hisi_av/application/cmf/ts/Demultiplexer.h"
#include "hisi_av/application/cmf/ts/TsToEsConverter.h"

namespace CcDump {

enum Codec_e {
    CODEC_NONE,
    CODEC_AVC,
    CODEC_HEVC,
    CODEC_MPEG2,
};

// "avc", "hevc", "mpeg2"; CODEC_NONE for anything else.
Codec_e CodecFromName(const std::string& name);
const char* CodecName(Codec_e codec);
// The video codec of a PMT stream_type (0x02, 0x1B, 0x24); CODEC_NONE for the others.
Codec_e CodecFromStreamType(uint8_t streamType);

struct Options_t {
    bool havePid = false;
    unsigned int pid = 0;
    Codec_e codec = CODEC_NONE;
    bool info = false;
    bool text = false;
    bool stats = false;
    std::string file;  // "-" is standard input
    // Start codes found one byte at a time instead of by runs (for measurements; same output).
    bool byteByByte = false;
};

// Reads the command line (argv[0] is the program). False with one line in `error` when it is
// not understood.
bool ParseCommandLine(int argc, const char* const* argv, Options_t& options, std::string& error);
extern const char* const USAGE;

struct Stats_t {
    uint64_t tsBytes = 0;
    uint64_t packets = 0;
    uint64_t accessUnits = 0;
    uint64_t ccPackets = 0;
};

// Runs the media framework on a transport stream given in pieces of any size: finds 188-byte
// packets (resynchronising on the sync byte when they are lost), learns the video PID and codec
// from the first program when the options do not give them, and then feeds the video packets
// through demultiplexer, PES converter, defragmenter and data extractor. Writes one line per
// caption packet to `out`, in the order the extractor publishes them:
//   <PTS as its 90 kHz base, or "-"> <caption bytes in lowercase hex>
// with "info <codec information>" lines (--info) and the caption text (--text) in between.
// Problems go to `err`, one line each.
//
// Packets that arrive before the program map is known are kept (up to MAX_PENDING_BYTES) and
// fed once it is.
//
// Threads: one thread feeds it; the extractor's bit-rate publication is not used.
class CcDumpRunner {
public:
    static constexpr std::size_t PACKET_SIZE = 188;
    static constexpr std::size_t MAX_PENDING_BYTES = 16u << 20;

    CcDumpRunner(const Options_t& options, std::ostream& out, std::ostream& err);
    ~CcDumpRunner();
    CcDumpRunner(const CcDumpRunner&) = delete;
    CcDumpRunner& operator=(const CcDumpRunner&) = delete;

    // False once the run cannot go on (the stream's codec is not handled, no video stream in
    // the first MAX_PENDING_BYTES); the reason is on `err`.
    bool PutBytes(const uint8_t* pBytes, std::size_t size);
    // End of the input: closes the last access unit (which the defragmenter would otherwise
    // hold until a next one began), so its captions are printed too. 0 when the video stream
    // was found, else 1 with the reason on `err`.
    int Finish();

    const Stats_t& GetStats() const { return m_Stats; }

private:
    void PutPacket(const uint8_t* pPacket);
    bool ChooseStream();
    bool BuildChain();
    template <typename Defragmenter_t, typename Extractor_t>
    void MakeChain();
    void FeedPacket(const uint8_t* pPacket);

    void OnCcPacket(const Cmf::CcPacket_t& packet);
    void OnInfo(const Cmf::VideoCodecInfo_t& info);
    void OnAu(const Cmf::VideoAccessUnit& au);

    Options_t m_Options;
    std::ostream& m_Out;
    std::ostream& m_Err;
    Stats_t m_Stats;
    bool m_Failed = false;

    // Packet assembly across pieces.
    std::vector<uint8_t> m_Carry;
    bool m_InSync = true;
    uint64_t m_SkippedBytes = 0;

    ProgramFinder m_ProgramFinder;
    std::vector<uint8_t> m_Pending;
    bool m_Chosen = false;
    unsigned int m_Pid = 0;
    Codec_e m_Codec = CODEC_NONE;

    std::unique_ptr<Cmf::Demultiplexer> m_pDemux;
    std::unique_ptr<Cmf::TsToEsConverter> m_pConverter;
    std::unique_ptr<Cmf::Defragmenter> m_pDefragmenter;
    std::unique_ptr<Cmf::VideoDataExtractor> m_pExtractor;
};

}  // namespace CcDump
