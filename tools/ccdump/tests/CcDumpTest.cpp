// kestrel-ccdump: the runner in-process on streams of the test stream builder and on the sample
// streams of tests/data, and the tool itself run as a person runs it. Expectations for the
// samples come from the files the sample scripts wrote beside each stream: the caption bytes put
// into each picture (for AVC with the picture's PTS as ffprobe reads it), and what ffprobe
// reported about the stream when it was made.
#include "ccdump/CcDumpRunner.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "AvcStreamWriter.h"
#include "ProgramCommand.h"
#include "TempDir.h"
#include "TsStreamBuilder.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pieces = std::vector<Bytes>;
using KestrelTest::PesOptions;
using KestrelTest::TsStreamBuilder;
using namespace AvcStreamWriter;

const char* const NAMES[] = {"avc-high-320x240p30", "avc-main-720x576i25"};

std::string Sample(const std::string& name, const std::string& extension) {
    return std::string(KESTREL_AVC_SAMPLES) + "/" + name + extension;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::map<std::string, std::string> ReadKeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    for (const std::string& line : SplitLines(text)) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos) {
            values[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return values;
}

struct Result {
    int status;
    std::string out;
    std::string err;
};

// The runner in-process, the input given in pieces.
Result RunDump(std::vector<const char*> args, const Pieces& pieces) {
    args.insert(args.begin(), "kestrel-ccdump");
    args.push_back("input.ts");
    CcDump::Options_t options;
    std::string error;
    EXPECT_TRUE(CcDump::ParseCommandLine(int(args.size()), args.data(), options, error)) << error;
    std::ostringstream out;
    std::ostringstream err;
    CcDump::CcDumpRunner runner(options, out, err);
    bool going = true;
    for (const Bytes& piece : pieces) {
        if (going && !piece.empty()) {
            going = runner.PutBytes(piece.data(), piece.size());
        }
    }
    const int status = runner.Finish();
    return {status, out.str(), err.str()};
}

// The tool through the shell: `arguments` is shell text (redirections allowed).
Result RunTool(const std::string& arguments) {
    KestrelTest::TempDir dir;
    const std::string command = KestrelTest::ProgramShellCommand(KESTREL_CCDUMP_BINARY) + " " +
                                arguments + " >" + dir.Path() + "/out 2>" + dir.Path() + "/err";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, dir.ReadFile("out"), dir.ReadFile("err")};
}

// Three AVC pictures on PID 0x100 with captions, among audio on 0x101, as the stream builder
// writes them: the caption lines they must give are in `expected`.
struct TestStream {
    Bytes ts;
    std::string expected;
};

constexpr uint16_t VIDEO_PID = 0x100;
constexpr uint16_t AUDIO_PID = 0x101;

TestStream MakeStream(bool withPsi, bool psiFirst = true, uint8_t videoType = 0x1B,
                      const std::vector<Bytes>& ccData = {}) {
    SpsFields fields;
    fields.widthMbs = 22;
    fields.heightMapUnits = 18;
    fields.numUnitsInTick = 1;
    fields.timeScale = 50;
    // Decode order I P B: the B picture is shown first after the I picture.
    const uint64_t pts[] = {900000, 907200, 903600};
    TsStreamBuilder builder;
    TestStream stream;
    auto addPsi = [&] {
        builder.AddPatPmt(1, 0x1000, {{0x0F, AUDIO_PID}, {videoType, VIDEO_PID}}, VIDEO_PID);
    };
    if (withPsi && psiFirst) {
        addPsi();
    }
    for (std::size_t i = 0; i < 3; ++i) {
        Bytes cc = {0xC1, 0xFF, 0xFC, static_cast<uint8_t>(0xC1 + i), 0x80, 0xFF};
        if (i < ccData.size()) {
            cc = ccData[i];
        }
        std::vector<Bytes> nals;
        if (i == 0) {
            nals.push_back(SpsNal(fields));
        }
        nals.push_back(SeiNal({{4, T35(49, "GA94", 3, cc)}}));
        nals.push_back(SliceNal(i == 0 ? 7 : i == 1 ? 5 : 6, i == 0));
        // Small packets: access units start anywhere in a packet.
        builder.AddPes(VIDEO_PID, AccessUnitBytes(nals),
                       PesOptions().Pts(pts[i]).Unbounded().MaxPayloadPerPacket(37));
        builder.AddPes(AUDIO_PID, Bytes(300, 0xAA), PesOptions().StreamId(0xC0).Pts(pts[i]));
        std::ostringstream line;
        line << pts[i] << " ";
        for (uint8_t byte : cc) {
            line << "0123456789abcdef"[byte >> 4] << "0123456789abcdef"[byte & 15];
        }
        stream.expected += line.str() + "\n";
        if (withPsi && !psiFirst && i == 1) {
            addPsi();
        }
    }
    stream.ts = builder.Bytes();
    return stream;
}

TEST(CcDumpRunnerTest, SampleStreamGivesItsCaptionSourceHoweverItIsCut) {
    const Bytes ts = ReadFile(Sample("avc-high-320x240p30", ".ts"));
    ASSERT_FALSE(ts.empty());
    const std::string captions = ReadText(Sample("avc-high-320x240p30", ".captions"));
    const Result whole = RunDump({}, {ts});
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.out, captions);
    EXPECT_EQ(whole.err, "");

    const std::vector<std::pair<const char*, Pieces>> cuts = {
        {"1 byte", TsStreamBuilder::Split(ts, 1)},
        {"188 bytes", TsStreamBuilder::Split(ts, 188)},
        {"misaligned", TsStreamBuilder::SplitMisaligned(ts, 100, 1000)},
        {"random", TsStreamBuilder::SplitRandomly(ts, 7, 700)},
    };
    for (const auto& [what, pieces] : cuts) {
        const Result result = RunDump({}, pieces);
        EXPECT_EQ(result.status, 0) << what;
        EXPECT_EQ(result.out, captions) << what;
        EXPECT_EQ(result.err, "") << what;
    }
}

TEST(CcDumpRunnerTest, ChoosingTheVideoStream) {
    const TestStream withPsi = MakeStream(true);
    const TestStream psiLate = MakeStream(true, false);
    const TestStream withoutPsi = MakeStream(false);
    const TestStream audioOnly = MakeStream(true, true, 0x81);
    // Without an error the run gives the stream's captions and status 0; with one, no output,
    // that one line and status 1.
    struct Case {
        std::vector<const char*> args;
        const TestStream& stream;
        std::string err;
    };
    const std::string p = "kestrel-ccdump: ";
    const std::vector<Case> cases = {
        {{}, withPsi, ""},
        // Video before the program map is kept until the map says which PID it is.
        {{}, psiLate, ""},
        {{"--pid", "256"}, psiLate, ""},
        {{"--pid", "0x100", "--codec", "avc"}, withoutPsi, ""},
        {{"--codec", "avc"}, withPsi, ""},
        {{"--pid", "257"},
         withPsi,
         "PID 257 has stream type 0xf, not a video stream (give --codec)"},
        {{"--pid", "300"},
         withPsi,
         "PID 300 is not in the first program (give --codec to read it anyway)"},
        {{"--codec", "hevc"}, withPsi, "no hevc video stream found in the first program"},
        {{"--codec", "mpeg2"}, withPsi, "no mpeg2 video stream found in the first program"},
        {{}, audioOnly, "no video stream found in the first program"},
        {{},
         withoutPsi,
         "no video stream found: the stream has no readable program association and program map "
         "tables (give --pid and --codec)"},
    };
    for (const Case& c : cases) {
        const Result result = RunDump(c.args, {c.stream.ts});
        const std::string what = ::testing::PrintToString(c.args);
        EXPECT_EQ(result.status, c.err.empty() ? 0 : 1) << what;
        EXPECT_EQ(result.out, c.err.empty() ? c.stream.expected : "") << what;
        EXPECT_EQ(result.err, c.err.empty() ? "" : p + c.err + "\n") << what;
    }
}

TEST(CcDumpRunnerTest, LostPacketSyncIsReportedAndFoundAgain) {
    const TestStream stream = MakeStream(true);
    // 50 bytes of junk (no sync byte among them) after the fourth packet, and a last packet
    // cut short.
    Bytes ts(stream.ts.begin(), stream.ts.begin() + 4 * 188);
    ts.insert(ts.end(), 50, 0x55);
    ts.insert(ts.end(), stream.ts.begin() + 4 * 188, stream.ts.end());
    ts.insert(ts.end(), stream.ts.begin(), stream.ts.begin() + 100);
    const Result result = RunDump({}, TsStreamBuilder::Split(ts, 333));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, stream.expected);
    EXPECT_EQ(result.err,
              "kestrel-ccdump: lost packet sync at byte 752; looking for the next sync byte\n"
              "kestrel-ccdump: packet sync found again after 50 bytes\n"
              "kestrel-ccdump: the last 100 bytes do not make a packet\n");
}

TEST(CcDumpRunnerTest, InformationAndCaptionTextLines) {
    // Digital caption triples (cc_type 3 and 2): "AB", then Delete Windows with its one
    // parameter; then "CD" alone; then a packet whose process flag is clear.
    const std::vector<Bytes> ccData = {
        {0xC2, 0xFF, 0xFF, 0x41, 0x42, 0xFE, 0x8C, 0x01, 0xFF},
        {0xC1, 0xFF, 0xFE, 0x43, 0x44, 0xFF},
        {0x81, 0xFF, 0xFE, 0x45, 0x46, 0xFF},
    };
    const TestStream stream = MakeStream(true, true, 0x1B, ccData);
    std::istringstream expected(stream.expected);
    std::string line[3];
    std::getline(expected, line[0]);
    std::getline(expected, line[1]);
    std::getline(expected, line[2]);
    const Result result = RunDump({"--info", "--text"}, {stream.ts});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out,
              "info 352x288P sw_yuv420p 4:2:0 25fps 11:9aspect 8bit Mastering n Cll n "
              "TC-Unspecified 11x 9HPP@L4\n" +
                  line[0] + "\nAB\nDelete Windows\n" + line[1] + "\nCD\n" + line[2] + "\n");
}

TEST(CcDumpCommandTest, CaptionLinesEqualTheCaptionSource) {
    for (const char* name : NAMES) {
        const std::string captions = ReadText(Sample(name, ".captions"));
        ASSERT_FALSE(captions.empty()) << name;
        const Result fromFile = RunTool(Sample(name, ".ts"));
        EXPECT_EQ(fromFile.status, 0) << name;
        EXPECT_EQ(fromFile.out, captions) << name;
        EXPECT_EQ(fromFile.err, "") << name;
        const Result fromInput = RunTool("- <" + Sample(name, ".ts"));
        EXPECT_EQ(fromInput.status, 0) << name;
        EXPECT_EQ(fromInput.out, captions) << name;
    }
}

// The codec information line against ffprobe's view of the stream: size, frame rate, profile,
// level and scan.
TEST(CcDumpCommandTest, InformationAgreesWithFfprobe) {
    int wideSamples = 0;
    const std::map<std::string, std::string> profileTokens = {
        {"High", "HPP@"}, {"Main", "MP@"}, {"Baseline", "BP@"}, {"Constrained Baseline", "CBP@"}};
    for (const char* name : NAMES) {
        std::map<std::string, std::string> probe =
            ReadKeyValues(ReadText(Sample(name, ".ffprobe")));
        ASSERT_EQ(probe["codec_name"], "h264") << name;
        const Result result = RunTool("--info " + Sample(name, ".ts"));
        ASSERT_EQ(result.status, 0) << name;
        std::vector<std::string> infos;
        for (const std::string& line : SplitLines(result.out)) {
            if (line.rfind("info ", 0) == 0) {
                infos.push_back(line);
            }
        }
        // One stream, one SPS: published once.
        ASSERT_EQ(infos.size(), 1u) << name;
        const std::string& info = infos[0];

        const bool interlaced = probe["field_order"] == "tt" || probe["field_order"] == "bb";
        const std::string size =
            "info " + probe["width"] + "x" + probe["height"] + (interlaced ? "I " : "P ");
        EXPECT_EQ(info.substr(0, size.size()), size) << info;

        const std::string rate = probe["r_frame_rate"];
        const double fps =
            std::stod(rate.substr(0, rate.find('/'))) / std::stod(rate.substr(rate.find('/') + 1));
        const std::size_t fpsEnd = info.find("fps ");
        ASSERT_NE(fpsEnd, std::string::npos) << info;
        const std::size_t fpsBegin = info.rfind(' ', fpsEnd - 1) + 1;
        EXPECT_NEAR(std::stod(info.substr(fpsBegin, fpsEnd - fpsBegin)), fps, 0.01) << info;

        const int level = std::stoi(probe["level"]);
        const std::string levelToken =
            "L" + std::to_string(level / 10) + (level % 10 ? "." + std::to_string(level % 10) : "");
        const std::string tail = profileTokens.at(probe["profile"]) + levelToken;
        ASSERT_GE(info.size(), tail.size());
        EXPECT_EQ(info.substr(info.size() - tail.size()), tail) << info;

        // ffprobe multiplies 720x576 by 16:11 samples into 20:11; H.264 Table E-1 gives that
        // size as its example of a 16:9 picture, which is what the tool reports.
        if (probe["sample_aspect_ratio"] == "16:11" && probe["width"] == "720") {
            EXPECT_EQ(probe["display_aspect_ratio"], "20:11");
            EXPECT_NE(info.find(" 16:9aspect "), std::string::npos) << info;
            ++wideSamples;
        }
    }
    EXPECT_EQ(wideSamples, 1);
}

// The field-1 CEA-608 pairs ("9420") of the caption lines, the lines taken in PTS order (display
// order): what the sample scripts put into the pictures, in the order they were shown.
std::vector<std::string> Field1PairsInDisplayOrder(const std::string& out) {
    std::vector<std::pair<uint64_t, std::string>> lines;
    for (const std::string& line : SplitLines(out)) {
        const std::size_t space = line.find(' ');
        EXPECT_NE(space, std::string::npos) << line;
        EXPECT_NE(line[0], '-') << "a caption packet without a PTS: " << line;
        if (space == std::string::npos || line[0] == '-') {
            continue;
        }
        lines.emplace_back(std::stoull(line.substr(0, space)), line.substr(space + 1));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> pairs;
    for (const auto& [pts, hex] : lines) {
        // cc_count in the low five bits of the first byte, then em_data, then the triples.
        const std::size_t count = std::stoul(hex.substr(0, 2), nullptr, 16) & 0x1F;
        for (std::size_t i = 0; i < count && 4 + 6 * i + 6 <= hex.size(); ++i) {
            const unsigned marker = std::stoul(hex.substr(4 + 6 * i, 2), nullptr, 16);
            if ((marker & 0x07) == 0x04) {  // valid, field 1
                pairs.push_back(hex.substr(4 + 6 * i + 2, 4));
            }
        }
    }
    return pairs;
}

std::vector<std::string> ReadPairs(const std::string& path) {
    std::vector<std::string> pairs;
    for (std::string line : SplitLines(ReadText(path))) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        line.erase(std::remove(line.begin(), line.end(), ' '), line.end());
        pairs.push_back(line);
    }
    return pairs;
}

std::vector<std::string> InfoLines(const std::string& out) {
    std::vector<std::string> infos;
    for (const std::string& line : SplitLines(out)) {
        if (line.rfind("info ", 0) == 0) {
            infos.push_back(line);
        }
    }
    return infos;
}

// HEVC and MPEG-2 streams, the codec taken from the program map or given: one caption line per
// picture, the last picture included, and the captions the sample script put in, in display
// order.
TEST(CcDumpCommandTest, HevcAndMpeg2CaptionsEqualTheCaptionSource) {
    const std::string data = KESTREL_TEST_DATA;
    const std::vector<std::string> hevcSource = ReadPairs(data + "/hevc/captions.txt");
    ASSERT_EQ(hevcSource.size(), 48u);
    struct Case {
        std::string stream;
        std::string codec;
        std::string pid;
        std::vector<std::string> source;
    };
    const std::vector<Case> cases = {
        {"hevc/hevc-main-timing.ts", "hevc", "0x100", hevcSource},
        {"hevc/hevc-main-notiming.ts", "hevc", "0x100", hevcSource},
        {"hevc/hevc-main10-hdr.ts", "hevc", "0x100", hevcSource},
        {"mpeg2/mpeg2-480i-4x3.ts", "mpeg2", "0x101",
         ReadPairs(data + "/mpeg2/mpeg2-480i-4x3.cc608")},
        {"mpeg2/mpeg2-1080i-16x9.ts", "mpeg2", "0x101",
         ReadPairs(data + "/mpeg2/mpeg2-1080i-16x9.cc608")},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.source.empty()) << c.stream;
        const std::string path = data + "/" + c.stream;
        const Result fromPmt = RunTool(path);
        EXPECT_EQ(fromPmt.status, 0) << c.stream;
        EXPECT_EQ(fromPmt.err, "") << c.stream;
        EXPECT_EQ(SplitLines(fromPmt.out).size(), c.source.size()) << c.stream;
        EXPECT_EQ(Field1PairsInDisplayOrder(fromPmt.out), c.source) << c.stream;
        // Given PID and codec, no program map is read: the same lines.
        const Result given = RunTool("--pid " + c.pid + " --codec " + c.codec + " - <" + path);
        EXPECT_EQ(given.status, 0) << c.stream;
        EXPECT_EQ(given.out, fromPmt.out) << c.stream;
    }
}

// A stream cut off after its last picture, without the sequence end code that would close it:
// the tool still prints that picture's captions.
TEST(CcDumpRunnerTest, LastMpeg2PictureIsPrintedWithoutASequenceEndCode) {
    const std::string path = std::string(KESTREL_TEST_DATA) + "/mpeg2/mpeg2-480i-4x3.ts";
    Bytes ts = ReadFile(path);
    ASSERT_GE(ts.size(), 188u);
    const Bytes endCode = {0x00, 0x00, 0x01, 0xB7};
    ASSERT_TRUE(std::equal(endCode.begin(), endCode.end(), ts.end() - 4)) << "the sample changed";
    const Result whole = RunDump({}, {ts});
    std::fill(ts.end() - 4, ts.end(), 0xFF);
    const Result cut = RunDump({}, {ts});
    EXPECT_EQ(cut.status, 0);
    EXPECT_EQ(SplitLines(cut.out).size(), 30u);
    EXPECT_EQ(cut.out, whole.out);
}

// MPEG-2 information against ffprobe's view of the stream; HEVC against what the sample script
// asked the encoder for. The HEVC stream without timing in its SPS first reports no rate, then
// the rate its PTS spacing shows.
TEST(CcDumpCommandTest, HevcAndMpeg2InformationLines) {
    const std::string data = KESTREL_TEST_DATA;
    for (const char* name : {"mpeg2-480i-4x3", "mpeg2-1080i-16x9"}) {
        std::map<std::string, std::string> probe =
            ReadKeyValues(ReadText(data + "/mpeg2/" + name + ".ffprobe"));
        ASSERT_EQ(probe["codec_name"], "mpeg2video") << name;
        ASSERT_EQ(probe["r_frame_rate"], "30000/1001") << name;
        const Result result = RunTool("--info " + data + "/mpeg2/" + name + ".ts");
        ASSERT_EQ(result.status, 0) << name;
        const std::vector<std::string> infos = InfoLines(result.out);
        ASSERT_EQ(infos.size(), 1u) << result.out;
        const bool interlaced = probe["field_order"] == "tt" || probe["field_order"] == "bb";
        const std::string dar = probe["display_aspect_ratio"];
        const std::string darToken =
            dar.substr(0, dar.find(':')) + "x " + dar.substr(dar.find(':') + 1);
        // MPEG-2 levels: 4 high, 6 high-1440, 8 main, 10 low.
        const std::map<std::string, std::string> levels = {
            {"4", "HL"}, {"6", "H1440L"}, {"8", "ML"}, {"10", "LL"}};
        ASSERT_EQ(probe["profile"], "Main") << name;
        const std::string head =
            "info " + probe["width"] + "x" + probe["height"] + (interlaced ? "I " : "P ");
        EXPECT_EQ(infos[0].substr(0, head.size()), head) << infos[0];
        EXPECT_NE(infos[0].find(" 29.97fps "), std::string::npos) << infos[0];
        const std::string tail = darToken + "MP@" + levels.at(probe["level"]);
        ASSERT_GE(infos[0].size(), tail.size());
        EXPECT_EQ(infos[0].substr(infos[0].size() - tail.size()), tail) << infos[0];
    }

    const std::vector<std::pair<std::string, std::vector<std::string>>> hevc = {
        {"hevc-main-timing",
         {"info 640x360P sw_yuv420p 4:2:0 29.97fps 16:9aspect 8bit Mastering n Cll n "
          "TC-Unspecified 16x 9MP@L2.1-MT"}},
        {"hevc-main10-hdr",
         {"info 640x360P sw_yuv420p10 4:2:0 25fps 16:9aspect 10bit Mastering y Cll y "
          "TC-SMPTE2048 16x 9M10P@L2.1-MT"}},
        {"hevc-main-notiming",
         {"info 720x576P sw_yuv420p 4:2:0 0fps 15:11aspect 8bit Mastering n Cll n "
          "TC-Unspecified 15x 11MP@L3.1-MT",
          "info 720x576P sw_yuv420p 4:2:0 50fps 15:11aspect 8bit Mastering n Cll n "
          "TC-Unspecified 15x 11MP@L3.1-MT"}},
    };
    for (const auto& [name, expected] : hevc) {
        const Result result = RunTool("--info " + data + "/hevc/" + name + ".ts");
        EXPECT_EQ(result.status, 0) << name;
        EXPECT_EQ(InfoLines(result.out), expected) << name;
    }
}

// The pop-on captions of CEA-608 field-1 pairs, as a viewer sees them: the text of each caption,
// its rows joined by a space. Parity bits are dropped; control pairs carry no text, a preamble
// (row address) starts a new row and end of caption (14 2F) shows what was loaded.
std::vector<std::string> PopOnCaptions(const std::vector<std::string>& pairs) {
    std::vector<std::string> captions;
    std::string loading;
    for (const std::string& pair : pairs) {
        const unsigned first = std::stoul(pair.substr(0, 2), nullptr, 16) & 0x7F;
        const unsigned second = std::stoul(pair.substr(2, 2), nullptr, 16) & 0x7F;
        if (first >= 0x10 && first <= 0x1F) {
            if ((first == 0x14 || first == 0x1C) && second == 0x2F) {
                if (!loading.empty()) {
                    captions.push_back(loading);
                }
                loading.clear();
            } else if (second >= 0x40 && !loading.empty()) {
                loading += ' ';
            }
            continue;
        }
        for (unsigned byte : {first, second}) {
            if (byte >= 0x20) {
                loading += static_cast<char>(byte);
            }
        }
    }
    return captions;
}

std::string CollapseSpaces(const std::string& text) {
    std::string collapsed;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\r';
        if (space && (collapsed.empty() || collapsed.back() == ' ')) {
            continue;
        }
        collapsed += space ? ' ' : c;
    }
    while (!collapsed.empty() && collapsed.back() == ' ') {
        collapsed.pop_back();
    }
    return collapsed;
}

// The caption texts of FFmpeg's CEA-608 decoder for a file, from its SubRip output: the cues'
// text without the font and position tags.
std::vector<std::string> FfmpegCaptions(const std::string& path) {
    KestrelTest::TempDir dir;
    const std::string command = "ffmpeg -hide_banner -loglevel error -f lavfi -i 'movie=" + path +
                                "[out0+subcc]' -map 0:s -f srt " + dir.Path() +
                                "/captions.srt </dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::vector<std::string> captions;
    std::string cue;
    for (const std::string& line : SplitLines(dir.ReadFile("captions.srt"))) {
        if (line.empty() || line == "\r") {
            if (!cue.empty()) {
                captions.push_back(CollapseSpaces(cue));
            }
            cue.clear();
        } else if (line.find("-->") == std::string::npos &&
                   line.find_first_not_of("0123456789\r") != std::string::npos) {
            std::string text = line;
            for (const std::string tag : {"<font face=\"Monospace\">", "</font>", "{\\an7}"}) {
                for (std::size_t at; (at = text.find(tag)) != std::string::npos;) {
                    text.erase(at, tag.size());
                }
            }
            cue += (cue.empty() ? "" : " ") + text;
        }
    }
    if (!cue.empty()) {
        captions.push_back(CollapseSpaces(cue));
    }
    return captions;
}

// What a viewer would read: the captions the tool's lines carry, against what FFmpeg's own
// CEA-608 decoder reads from the same file.
TEST(CcDumpCommandTest, CaptionTextAgreesWithFfmpegsDecoder) {
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ffmpeg is not installed";
    }
    const std::string data = KESTREL_TEST_DATA;
    for (const char* file :
         {"avc/avc-high-320x240p30.ts", "avc/avc-main-720x576i25.ts", "hevc/hevc-main-timing.ts",
          "hevc/hevc-main-notiming.ts", "hevc/hevc-main10-hdr.ts", "mpeg2/mpeg2-480i-4x3.ts",
          "mpeg2/mpeg2-1080i-16x9.ts"}) {
        const std::string path = data + "/" + file;
        const std::vector<std::string> expected = FfmpegCaptions(path);
        ASSERT_FALSE(expected.empty()) << file;
        const Result result = RunTool(path);
        ASSERT_EQ(result.status, 0) << file;
        std::vector<std::string> seen;
        for (const std::string& caption : PopOnCaptions(Field1PairsInDisplayOrder(result.out))) {
            seen.push_back(CollapseSpaces(caption));
        }
        EXPECT_EQ(seen, expected) << file;
    }
}

TEST(CcDumpCommandTest, StatisticsOnStandardError) {
    const std::string ts = Sample("avc-high-320x240p30", ".ts");
    const std::size_t size = ReadText(ts).size();
    const Result result = RunTool("--stats " + ts);
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string> lines = SplitLines(result.err);
    ASSERT_EQ(lines.size(), 6u) << result.err;
    EXPECT_EQ(lines[0], "ts bytes: " + std::to_string(size));
    EXPECT_EQ(lines[1], "packets: " + std::to_string(size / 188));
    EXPECT_EQ(lines[2], "access units: 120");
    EXPECT_EQ(lines[3], "caption packets: 120");
    EXPECT_EQ(lines[4].rfind("seconds: ", 0), 0u);
    EXPECT_EQ(lines[5].rfind("MB/s: ", 0), 0u);
}

TEST(CcDumpCommandTest, FailuresGiveOneLineAndNonZeroStatus) {
    KestrelTest::TempDir dir;
    const std::string junk = dir.WriteFile("junk.ts", std::string(188 * 20, '\x47'));
    struct Case {
        std::string arguments;
        int status;
        std::string err;  // the first line
    };
    const std::vector<Case> cases = {
        {dir.Path() + "/missing.ts", 1,
         "kestrel-ccdump: cannot open " + dir.Path() + "/missing.ts: No such file or directory"},
        {dir.Path(), 1, "kestrel-ccdump: cannot read " + dir.Path() + ": Is a directory"},
        {junk, 1,
         "kestrel-ccdump: no video stream found: the stream has no readable program "
         "association and program map tables (give --pid and --codec)"},
        {"--codec vp9 " + junk, 2, "kestrel-ccdump: unknown codec 'vp9' (avc, hevc or mpeg2)"},
        {"", 2, "kestrel-ccdump: no input file"},
    };
    for (const Case& c : cases) {
        const Result result = RunTool(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.arguments;
        EXPECT_EQ(SplitLines(result.err).at(0), c.err) << c.arguments;
        EXPECT_EQ(result.out, "") << c.arguments;
    }
    const Result help = RunTool("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: kestrel-ccdump [--pid PID]", 0), 0u) << help.out;
}

}  // namespace
