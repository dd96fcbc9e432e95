#include "MediaTestStreams.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace KestrelTest {

bool HaveFfmpegTools() {
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0 &&
           std::system("ffprobe -version >/dev/null 2>&1") == 0;
}

bool RunFfmpeg(const std::string& arguments) {
    const std::string command = "ffmpeg -hide_banner -loglevel error -y " + arguments;
    return std::system(command.c_str()) == 0;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

namespace {

// "streams.stream.0.width=720" -> section "stream", index 0, key "width".
bool SplitFlatKey(const std::string& key, std::string& section, size_t& index, std::string& field) {
    std::istringstream parts(key);
    std::string group, sectionName, indexText;
    if (!std::getline(parts, group, '.') || !std::getline(parts, sectionName, '.') ||
        !std::getline(parts, indexText, '.') || !std::getline(parts, field)) {
        return false;
    }
    section = sectionName;
    index = std::strtoul(indexText.c_str(), nullptr, 10);
    return true;
}

}  // namespace

namespace {

ProbeReport RunFlat(const std::string& options, const std::string& path) {
    ProbeReport report;
    const std::string command = "ffprobe -v error -of flat " + options + " '" + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return report;
    }
    char line[1024];
    while (std::fgets(line, sizeof(line), pipe) != nullptr) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
            text.pop_back();
        }
        const size_t eq = text.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        std::string value = text.substr(eq + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        std::string section, field;
        size_t index = 0;
        if (!SplitFlatKey(text.substr(0, eq), section, index, field)) {
            continue;
        }
        // Streams listed inside a program ("programs.program.0.streams...") are not wanted.
        if (field.find('.') != std::string::npos && field.rfind("tags.", 0) != 0) {
            continue;
        }
        if (field.rfind("tags.", 0) == 0) {
            field = "tag:" + field.substr(5);
        }
        auto& list = section == "stream" ? report.streams : report.programs;
        if (section != "stream" && section != "program") {
            continue;
        }
        if (list.size() <= index) {
            list.resize(index + 1);
        }
        list[index][field] = value;
    }
    pclose(pipe);
    return report;
}

}  // namespace

ProbeReport RunFfprobe(const std::string& path) {
    return RunFlat(
        "-show_entries stream=id,codec_type,codec_name,width,height,sample_aspect_ratio,"
        "avg_frame_rate,field_order,level,pix_fmt,sample_fmt,channels,sample_rate,bit_rate:"
        "program=program_id:program_tags=service_name,service_provider",
        path);
}

std::vector<std::map<std::string, std::string>> RunFfprobeCounts(const std::string& path) {
    return RunFlat("-count_packets -show_entries stream=id,nb_read_packets,start_pts", path)
        .streams;
}

}  // namespace KestrelTest
