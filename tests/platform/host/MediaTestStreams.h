#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Real encoded streams for the host board's media tests, made at test time with the ffmpeg
// command-line tools (Debian package ffmpeg), and ffprobe's view of them as the independent
// expectation.
namespace KestrelTest {

// True when both `ffmpeg` and `ffprobe` can be run.
bool HaveFfmpegTools();

// Runs `ffmpeg -hide_banner -loglevel error -y <arguments>`; true on exit status 0.
bool RunFfmpeg(const std::string& arguments);

// The whole file, or empty when it cannot be read.
std::vector<uint8_t> ReadBytes(const std::string& path);

// ffprobe's entries for one file: one map per stream ("id", "width", "field_order", ...) and
// one per program ("program_id", "tag:service_name", ...), from its flat output.
struct ProbeReport {
    std::vector<std::map<std::string, std::string>> streams;
    std::vector<std::map<std::string, std::string>> programs;
};
ProbeReport RunFfprobe(const std::string& path);

// ffprobe's "id", "nb_read_packets" and "start_pts" of every stream (counting its packets).
std::vector<std::map<std::string, std::string>> RunFfprobeCounts(const std::string& path);

}  // namespace KestrelTest
