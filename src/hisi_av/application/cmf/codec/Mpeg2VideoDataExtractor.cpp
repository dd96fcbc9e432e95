#include "hisi_av/application/cmf/codec/Mpeg2VideoDataExtractor.h"

#include <vector>

#include "hisi_av/application/cmf/anc/data/CcPacket.h"
#include "hisi_av/application/cmf/codec/BitstreamReader.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoAu.h"
#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"
#include "hisi_av/application/cmf/codec/VideoAccessUnit.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoPictureHeader.h"
#include "hisi_av/application/cmf/codec/data/Mpeg2VideoUserData.h"
#include "hisi_av/application/cmf/internal/Math.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

using Header_t = Mpeg2VideoHeader;
using Info_t = VideoCodecInfo_t;
using Picture_t = PictureInfo_t;

constexpr std::size_t CODED_HEIGHT_1088 = 1088;
constexpr std::size_t HEIGHT_1080 = 1080;
constexpr unsigned int SIZE_EXTENSION_SHIFT = 12;

struct Fraction_t {
    std::size_t num;
    std::size_t den;
};

// frame_rate_code 0..9 (H.262 Table 6-4); forbidden and reserved codes give an unknown rate.
constexpr Fraction_t FRAME_RATES[] = {{0, 1},  {24000, 1001}, {24, 1},       {25, 1}, {30000, 1001},
                                      {30, 1}, {50, 1},       {60000, 1001}, {60, 1}, {0, 1}};

// Frame period in 90 kHz ticks by frame_rate_code: 9,000,000 / (rate x 100), truncated.
constexpr uint64_t PTS_OFFSETS[] = {0, 3753, 3750, 3600, 3003, 3000, 1800, 1501, 1500, 0};

// Display aspect ratios by aspect_ratio_information (H.262 Table 6-3); 0 where the picture's own
// shape is the display shape.
constexpr Fraction_t DISPLAY_ASPECT_RATIOS[] = {{0, 0},  {0, 0},     {4, 3},
                                                {16, 9}, {221, 100}, {0, 0}};

// The entry for `code`, or the last one (reserved codes) beyond the table.
template <typename T, std::size_t N>
T Lookup(const T (&table)[N], unsigned int code) {
    return table[code < N ? code : N - 1];
}

Info_t::Profile_e MapProfile(Mpeg2VideoSeqExtension_t::ProfileIdc_e profile) {
    switch (profile) {
        case Mpeg2VideoSeqExtension_t::PROFILE_HIGH:
            return Info_t::PROFILE_M2_HIGH;
        case Mpeg2VideoSeqExtension_t::PROFILE_SPATIALLY_SCALABLE:
            return Info_t::PROFILE_M2_SPATIAL;
        case Mpeg2VideoSeqExtension_t::PROFILE_SNR_SCALABLE:
            return Info_t::PROFILE_M2_SNR;
        case Mpeg2VideoSeqExtension_t::PROFILE_MAIN:
            return Info_t::PROFILE_M2_MP;
        case Mpeg2VideoSeqExtension_t::PROFILE_SIMPLE:
            return Info_t::PROFILE_M2_SP;
        case Mpeg2VideoSeqExtension_t::PROFILE_4_2_2:
            return Info_t::PROFILE_M2_422P;
        default:
            return Info_t::PROFILE_UNKNOWN;
    }
}

Info_t::Level_e MapLevel(Mpeg2VideoSeqExtension_t::LevelIdc_e level) {
    switch (level) {
        case Mpeg2VideoSeqExtension_t::LEVEL_HIGH:
            return Info_t::LEVEL_HIGH;
        case Mpeg2VideoSeqExtension_t::LEVEL_HIGH_1440:
            return Info_t::LEVEL_HIGH1440;
        case Mpeg2VideoSeqExtension_t::LEVEL_MAIN:
            return Info_t::LEVEL_MAIN;
        case Mpeg2VideoSeqExtension_t::LEVEL_LOW:
            return Info_t::LEVEL_LOW;
        default:
            return Info_t::LEVEL_UNKNOWN;
    }
}

Picture_t::TransChars_e MapTransChars(Mpeg2VideoSeqDisplayExtension_t::TransChars_e transChars) {
    switch (transChars) {
        case Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_BT709:
            return Picture_t::TRANS_CHARS_BT709;
        case Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_GAMMA22:
            return Picture_t::TRANS_CHARS_GAMMA22;
        case Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_GAMMA28:
            return Picture_t::TRANS_CHARS_GAMMA28;
        case Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_SMPTE170M:
            return Picture_t::TRANS_CHARS_BT601;
        case Mpeg2VideoSeqDisplayExtension_t::TRANS_CHARS_SMPTE240M:
            return Picture_t::TRANS_CHARS_SMPTE240M;
        default:
            return Picture_t::TRANS_CHARS_UNSPECIFIED;
    }
}

}  // namespace

Mpeg2VideoDataExtractor::Mpeg2VideoDataExtractor(SharedScheduler& scheduler)
    : VideoDataExtractor(scheduler), m_CurrentIFrameTempRef(0), m_CurrentPtsOffset(0) {}

Mpeg2VideoDataExtractor::~Mpeg2VideoDataExtractor() = default;

void Mpeg2VideoDataExtractor::ExtractDataFromSeqHeader(const Mpeg2VideoSeqHeader_t& seqHeader,
                                                       Info_t& info) {
    Picture_t& pic = info.pic;
    pic.width = seqHeader.horizontalSizeValue;
    pic.height = seqHeader.verticalSizeValue;
    if (pic.height == CODED_HEIGHT_1088) {
        pic.height = HEIGHT_1080;
    }
    info.tier = Info_t::TIER_NA;

    pic.aspectRatioNum = pic.width;
    pic.aspectRatioDen = pic.height != 0 ? pic.height : 1;
    Math::ReduceFraction(pic.aspectRatioNum, pic.aspectRatioDen);
    info.aspectNum = pic.aspectRatioNum;
    info.aspectDen = pic.aspectRatioDen;
    // The records are plain: a caller may have set any code, not only the parser's.
    const Fraction_t display = Lookup(DISPLAY_ASPECT_RATIOS, seqHeader.aspectRatioInformation);
    if (display.num != 0) {
        info.aspectNum = display.num;
        info.aspectDen = display.den;
    }

    const Fraction_t rate = Lookup(FRAME_RATES, seqHeader.frameRateCode);
    pic.frameRateNum = rate.num;
    pic.frameRateDen = rate.den;
}

void Mpeg2VideoDataExtractor::ExtractDataFromSeqExtension(
    const Mpeg2VideoSeqExtension_t& seqExtension, Mpeg2VideoSeqHeader_t& seqHeader, Info_t& info) {
    // The header holds the low 12 bits of each dimension (H.262 6.3.5).
    seqHeader.horizontalSizeValue =
        (seqHeader.horizontalSizeValue & 0xFFF) | (seqExtension.horizontalSizeExtension & 0x3)
                                                      << SIZE_EXTENSION_SHIFT;
    seqHeader.verticalSizeValue =
        (seqHeader.verticalSizeValue & 0xFFF) | (seqExtension.verticalSizeExtension & 0x3)
                                                    << SIZE_EXTENSION_SHIFT;
    info.pic.scan =
        seqExtension.progressiveSequence ? Picture_t::SCAN_PROGRESSIVE : Picture_t::SCAN_INTERLACED;
    if (seqExtension.chromaFormat != Mpeg2VideoSeqExtension_t::CHROMA_RESERVED) {
        // ChromaFormatIdc_e and ChromaFormat_e share the codes 1..3.
        info.pic.pixelFormat.format =
            GetPicturePixelFormat(static_cast<Picture_t::ChromaFormat_e>(seqExtension.chromaFormat),
                                  8, Picture_t::PIXFMT_TYPE_PLANAR);
    }
    info.pic.pixelFormat.hwFrame = false;
    info.profile = MapProfile(seqExtension.profile);
    info.level = MapLevel(seqExtension.level);
}

void Mpeg2VideoDataExtractor::ExtractDataFromSeqDisplayExtension(
    const Mpeg2VideoSeqDisplayExtension_t& seqDisplayExtension, Info_t& info) {
    if (seqDisplayExtension.colourDescription) {
        info.pic.transChars = MapTransChars(seqDisplayExtension.transChars);
    }
}

void Mpeg2VideoDataExtractor::ExtractDataFromPictureCodingExtension(
    const Mpeg2VideoPictureCodingExtension_t& pictureCodingExtension, Info_t& info) {
    switch (pictureCodingExtension.pictureStructure) {
        case Mpeg2VideoPictureCodingExtension_t::PICTURE_STRUCTURE_TOP_FIELD:
        case Mpeg2VideoPictureCodingExtension_t::PICTURE_STRUCTURE_BOT_FIELD:
            info.encodingType = Info_t::ENCODING_TYPE_FIELD_ENCODING;
            break;
        case Mpeg2VideoPictureCodingExtension_t::PICTURE_STRUCTURE_FRAME:
            info.encodingType = Info_t::ENCODING_TYPE_FRAME_ENCODING;
            break;
        default:
            info.encodingType = Info_t::ENCODING_TYPE_UNKNOWN;
            break;
    }
}

uint64_t Mpeg2VideoDataExtractor::GetPtsOffset(const Mpeg2VideoSeqHeader_t& seqHeader) {
    return Lookup(PTS_OFFSETS, seqHeader.frameRateCode);
}

bool Mpeg2VideoDataExtractor::ExtractCodecInfo(const Mpeg2VideoAu& au, Info_t& info) {
    Header_t header;
    if (!au.GetFirstHeaderByType(Header_t::SEQUENCE_HEADER_SC, header)) {
        return false;
    }
    Mpeg2VideoSeqHeader_t seqHeader;
    {
        BitstreamReader reader(header.GetData());
        if (!seqHeader.Parse(reader)) {
            return false;
        }
    }
    if (au.GetExtensionByType(Header_t::EXTENSION_SEQUENCE, header)) {
        BitstreamReader reader(header.GetData());
        Mpeg2VideoSeqExtension_t seqExtension;
        if (!seqExtension.Parse(reader)) {
            return false;
        }
        ExtractDataFromSeqExtension(seqExtension, seqHeader, info);
    }
    if (au.GetExtensionByType(Header_t::EXTENSION_SEQUENCE_DISPLAY, header)) {
        BitstreamReader reader(header.GetData());
        Mpeg2VideoSeqDisplayExtension_t seqDisplayExtension;
        if (!seqDisplayExtension.Parse(reader)) {
            return false;
        }
        ExtractDataFromSeqDisplayExtension(seqDisplayExtension, info);
    }
    if (au.GetExtensionByType(Header_t::EXTENSION_PICTURE_CODING, header)) {
        BitstreamReader reader(header.GetData());
        Mpeg2VideoPictureCodingExtension_t pictureCodingExtension;
        // Field or frame coding is not part of the comparison: a failure costs nothing more.
        if (pictureCodingExtension.Parse(reader)) {
            ExtractDataFromPictureCodingExtension(pictureCodingExtension, info);
        }
    }
    ExtractDataFromSeqHeader(seqHeader, info);
    m_SeqHeader = seqHeader;
    return true;
}

void Mpeg2VideoDataExtractor::PutAu(const AccessUnit& accessUnit) {
    const auto* pAu = dynamic_cast<const Mpeg2VideoAu*>(&accessUnit);
    if (pAu == nullptr) {
        XP::MyPrintf("Access unit not Mpeg2 Video.");
        return;
    }
    const Mpeg2VideoAu& au = *pAu;
    CountBitrateBytes(au.GetSize());

    Info_t info;
    if (ExtractCodecInfo(au, info) && info != m_CodecInfo) {
        m_CodecInfo = info;
        m_InfoDelegate(m_CodecInfo);
    }

    VideoAccessUnit videoAu(au, m_CodecInfo);
    Header_t header;
    Mpeg2VideoPictureHeader_t picture;
    const bool pictureFound =
        au.GetFirstHeaderByType(Header_t::PICTURE_SC, header) && picture.Parse(header);
    switch (pictureFound ? picture.codingType
                         : Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_FORBIDDEN) {
        case Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_I:
            videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_I);
            break;
        case Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_P:
            videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_P);
            break;
        case Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_B:
            videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_B);
            break;
        default:
            XP::MyPrintf("Unable to determine Mpeg2 video frame type");
            break;
    }

    // Pictures are sent in coding order; the temporal reference is the display position within
    // the group, one frame period apart, which places a picture relative to the last I picture.
    Pcr derivedPts;
    if (pictureFound && picture.codingType == Mpeg2VideoPictureHeader_t::PIC_CODING_TYPE_I) {
        m_CurrentIFramePtsValue = au.GetPts();
        m_CurrentIFrameTempRef = picture.temporalRefrence;
        m_CurrentPtsOffset = GetPtsOffset(m_SeqHeader);
        derivedPts = au.GetPts();
    } else if (pictureFound && m_CurrentIFramePtsValue.IsValid()) {
        const uint64_t frames = picture.temporalRefrence < m_CurrentIFrameTempRef
                                    ? m_CurrentIFrameTempRef - picture.temporalRefrence
                                    : picture.temporalRefrence - m_CurrentIFrameTempRef;
        const Pcr distance(m_CurrentPtsOffset * frames * Pcr::EXT_RANGE);
        derivedPts = picture.temporalRefrence < m_CurrentIFrameTempRef
                         ? m_CurrentIFramePtsValue - distance
                         : m_CurrentIFramePtsValue + distance;
    }
    if (!au.GetPts().IsValid()) {
        videoAu.SetPts(derivedPts);
    }
    m_Delegate(videoAu);

    PublishCaptions(au, au.GetPts().IsValid() ? au.GetPts() : derivedPts);
}

void Mpeg2VideoDataExtractor::PublishCaptions(const Mpeg2VideoAu& au, const Pcr& pts) {
    std::vector<Header_t> headers;
    if (!au.GetHeaderByType(Header_t::USER_DATA_SC, headers)) {
        return;
    }
    for (const Header_t& header : headers) {
        Mpeg2VideoUserData_t userData;
        if (userData.Parse(header) && userData.userIdentifier == Mpeg2VideoUserData_t::DVB1_DATA &&
            userData.userDataTypeCode == Mpeg2VideoUserData_t::USER_DATA_TYPE_CC) {
            CcPacket_t packet;
            packet.pts = pts;
            packet.data = userData.data;
            m_CcPacketDelegate(packet);
        }
    }
}

}  // namespace Cmf
