#include "hisi_av/application/cmf/picture/PictureInfo.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Pic = Cmf::PictureInfo_t;

std::string Join(const std::vector<std::string>& tokens) {
    std::string text;
    for (const std::string& token : tokens) {
        text += token;
    }
    return text;
}

Pic HdInterlaced() {
    Pic pic;
    pic.width = 1920;
    pic.height = 1080;
    pic.scan = Pic::SCAN_INTERLACED;
    pic.frameRateNum = 30000;
    pic.frameRateDen = 1001;
    pic.aspectRatioNum = 16;
    pic.aspectRatioDen = 9;
    pic.pixelFormat.format = Pic::PIXFMT_YUV420P;
    pic.transChars = Pic::TRANS_CHARS_BT709;
    return pic;
}

TEST(PictureInfoTest, TextFormTokenByToken) {
    EXPECT_EQ(Cmf::GetPictureInfoString(HdInterlaced()),
              Join({"1920",  "x",          "1080", "I ",   "sw_", "yuv420p ", "4:2:0 ",
                    "29.97", "fps ",       "16",   ":",    "9",   "aspect ",  "8",
                    "bit ",  "Mastering ", "n ",   "Cll ", "n ",  "TC-BT709 "}));

    Pic uhd;
    uhd.width = 3840;
    uhd.height = 2160;
    uhd.scan = Pic::SCAN_PROGRESSIVE_SEGMENTED_FRAME;
    uhd.frameRateNum = 50;
    uhd.pixelFormat = {Pic::PIXFMT_Y210, true};
    uhd.masteringValid = true;
    uhd.cllValid = true;
    EXPECT_EQ(Cmf::GetPictureInfoString(uhd),
              Join({"3840", "x",          "2160", "PsF ", "hw_", "y210 ",          "4:2:2 ",
                    "50",   "fps ",       "0",    ":",    "1",   "aspect ",        "10",
                    "bit ", "Mastering ", "y ",   "Cll ", "y ",  "TC-Unspecified "}));

    // Every transfer token (14 and 15 share one; a value beyond the list prints as unspecified),
    // then every format with its chroma and depth (a value beyond the list prints as unknown).
    const std::vector<std::string> transfer = {
        "Unspecified", "BT709",        "Gamma2.2",  "Gamma2.8",  "BT601",
        "240M",        "Linear",       "Log",       "Sqrt",      "IEC61966-2-4",
        "BT1361",      "IEC61996-2-1", "BT2010-10", "BT2020-12", "SMPTE2048",
        "SMPTE2048",   "B67",          "CIE1931",   "ISO26428",  "Unspecified"};
    for (std::size_t value = 0; value < transfer.size(); ++value) {
        Pic pic;
        pic.transChars = static_cast<Pic::TransChars_e>(value);
        EXPECT_EQ(
            Cmf::GetPictureInfoString(pic),
            "0x0? sw_? ?:?:? 0fps 0:1aspect 8bit Mastering n Cll n TC-" + transfer[value] + " ");
    }
    const std::vector<std::string> formats = {
        "? ?:?:? ",       "yuv420p 4:2:0 ",   "yuvj420p 4:2:0 ", "yuv420p10 4:2:0 ",
        "yuv422p 4:2:2 ", "yuv422p10 4:2:2 ", "nv12 4:2:0 ",     "p010 4:2:0 ",
        "yuyv422 4:2:2 ", "y210 4:2:2 ",      "? ?:?:? "};
    const unsigned int depths[] = {8, 8, 8, 10, 8, 10, 8, 10, 8, 10, 8};
    for (int value = -1; value < 10; ++value) {
        Pic pic;
        pic.pixelFormat.format = static_cast<Pic::PixelFormat_e>(value);
        EXPECT_EQ(Cmf::GetPictureInfoString(pic),
                  "0x0? sw_" + formats[value + 1] + "0fps 0:1aspect " +
                      std::to_string(depths[value + 1]) + "bit Mastering n Cll n TC-Unspecified ");
    }
}

TEST(PictureInfoTest, PixelFormatProperties) {
    struct Case {
        Pic::PixelFormat_e format;
        Pic::ChromaFormat_e chroma;
        unsigned int bitDepth;
        Pic::PixelFormatType_e type;
    };
    const Case cases[] = {
        {Pic::PIXFMT_UNKNOWN, Pic::CHROMA_UNKNOWN, 8, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_YUV420P, Pic::CHROMA_420, 8, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_YUVJ420P, Pic::CHROMA_420, 8, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_YUV420P10, Pic::CHROMA_420, 10, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_YUV422P, Pic::CHROMA_422, 8, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_YUV422P10, Pic::CHROMA_422, 10, Pic::PIXFMT_TYPE_PLANAR},
        {Pic::PIXFMT_NV12, Pic::CHROMA_420, 8, Pic::PIXFMT_TYPE_SEMI_PLANAR},
        {Pic::PIXFMT_P010, Pic::CHROMA_420, 10, Pic::PIXFMT_TYPE_SEMI_PLANAR},
        {Pic::PIXFMT_YUYV422, Pic::CHROMA_422, 8, Pic::PIXFMT_TYPE_PACKED},
        {Pic::PIXFMT_Y210, Pic::CHROMA_422, 10, Pic::PIXFMT_TYPE_PACKED},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cmf::GetPictureChroma(c.format), c.chroma) << c.format;
        EXPECT_EQ(Cmf::GetPictureBitDepth(c.format), c.bitDepth) << c.format;
        EXPECT_EQ(Cmf::GetPicturePixelFormatType(c.format), c.type) << c.format;
        // Every format but the full-range one is the format of its own properties.
        if (c.format != Pic::PIXFMT_UNKNOWN && c.format != Pic::PIXFMT_YUVJ420P) {
            EXPECT_EQ(Cmf::GetPicturePixelFormat(c.chroma, c.bitDepth, c.type), c.format);
        }
    }
    // Semi-planar 4:2:2 gives the packed formats; combinations without a format of their own give
    // planar 4:2:0 8-bit, not unknown.
    EXPECT_EQ(Cmf::GetPicturePixelFormat(Pic::CHROMA_422, 8, Pic::PIXFMT_TYPE_SEMI_PLANAR),
              Pic::PIXFMT_YUYV422);
    EXPECT_EQ(Cmf::GetPicturePixelFormat(Pic::CHROMA_444, 8, Pic::PIXFMT_TYPE_PLANAR),
              Pic::PIXFMT_YUV420P);
    EXPECT_EQ(Cmf::GetPicturePixelFormat(Pic::CHROMA_420, 8, Pic::PIXFMT_TYPE_PACKED),
              Pic::PIXFMT_YUV420P);

    // One property replaced, the other two kept; unknown counts as planar 8-bit.
    Pic::PixelFormat_e format = Pic::PIXFMT_NV12;
    Cmf::UpdatePicturePixelFormatWithBitDepth(10, format);
    EXPECT_EQ(format, Pic::PIXFMT_P010);
    Cmf::UpdatePicturePixelFormatWithChroma(Pic::CHROMA_422, format);
    EXPECT_EQ(format, Pic::PIXFMT_Y210);
    format = Pic::PIXFMT_UNKNOWN;
    Cmf::UpdatePicturePixelFormatWithChroma(Pic::CHROMA_422, format);
    EXPECT_EQ(format, Pic::PIXFMT_YUV422P);
}

TEST(PictureInfoTest, EqualityCountsOnlyValidMetadata) {
    const Pic base = HdInterlaced();
    std::vector<Pic> changed(12, base);
    changed[0].width = 1280;
    changed[1].height = 720;
    changed[2].frameRateNum = 25;
    changed[3].frameRateDen = 1000;
    changed[4].aspectRatioNum = 4;
    changed[5].aspectRatioDen = 3;
    changed[6].pixelFormat.format = Pic::PIXFMT_NV12;
    changed[7].pixelFormat.hwFrame = true;
    changed[8].scan = Pic::SCAN_PROGRESSIVE;
    changed[9].masteringValid = true;
    changed[10].cllValid = true;
    changed[11].transChars = Pic::TRANS_CHARS_BT601;
    for (std::size_t i = 0; i < changed.size(); ++i) {
        EXPECT_NE(base, changed[i]) << i;
    }

    // Metadata values count only behind a set valid flag.
    Pic hdr = base;
    hdr.mastering.xG = 0.17f;
    hdr.cll.maxAvg = 400;
    EXPECT_EQ(base, hdr);
    Pic hdrBase = base;
    hdrBase.masteringValid = hdrBase.cllValid = hdr.masteringValid = hdr.cllValid = true;
    hdr.cll.maxAvg = 0;
    EXPECT_NE(hdrBase, hdr);  // xG alone
    hdr.mastering.xG = 0.0f;
    hdr.cll.maxAvg = 400;
    EXPECT_NE(hdrBase, hdr);  // maxAvg alone
    hdr.cll.maxAvg = 0;
    EXPECT_EQ(hdrBase, hdr);
}

}  // namespace
