// kestrel-ccdump: the media framework on a transport stream file, for people and for measuring.
// The command line and output are described in CcDumpRunner.h and by --help.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "ccdump/CcDumpRunner.h"
#include "xptools/Time.h"

namespace {

// A whole number of packets, about 1 MiB.
constexpr std::size_t READ_SIZE = CcDump::CcDumpRunner::PACKET_SIZE * 5577;

void PrintStats(const CcDump::Stats_t& stats, uint64_t elapsedNs) {
    const double seconds = double(elapsedNs) / 1e9;
    const double megabytesPerSecond = seconds > 0 ? double(stats.tsBytes) / 1e6 / seconds : 0.0;
    std::fprintf(stderr,
                 "ts bytes: %llu\npackets: %llu\naccess units: %llu\ncaption packets: %llu\n"
                 "seconds: %.6f\nMB/s: %.1f\n",
                 static_cast<unsigned long long>(stats.tsBytes),
                 static_cast<unsigned long long>(stats.packets),
                 static_cast<unsigned long long>(stats.accessUnits),
                 static_cast<unsigned long long>(stats.ccPackets), seconds, megabytesPerSecond);
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(CcDump::USAGE, stdout);
            return 0;
        }
    }
    CcDump::Options_t options;
    std::string error;
    if (!CcDump::ParseCommandLine(argc, argv, options, error)) {
        std::fprintf(stderr, "kestrel-ccdump: %s\n%s", error.c_str(), CcDump::USAGE);
        return 2;
    }

    const bool standardInput = options.file == "-";
    std::FILE* pFile = standardInput ? stdin : std::fopen(options.file.c_str(), "rb");
    if (pFile == nullptr) {
        std::fprintf(stderr, "kestrel-ccdump: cannot open %s: %s\n", options.file.c_str(),
                     std::strerror(errno));
        return 1;
    }

    std::ios::sync_with_stdio(false);
    CcDump::CcDumpRunner runner(options, std::cout, std::cerr);
    std::vector<uint8_t> buffer(READ_SIZE);
    const uint64_t startNs = XP::Time::GetTicks1G();
    int status = 0;
    for (;;) {
        const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), pFile);
        if (count > 0 && !runner.PutBytes(buffer.data(), count)) {
            status = 1;
            break;
        }
        if (count < buffer.size()) {
            if (std::ferror(pFile)) {
                std::fprintf(stderr, "kestrel-ccdump: cannot read %s: %s\n", options.file.c_str(),
                             std::strerror(errno));
                status = 1;
            }
            break;
        }
    }
    const int finishStatus = runner.Finish();
    if (status == 0) {
        status = finishStatus;
    }
    const uint64_t elapsedNs = XP::Time::GetTicks1G() - startNs;
    std::cout.flush();
    if (!standardInput) {
        std::fclose(pFile);
    }
    if (options.stats) {
        std::cerr.flush();
        PrintStats(runner.GetStats(), elapsedNs);
    }
    return status;
}
