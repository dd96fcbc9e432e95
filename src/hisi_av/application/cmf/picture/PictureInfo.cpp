#include "hisi_av/application/cmf/picture/PictureInfo.h"

#include <sstream>

#include "hisi_av/application/cmf/internal/EnumToken.h"

namespace Cmf {
namespace {

using Pic = PictureInfo_t;

#define CMF_PICTURE_TOKEN(name, value, token) {Pic::name, token},

constexpr XP::EnumName_t<Pic::ChromaFormat_e> CHROMA_TOKENS[] = {
    CMF_CHROMA_FORMAT_LIST(CMF_PICTURE_TOKEN)};
constexpr XP::EnumName_t<Pic::PixelFormat_e> PIXEL_FORMAT_TOKENS[] = {
    CMF_PIXEL_FORMAT_LIST(CMF_PICTURE_TOKEN)};
constexpr XP::EnumName_t<Pic::ScanType_e> SCAN_TOKENS[] = {CMF_SCAN_TYPE_LIST(CMF_PICTURE_TOKEN)};
constexpr XP::EnumName_t<Pic::TransChars_e> TRANS_CHARS_TOKENS[] = {
    CMF_TRANS_CHARS_LIST(CMF_PICTURE_TOKEN)};

#undef CMF_PICTURE_TOKEN

bool operator==(const Pic::MasteringDisplay_t& a, const Pic::MasteringDisplay_t& b) {
    return a.xG == b.xG && a.yG == b.yG && a.xB == b.xB && a.yB == b.yB && a.xR == b.xR &&
           a.yR == b.yR && a.xW == b.xW && a.yW == b.yW && a.lMin == b.lMin && a.lMax == b.lMax;
}

bool operator==(const Pic::ContentLightLevel_t& a, const Pic::ContentLightLevel_t& b) {
    return a.maxCll == b.maxCll && a.maxAvg == b.maxAvg;
}

}  // namespace

bool PictureInfo_t::operator==(const PictureInfo_t& other) const {
    return width == other.width && height == other.height && frameRateNum == other.frameRateNum &&
           frameRateDen == other.frameRateDen && aspectRatioNum == other.aspectRatioNum &&
           aspectRatioDen == other.aspectRatioDen && pixelFormat == other.pixelFormat &&
           scan == other.scan && masteringValid == other.masteringValid &&
           cllValid == other.cllValid && transChars == other.transChars &&
           (!masteringValid || mastering == other.mastering) && (!cllValid || cll == other.cll);
}

PictureInfo_t::ChromaFormat_e GetPictureChroma(PictureInfo_t::PixelFormat_e format) {
    switch (format) {
        case Pic::PIXFMT_YUV420P:
        case Pic::PIXFMT_YUVJ420P:
        case Pic::PIXFMT_YUV420P10:
        case Pic::PIXFMT_NV12:
        case Pic::PIXFMT_P010:
            return Pic::CHROMA_420;
        case Pic::PIXFMT_YUV422P:
        case Pic::PIXFMT_YUV422P10:
        case Pic::PIXFMT_YUYV422:
        case Pic::PIXFMT_Y210:
            return Pic::CHROMA_422;
        case Pic::PIXFMT_UNKNOWN:
            break;
    }
    return Pic::CHROMA_UNKNOWN;
}

unsigned int GetPictureBitDepth(PictureInfo_t::PixelFormat_e format) {
    switch (format) {
        case Pic::PIXFMT_YUV420P10:
        case Pic::PIXFMT_YUV422P10:
        case Pic::PIXFMT_P010:
        case Pic::PIXFMT_Y210:
            return 10;
        default:
            return 8;
    }
}

PictureInfo_t::PixelFormatType_e GetPicturePixelFormatType(PictureInfo_t::PixelFormat_e format) {
    switch (format) {
        case Pic::PIXFMT_NV12:
        case Pic::PIXFMT_P010:
            return Pic::PIXFMT_TYPE_SEMI_PLANAR;
        case Pic::PIXFMT_YUYV422:
        case Pic::PIXFMT_Y210:
            return Pic::PIXFMT_TYPE_PACKED;
        default:
            return Pic::PIXFMT_TYPE_PLANAR;
    }
}

PictureInfo_t::PixelFormat_e GetPicturePixelFormat(PictureInfo_t::ChromaFormat_e chroma,
                                                   unsigned int bitDepth,
                                                   PictureInfo_t::PixelFormatType_e type) {
    struct Entry_t {
        Pic::PixelFormatType_e type;
        Pic::ChromaFormat_e chroma;
        unsigned int bitDepth;
        Pic::PixelFormat_e format;
    };
    // Semi-planar 4:2:2 has no format of its own here and maps to the packed ones.
    static constexpr Entry_t FORMATS[] = {
        {Pic::PIXFMT_TYPE_PLANAR, Pic::CHROMA_420, 8, Pic::PIXFMT_YUV420P},
        {Pic::PIXFMT_TYPE_PLANAR, Pic::CHROMA_422, 8, Pic::PIXFMT_YUV422P},
        {Pic::PIXFMT_TYPE_PLANAR, Pic::CHROMA_420, 10, Pic::PIXFMT_YUV420P10},
        {Pic::PIXFMT_TYPE_PLANAR, Pic::CHROMA_422, 10, Pic::PIXFMT_YUV422P10},
        {Pic::PIXFMT_TYPE_SEMI_PLANAR, Pic::CHROMA_420, 8, Pic::PIXFMT_NV12},
        {Pic::PIXFMT_TYPE_SEMI_PLANAR, Pic::CHROMA_420, 10, Pic::PIXFMT_P010},
        {Pic::PIXFMT_TYPE_SEMI_PLANAR, Pic::CHROMA_422, 8, Pic::PIXFMT_YUYV422},
        {Pic::PIXFMT_TYPE_SEMI_PLANAR, Pic::CHROMA_422, 10, Pic::PIXFMT_Y210},
        {Pic::PIXFMT_TYPE_PACKED, Pic::CHROMA_422, 8, Pic::PIXFMT_YUYV422},
        {Pic::PIXFMT_TYPE_PACKED, Pic::CHROMA_422, 10, Pic::PIXFMT_Y210},
    };
    for (const Entry_t& entry : FORMATS) {
        if (entry.type == type && entry.chroma == chroma && entry.bitDepth == bitDepth) {
            return entry.format;
        }
    }
    return Pic::PIXFMT_YUV420P;
}

void UpdatePicturePixelFormatWithChroma(PictureInfo_t::ChromaFormat_e chroma,
                                        PictureInfo_t::PixelFormat_e& format) {
    format = GetPicturePixelFormat(chroma, GetPictureBitDepth(format),
                                   GetPicturePixelFormatType(format));
}

void UpdatePicturePixelFormatWithBitDepth(unsigned int bitDepth,
                                          PictureInfo_t::PixelFormat_e& format) {
    format = GetPicturePixelFormat(GetPictureChroma(format), bitDepth,
                                   GetPicturePixelFormatType(format));
}

std::string GetPictureInfoString(const PictureInfo_t& pic) {
    const Pic::PixelFormat_e format = pic.pixelFormat.format;
    const double frameRate = pic.frameRateDen != 0 ? static_cast<double>(pic.frameRateNum) /
                                                         static_cast<double>(pic.frameRateDen)
                                                   : 0.0;
    std::ostringstream text;
    text << pic.width << "x" << pic.height << TokenOf(SCAN_TOKENS, pic.scan, Pic::SCAN_UNKNOWN)
         << (pic.pixelFormat.hwFrame ? "hw_" : "sw_")
         << TokenOf(PIXEL_FORMAT_TOKENS, format, Pic::PIXFMT_UNKNOWN)
         << TokenOf(CHROMA_TOKENS, GetPictureChroma(format), Pic::CHROMA_UNKNOWN) << frameRate
         << "fps " << pic.aspectRatioNum << ":" << pic.aspectRatioDen << "aspect "
         << GetPictureBitDepth(format) << "bit "
         << "Mastering " << (pic.masteringValid ? "y " : "n ") << "Cll "
         << (pic.cllValid ? "y " : "n ")
         << TokenOf(TRANS_CHARS_TOKENS, pic.transChars, Pic::TRANS_CHARS_UNSPECIFIED);
    return text.str();
}

}  // namespace Cmf
