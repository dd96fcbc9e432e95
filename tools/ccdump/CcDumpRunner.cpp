#include "ccdump/CcDumpRunner.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <sstream>

#include "hisi_av/application/cmf/codec/AvcDataExtractor.h"
#include "hisi_av/application/cmf/codec/AvcDefragmenter.h"
#include "hisi_av/application/cmf/codec/HevcDataExtractor.h"
#include "hisi_av/application/cmf/codec/HevcDefragmenter.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDataExtractor.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoDefragmenter.h"
#include "hisi_av/application/cmf/ts/Fragment.h"
#include "hisi_av/application/cmf/ts/TsPacket.h"
#include "xptools/Functor.h"

namespace CcDump {

const char* const USAGE =
    "usage: kestrel-ccdump [--pid PID] [--codec avc|hevc|mpeg2] [--info] [--text] [--stats] "
    "FILE\n"
    "  Prints one line per caption packet of the video stream: its PTS (90 kHz) and the\n"
    "  caption bytes in hex from the cc_data header on. FILE '-' reads standard input.\n"
    "  --pid PID      the video PID (decimal or 0x hex); default: from the first program\n"
    "  --codec NAME   the video codec; default: from the program map\n"
    "  --info         also print 'info <codec information>' each time it changes\n"
    "  --text         also print the digital caption text after each packet\n"
    "  --stats        print byte, packet, access unit and caption counts and the speed to\n"
    "                 standard error at the end\n";

namespace {

constexpr const char* PROGRAM = "kestrel-ccdump";

// An access unit delimiter in each codec's byte stream: fed at the end of the input, it closes
// the last access unit, which the defragmenter would otherwise hold until a next one started.
// What the stream would carry next were it to go on, so that the defragmenter closes its last
// access unit: an access unit delimiter (AVC, HEVC), a sequence end code (MPEG-2).
const uint8_t AVC_END_OF_INPUT[] = {0x00, 0x00, 0x00, 0x01, 0x09, 0xF0};
const uint8_t HEVC_END_OF_INPUT[] = {0x00, 0x00, 0x00, 0x01, 0x46, 0x01, 0x50};
const uint8_t MPEG2_END_OF_INPUT[] = {0x00, 0x00, 0x01, 0xB7};

}  // namespace

Codec_e CodecFromName(const std::string& name) {
    if (name == "avc") {
        return CODEC_AVC;
    }
    if (name == "hevc") {
        return CODEC_HEVC;
    }
    if (name == "mpeg2") {
        return CODEC_MPEG2;
    }
    return CODEC_NONE;
}

const char* CodecName(Codec_e codec) {
    switch (codec) {
        case CODEC_AVC:
            return "avc";
        case CODEC_HEVC:
            return "hevc";
        case CODEC_MPEG2:
            return "mpeg2";
        default:
            return "none";
    }
}

Codec_e CodecFromStreamType(uint8_t streamType) {
    switch (streamType) {
        case 0x02:
            return CODEC_MPEG2;
        case 0x1B:
            return CODEC_AVC;
        case 0x24:
            return CODEC_HEVC;
        default:
            return CODEC_NONE;
    }
}

bool ParseCommandLine(int argc, const char* const* argv, Options_t& options, std::string& error) {
    options = Options_t();
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--info") {
            options.info = true;
        } else if (arg == "--text") {
            options.text = true;
        } else if (arg == "--stats") {
            options.stats = true;
        } else if (arg == "--pid" || arg == "--codec") {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--codec") {
                options.codec = CodecFromName(value);
                if (options.codec == CODEC_NONE) {
                    error = "unknown codec '" + value + "' (avc, hevc or mpeg2)";
                    return false;
                }
                continue;
            }
            char* pEnd = nullptr;
            const unsigned long pid = std::strtoul(value.c_str(), &pEnd, 0);
            if (value.empty() || value[0] == '-' || *pEnd != '\0' || pid > 0x1FFE) {
                error = "bad PID '" + value + "' (0 to 8190, decimal or 0x hex)";
                return false;
            }
            options.havePid = true;
            options.pid = static_cast<unsigned int>(pid);
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return false;
        } else if (haveFile) {
            error = "more than one input file";
            return false;
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    if (!haveFile) {
        error = "no input file";
        return false;
    }
    return true;
}

CcDumpRunner::CcDumpRunner(const Options_t& options, std::ostream& out, std::ostream& err)
    : m_Options(options), m_Out(out), m_Err(err) {
    m_Carry.reserve(PACKET_SIZE);
}

CcDumpRunner::~CcDumpRunner() = default;

bool CcDumpRunner::PutBytes(const uint8_t* pBytes, std::size_t size) {
    if (m_Failed) {
        return false;
    }
    m_Stats.tsBytes += size;
    std::size_t pos = 0;
    if (!m_Carry.empty()) {
        // The carried bytes start with a sync byte: complete that packet first.
        const std::size_t take = std::min(PACKET_SIZE - m_Carry.size(), size);
        m_Carry.insert(m_Carry.end(), pBytes, pBytes + take);
        pos = take;
        if (m_Carry.size() < PACKET_SIZE) {
            return true;
        }
        PutPacket(m_Carry.data());
        m_Carry.clear();
    }
    while (pos < size && !m_Failed) {
        if (pBytes[pos] != 0x47) {
            if (m_InSync) {
                m_Err << PROGRAM << ": lost packet sync at byte " << (m_Stats.tsBytes - size + pos)
                      << "; looking for the next sync byte\n";
                m_InSync = false;
            }
            ++m_SkippedBytes;
            ++pos;
            continue;
        }
        if (!m_InSync) {
            m_Err << PROGRAM << ": packet sync found again after " << m_SkippedBytes << " bytes\n";
            m_InSync = true;
            m_SkippedBytes = 0;
        }
        if (size - pos < PACKET_SIZE) {
            m_Carry.assign(pBytes + pos, pBytes + size);
            break;
        }
        PutPacket(pBytes + pos);
        pos += PACKET_SIZE;
    }
    return !m_Failed;
}

int CcDumpRunner::Finish() {
    if (m_Failed) {
        return 1;
    }
    if (!m_Carry.empty()) {
        m_Err << PROGRAM << ": the last " << m_Carry.size() << " bytes do not make a packet\n";
        m_Carry.clear();
    }
    if (!m_Chosen) {
        if (!m_ProgramFinder.IsComplete()) {
            m_Err << PROGRAM
                  << ": no video stream found: the stream has no readable program "
                     "association and program map tables (give --pid and --codec)\n";
        } else {
            m_Err << PROGRAM << ": no video stream found in the first program\n";
        }
        return 1;
    }
    if (m_pDefragmenter) {
        const XP::CBuffer end =
            m_Codec == CODEC_AVC
                ? XP::CBuffer(const_cast<uint8_t*>(AVC_END_OF_INPUT), sizeof(AVC_END_OF_INPUT))
            : m_Codec == CODEC_HEVC
                ? XP::CBuffer(const_cast<uint8_t*>(HEVC_END_OF_INPUT), sizeof(HEVC_END_OF_INPUT))
                : XP::CBuffer(const_cast<uint8_t*>(MPEG2_END_OF_INPUT), sizeof(MPEG2_END_OF_INPUT));
        m_pDefragmenter->PutFragment(Cmf::Fragment(end, Cmf::Pcr(), 0));
    }
    return 0;
}

void CcDumpRunner::PutPacket(const uint8_t* pPacket) {
    ++m_Stats.packets;
    if (m_Chosen) {
        FeedPacket(pPacket);
        return;
    }
    if (!(m_Options.havePid && m_Options.codec != CODEC_NONE)) {
        m_ProgramFinder.PutPacket(pPacket);
        for (const std::string& message : m_ProgramFinder.TakeMessages()) {
            m_Err << PROGRAM << ": " << message << "\n";
        }
    }
    m_Pending.insert(m_Pending.end(), pPacket, pPacket + PACKET_SIZE);
    if (ChooseStream()) {
        if (!BuildChain()) {
            m_Failed = true;
            return;
        }
        m_Chosen = true;
        std::vector<uint8_t> pending;
        pending.swap(m_Pending);
        for (std::size_t offset = 0; offset < pending.size(); offset += PACKET_SIZE) {
            FeedPacket(pending.data() + offset);
        }
        return;
    }
    if (!m_Failed && m_Pending.size() >= MAX_PENDING_BYTES) {
        m_Err << PROGRAM << ": no video stream found in the first " << (MAX_PENDING_BYTES >> 20)
              << " MiB (give --pid and --codec)\n";
        m_Failed = true;
    }
}

bool CcDumpRunner::ChooseStream() {
    if (m_Options.havePid && m_Options.codec != CODEC_NONE) {
        m_Pid = m_Options.pid;
        m_Codec = m_Options.codec;
        return true;
    }
    if (!m_ProgramFinder.IsComplete()) {
        return false;
    }
    for (const ProgramFinder::Stream_t& stream : m_ProgramFinder.GetStreams()) {
        const Codec_e codec = CodecFromStreamType(stream.streamType);
        if (m_Options.havePid ? stream.pid == m_Options.pid
                              : codec != CODEC_NONE &&
                                    (m_Options.codec == CODEC_NONE || codec == m_Options.codec)) {
            if (codec == CODEC_NONE) {
                m_Err << PROGRAM << ": PID " << stream.pid << " has stream type 0x" << std::hex
                      << unsigned(stream.streamType) << std::dec
                      << ", not a video stream (give --codec)\n";
                m_Failed = true;
                return false;
            }
            m_Pid = stream.pid;
            m_Codec = codec;
            return true;
        }
    }
    if (m_Options.havePid) {
        m_Err << PROGRAM << ": PID " << m_Options.pid
              << " is not in the first program (give --codec to read it anyway)\n";
    } else if (m_Options.codec != CODEC_NONE) {
        m_Err << PROGRAM << ": no " << CodecName(m_Options.codec)
              << " video stream found in the first program\n";
    } else {
        m_Err << PROGRAM << ": no video stream found in the first program\n";
    }
    m_Failed = true;
    return false;
}

template <typename Defragmenter_t, typename Extractor_t>
void CcDumpRunner::MakeChain() {
    // Functors are bound to the concrete classes (one wrapper per override).
    Defragmenter_t* pDefragmenter = new Defragmenter_t();
    pDefragmenter->SetFastScan(!m_Options.byteByByte);
    Extractor_t* pExtractor = new Extractor_t();
    m_pDefragmenter.reset(pDefragmenter);
    m_pExtractor.reset(pExtractor);
    m_pConverter->Subscribe(XP::MakeFunctor<&Defragmenter_t::PutFragment>(pDefragmenter));
    pDefragmenter->Subscribe(XP::MakeFunctor<&Extractor_t::PutAu>(pExtractor));
}

bool CcDumpRunner::BuildChain() {
    m_pDemux.reset(new Cmf::Demultiplexer());
    m_pConverter.reset(new Cmf::TsToEsConverter());
    switch (m_Codec) {
        case CODEC_AVC:
            MakeChain<Cmf::AvcDefragmenter, Cmf::AvcDataExtractor>();
            break;
        case CODEC_HEVC:
            MakeChain<Cmf::HevcDefragmenter, Cmf::HevcDataExtractor>();
            break;
        case CODEC_MPEG2:
            MakeChain<Cmf::Mpeg2VideoDefragmenter, Cmf::Mpeg2VideoDataExtractor>();
            break;
        default:
            m_Err << PROGRAM << ": no video codec chosen\n";
            return false;
    }
    m_pDemux->Subscribe(m_Pid,
                        XP::MakeFunctor<&Cmf::TsToEsConverter::PutTsPacket>(m_pConverter.get()));
    m_pExtractor->SubscribeCcPacket(XP::MakeFunctor<&CcDumpRunner::OnCcPacket>(this));
    m_pExtractor->SubscribeInfo(XP::MakeFunctor<&CcDumpRunner::OnInfo>(this));
    m_pExtractor->Subscribe(XP::MakeFunctor<&CcDumpRunner::OnAu>(this));
    return true;
}

void CcDumpRunner::FeedPacket(const uint8_t* pPacket) {
    // A view of the caller's bytes: the chain copies what it keeps.
    const Cmf::TsPacket packet(XP::CBuffer(const_cast<uint8_t*>(pPacket), PACKET_SIZE));
    m_pDemux->PutTsPacket(packet);
}

void CcDumpRunner::OnCcPacket(const Cmf::CcPacket_t& packet) {
    ++m_Stats.ccPackets;
    static const char HEX[] = "0123456789abcdef";
    std::string line;
    line.reserve(24 + 2 * packet.data.GetSize());
    line += packet.pts.IsValid() ? std::to_string(packet.pts.GetBase()) : "-";
    line += ' ';
    for (const uint8_t* p = packet.data.GetBegin(); p != packet.data.GetEnd(); ++p) {
        line += HEX[*p >> 4];
        line += HEX[*p & 0x0F];
    }
    line += '\n';
    m_Out << line;
    if (m_Options.text) {
        std::ostringstream text;
        packet.PrintDtvCcText(text);
        const std::string printed = text.str();
        m_Out << printed;
        if (!printed.empty() && printed.back() != '\n') {
            m_Out << '\n';
        }
    }
}

void CcDumpRunner::OnInfo(const Cmf::VideoCodecInfo_t& info) {
    if (m_Options.info) {
        m_Out << "info " << Cmf::GetVideoCodecInfoString(info) << "\n";
    }
}

void CcDumpRunner::OnAu(const Cmf::VideoAccessUnit& /*au*/) {
    ++m_Stats.accessUnits;
}

}  // namespace CcDump
