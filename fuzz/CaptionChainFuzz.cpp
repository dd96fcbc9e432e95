// The whole caption chain from transport stream bytes, as kestrel-ccdump runs it: packet sync,
// program tables, demultiplexer, PES converter, defragmenter and data extractor of one codec.
// The same input goes through twice, once with start codes found by runs and once byte by byte;
// the two must print exactly the same lines, and every line must have the tool's form.
//
// The first input byte chooses how the rest is read:
//   bits 0-1  0: the codec and PID from the program tables; 1, 2, 3: AVC, HEVC or MPEG-2 on the
//             PID the packets are folded onto
//   bit 2     fold: force the sync byte and put every packet on PID 0x100 (with bits 0-1 zero,
//             every packet but those of PID 0 and 0x1000, which keep the program tables)
//   bit 3     --info and --text, so that codec information and caption text are printed too
//   bits 4-7  the size of the pieces the bytes are given in (1 + 97 * n)
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "ccdump/CcDumpRunner.h"
#include "xptools/Print.h"

namespace {

constexpr std::size_t PACKET = 188;

std::string Dump(const std::vector<uint8_t>& ts, uint8_t mode, bool byteByByte) {
    CcDump::Options_t options;
    options.file = "-";
    options.byteByByte = byteByByte;
    options.info = options.text = (mode & 0x08) != 0;
    static const CcDump::Codec_e codecs[] = {CcDump::CODEC_NONE, CcDump::CODEC_AVC,
                                             CcDump::CODEC_HEVC, CcDump::CODEC_MPEG2};
    options.codec = codecs[mode & 0x03];
    if (options.codec != CcDump::CODEC_NONE) {
        options.havePid = true;
        options.pid = 0x100;
    }
    std::ostringstream out;
    std::ostringstream err;
    CcDump::CcDumpRunner runner(options, out, err);
    const std::size_t piece = 1 + 97 * std::size_t(mode >> 4);
    for (std::size_t offset = 0; offset < ts.size(); offset += piece) {
        const std::size_t size = ts.size() - offset < piece ? ts.size() - offset : piece;
        if (!runner.PutBytes(ts.data() + offset, size)) {
            break;
        }
    }
    runner.Finish();
    return out.str();
}

// A caption line: "<decimal PTS or -> <even count of lowercase hex digits>".
bool IsCaptionLine(const std::string& line) {
    const std::size_t space = line.find(' ');
    if (space == std::string::npos || space == 0) {
        return false;
    }
    const std::string pts = line.substr(0, space);
    if (pts != "-" && pts.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const std::string hex = line.substr(space + 1);
    return hex.size() % 2 == 0 && hex.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size < 1) {
        return 0;
    }
    const uint8_t mode = data[0];
    std::vector<uint8_t> ts(data + 1, data + size);
    if ((mode & 0x04) != 0) {
        for (std::size_t offset = 0; offset + 4 <= ts.size(); offset += PACKET) {
            ts[offset] = 0x47;
            const unsigned pid = ((ts[offset + 1] & 0x1F) << 8) | ts[offset + 2];
            if ((mode & 0x03) != 0 || (pid != 0 && pid != 0x1000)) {
                ts[offset + 1] = static_cast<uint8_t>((ts[offset + 1] & 0xE0) | 0x01);
                ts[offset + 2] = 0x00;
            }
        }
    }
    const std::string byRuns = Dump(ts, mode, false);
    if (byRuns != Dump(ts, mode, true)) {
        __builtin_trap();
    }
    if ((mode & 0x08) == 0) {
        std::istringstream lines(byRuns);
        for (std::string line; std::getline(lines, line);) {
            if (!IsCaptionLine(line)) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
