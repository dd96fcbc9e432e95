#include <gtest/gtest.h>

#include <vector>

#include "probe/ProbeReport.h"
#include "probe/ProgramMap.h"

using Kestrel::Probe::CProgramMap;
using Kestrel::Probe::JsonText;

namespace {

// Packets of `pid` carrying `section` (pointer field 0), split over as many packets as needed.
std::vector<uint8_t> SectionPackets(uint16_t pid, const std::vector<uint8_t>& section) {
    std::vector<uint8_t> out;
    size_t offset = 0;
    for (int cc = 0; offset < section.size(); ++cc) {
        std::vector<uint8_t> p(188, 0xFF);
        p[0] = 0x47;
        p[1] = static_cast<uint8_t>((offset == 0 ? 0x40 : 0) | (pid >> 8));
        p[2] = static_cast<uint8_t>(pid);
        p[3] = static_cast<uint8_t>(0x10 | cc);
        size_t at = 4;
        if (offset == 0)
            p[at++] = 0;  // pointer field
        size_t n = std::min(section.size() - offset, 188 - at);
        std::copy(section.begin() + long(offset), section.begin() + long(offset + n),
                  p.begin() + long(at));
        offset += n;
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// A section with its length filled in and a CRC placeholder (not checked by the reader).
std::vector<uint8_t> Section(uint8_t tableId, uint16_t idExtension, std::vector<uint8_t> body) {
    std::vector<uint8_t> s = {tableId, 0, 0, uint8_t(idExtension >> 8), uint8_t(idExtension),
                              0xC1,    0, 0};
    s.insert(s.end(), body.begin(), body.end());
    s.insert(s.end(), {0, 0, 0, 0});
    size_t length = s.size() - 3;
    s[1] = uint8_t(0xB0 | (length >> 8));
    s[2] = uint8_t(length);
    return s;
}

}  // namespace

TEST(ProgramMap, FindsTheFirstProgramsPcrVideoAndAudioFromPatAndPmt) {
    // PAT: the network PID entry first, then service 7 at PMT PID 0x1000.
    auto pat = Section(0x00, 1, {0x00, 0x00, 0xE0, 0x10, 0x00, 0x07, 0xF0, 0x00});
    // PMT of service 7: PCR on 0x100; a private stream without descriptors (skipped), AVC on
    // 0x100, AC-3 signalled by descriptor on 0x101, MPEG-2 audio on 0x102 (not the first audio);
    // a long descriptor loop pushes the section over two packets.
    std::vector<uint8_t> body = {0xE1, 0x00, 0xF0, 0x00};
    body.insert(body.end(), {0x06, 0xE0, 0x50, 0xF0, 0x00});
    body.insert(body.end(), {0x1B, 0xE1, 0x00, 0xF0, 0x00});
    std::vector<uint8_t> ac3 = {0x06, 0xE1, 0x01, 0xF0, 0xC8};
    for (int i = 0; i < 66; ++i)
        ac3.insert(ac3.end(), {0x0A, 0x01, 0x00});  // language descriptors
    ac3.insert(ac3.end(), {0x6A, 0x00});
    body.insert(body.end(), ac3.begin(), ac3.end());
    body.insert(body.end(), {0x03, 0xE1, 0x02, 0xF0, 0x00});
    auto pmt = Section(0x02, 7, body);
    ASSERT_GT(pmt.size(), 184u);

    CProgramMap map;
    auto pmtPackets = SectionPackets(0x1000, pmt);
    map.OnTs(pmtPackets.data(), pmtPackets.size());  // before the PAT: not yet known as a PMT
    EXPECT_FALSE(map.Get().complete);
    auto patPackets = SectionPackets(0x0000, pat);
    map.OnTs(patPackets.data(), patPackets.size());
    map.OnTs(pmtPackets.data(), pmtPackets.size());
    auto streams = map.Get();
    ASSERT_TRUE(streams.complete);
    EXPECT_EQ(streams.serviceId, 7);
    EXPECT_EQ(streams.pcrPid, 0x100);
    EXPECT_EQ(streams.videoPid, 0x100);
    EXPECT_EQ(streams.videoType, AV_VID_STREAM_TYPE_H264);
    EXPECT_EQ(streams.audioPid, 0x101);
    EXPECT_EQ(streams.audioType, AV_AUD_STREAM_TYPE_AC3);
}

TEST(ProbeReport, TextIsEscapedAndBoundedByItsField) {
    const char name[8] = {'A', '"', 'b', '\\', 'c', '\x01', '\xE9', 'Z'};  // no terminator
    EXPECT_EQ(JsonText(name, sizeof(name)), "\"A\\\"b\\\\c\\u0001\\u00e9Z\"");
    EXPECT_EQ(JsonText("ab\0cd", 5), "\"ab\"");

    Kestrel::Probe::ProbeReport_t report{};
    report.streamInfo.u32ProgramNum = 1;
    report.streamInfo.stProgramInfo[0].u16ServiceID = 7;
    report.ptsValid[2] = true;
    report.pts[2] = 8589934591LL;
    std::string json = Kestrel::Probe::ReportJson(report);
    EXPECT_NE(json.find("\"stProgramInfo\":[{\"u16ServiceID\":7,\"s8ServiceName\":\"\","
                        "\"s8serviceProvider\":\"\"}]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"pts\":{\"video\":null,\"audio\":null,\"pcr\":8589934591}"),
              std::string::npos)
        << json;
}
