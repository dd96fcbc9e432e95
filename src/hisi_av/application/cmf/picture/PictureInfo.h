#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "xptools/EnumTable.h"

// Each enumeration below is declared once as a list of (member, value, text token); the
// enumeration and the token table of the text form are both generated from it. Tokens end in the
// space that separates them from the next one.
#define CMF_CHROMA_FORMAT_LIST(X)  \
    X(CHROMA_UNKNOWN, 0, "?:?:? ") \
    X(CHROMA_420, 1, "4:2:0 ")     \
    X(CHROMA_422, 2, "4:2:2 ")     \
    X(CHROMA_444, 3, "4:4:4 ")

#define CMF_PIXEL_FORMAT_LIST(X)         \
    X(PIXFMT_UNKNOWN, -1, "? ")          \
    X(PIXFMT_YUV420P, 0, "yuv420p ")     \
    X(PIXFMT_YUVJ420P, 1, "yuvj420p ")   \
    X(PIXFMT_YUV420P10, 2, "yuv420p10 ") \
    X(PIXFMT_YUV422P, 3, "yuv422p ")     \
    X(PIXFMT_YUV422P10, 4, "yuv422p10 ") \
    X(PIXFMT_NV12, 5, "nv12 ")           \
    X(PIXFMT_P010, 6, "p010 ")           \
    X(PIXFMT_YUYV422, 7, "yuyv422 ")     \
    X(PIXFMT_Y210, 8, "y210 ")

#define CMF_SCAN_TYPE_LIST(X)                      \
    X(SCAN_UNKNOWN, 0, "? ")                       \
    X(SCAN_PROGRESSIVE, 1, "P ")                   \
    X(SCAN_PROGRESSIVE_SEGMENTED_FRAME, 2, "PsF ") \
    X(SCAN_INTERLACED, 3, "I ")

// 14 and 15 share their token.
#define CMF_TRANS_CHARS_LIST(X)                         \
    X(TRANS_CHARS_UNSPECIFIED, 0, "TC-Unspecified ")    \
    X(TRANS_CHARS_BT709, 1, "TC-BT709 ")                \
    X(TRANS_CHARS_GAMMA22, 2, "TC-Gamma2.2 ")           \
    X(TRANS_CHARS_GAMMA28, 3, "TC-Gamma2.8 ")           \
    X(TRANS_CHARS_BT601, 4, "TC-BT601 ")                \
    X(TRANS_CHARS_SMPTE240M, 5, "TC-240M ")             \
    X(TRANS_CHARS_LINEAR, 6, "TC-Linear ")              \
    X(TRANS_CHARS_LOG, 7, "TC-Log ")                    \
    X(TRANS_CHARS_LOG_SQRT, 8, "TC-Sqrt ")              \
    X(TRANS_CHARS_IEC61966_2_4, 9, "TC-IEC61966-2-4 ")  \
    X(TRANS_CHARS_BT1361_ECG, 10, "TC-BT1361 ")         \
    X(TRANS_CHARS_IEC61966_2_1, 11, "TC-IEC61996-2-1 ") \
    X(TRANS_CHARS_BT2020_10, 12, "TC-BT2010-10 ")       \
    X(TRANS_CHARS_BT2020_12, 13, "TC-BT2020-12 ")       \
    X(TRANS_CHARS_SMPTE2084, 14, "TC-SMPTE2048 ")       \
    X(TRANS_CHARS_SMPTEST428_1, 15, "TC-SMPTE2048 ")    \
    X(TRANS_CHARS_ARIB_STD_B67, 16, "TC-B67 ")          \
    X(TRANS_CHARS_CIE1931, 17, "TC-CIE1931 ")           \
    X(TRANS_CHARS_ISO26428, 18, "TC-ISO26428 ")

// Generates the members of an enumeration from its list; the token tables are generated where
// the text forms are written.
#define CMF_ENUM_MEMBER(name, value, token) name = (value),

namespace Cmf {

// What is known of a decoded picture, independent of the codec: geometry, rate, aspect ratio,
// pixel format, scan, HDR metadata and transfer characteristics. A plain value; the data
// extractors fill it, compare it to decide when to publish, and attach it to access units.
struct PictureInfo_t {
    enum ChromaFormat_e { CMF_CHROMA_FORMAT_LIST(CMF_ENUM_MEMBER) };

    enum PixelFormatType_e {
        PIXFMT_TYPE_UNKNOWN = 0,
        PIXFMT_TYPE_PLANAR = 1,
        PIXFMT_TYPE_SEMI_PLANAR = 2,
        PIXFMT_TYPE_PACKED = 3,
    };

    enum PixelFormat_e { CMF_PIXEL_FORMAT_LIST(CMF_ENUM_MEMBER) };

    enum ScanType_e { CMF_SCAN_TYPE_LIST(CMF_ENUM_MEMBER) };

    enum TransChars_e { CMF_TRANS_CHARS_LIST(CMF_ENUM_MEMBER) };

    struct PixelFormat_t {
        PixelFormat_e format = PIXFMT_UNKNOWN;
        bool hwFrame = false;  // the picture lives in a hardware frame

        bool operator==(const PixelFormat_t& other) const {
            return format == other.format && hwFrame == other.hwFrame;
        }
        bool operator!=(const PixelFormat_t& other) const { return !(*this == other); }
    };

    // Mastering display colour volume: primaries and white point (CIE 1931 x, y) and luminance
    // range (cd/m²).
    struct MasteringDisplay_t {
        float xG = 0.0f;
        float yG = 0.0f;
        float xB = 0.0f;
        float yB = 0.0f;
        float xR = 0.0f;
        float yR = 0.0f;
        float xW = 0.0f;
        float yW = 0.0f;
        float lMin = 0.0f;
        float lMax = 0.0f;
    };

    struct ContentLightLevel_t {
        uint16_t maxCll = 0;
        uint16_t maxAvg = 0;
    };

    PictureInfo_t() = default;
    PictureInfo_t(const PictureInfo_t&) = default;
    PictureInfo_t& operator=(const PictureInfo_t&) = default;
    virtual ~PictureInfo_t() = default;

    // Equal in everything that is valid: mastering values count only while masteringValid, light
    // levels only while cllValid.
    bool operator==(const PictureInfo_t& other) const;
    bool operator!=(const PictureInfo_t& other) const { return !(*this == other); }

    std::size_t width = 0;  // luma samples after cropping
    std::size_t height = 0;
    std::size_t frameRateNum = 0;  // frames per second as a fraction; 0/1 is unknown
    std::size_t frameRateDen = 1;
    std::size_t aspectRatioNum = 0;  // display aspect ratio
    std::size_t aspectRatioDen = 1;
    PixelFormat_t pixelFormat;
    ScanType_e scan = SCAN_UNKNOWN;
    bool masteringValid = false;
    MasteringDisplay_t mastering;
    bool cllValid = false;
    ContentLightLevel_t cll;
    TransChars_e transChars = TRANS_CHARS_UNSPECIFIED;
};

// Properties of a pixel format, and the format that has given properties.
PictureInfo_t::ChromaFormat_e GetPictureChroma(PictureInfo_t::PixelFormat_e format);
unsigned int GetPictureBitDepth(PictureInfo_t::PixelFormat_e format);
PictureInfo_t::PixelFormatType_e GetPicturePixelFormatType(PictureInfo_t::PixelFormat_e format);
// A combination without a format of its own (4:4:4, depths other than 8 and 10, an unknown type)
// gives PIXFMT_YUV420P.
PictureInfo_t::PixelFormat_e GetPicturePixelFormat(PictureInfo_t::ChromaFormat_e chroma,
                                                   unsigned int bitDepth,
                                                   PictureInfo_t::PixelFormatType_e type);

// Replace one property of `format`, keeping the other two.
void UpdatePicturePixelFormatWithChroma(PictureInfo_t::ChromaFormat_e chroma,
                                        PictureInfo_t::PixelFormat_e& format);
void UpdatePicturePixelFormatWithBitDepth(unsigned int bitDepth,
                                          PictureInfo_t::PixelFormat_e& format);

// One-line diagnostic text, e.g.
// "1920x1080I sw_yuv420p 4:2:0 29.97fps 16:9aspect 8bit Mastering n Cll n TC-BT709 ".
std::string GetPictureInfoString(const PictureInfo_t& pic);

}  // namespace Cmf
