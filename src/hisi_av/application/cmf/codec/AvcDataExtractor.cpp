#include "hisi_av/application/cmf/codec/AvcDataExtractor.h"

#include <algorithm>
#include <cstdint>

#include "hisi_av/application/cmf/codec/AvcAu.h"
#include "hisi_av/application/cmf/codec/AvcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/AvcSlice.h"
#include "hisi_av/application/cmf/codec/data/ItuTT35.h"
#include "hisi_av/application/cmf/codec/data/SeiMessage.h"
#include "hisi_av/application/cmf/internal/Math.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

using Info = VideoCodecInfo_t;
using Pic = PictureInfo_t;
using Vui = AvcVuiParameters_t;
using PL = AvcProfileLevel_t;

// A sample aspect ratio of H.264 Table E-1 with the picture sizes the table gives as examples for
// it, and the display aspect ratio each example stands for. Those sizes get that exact ratio
// (4:3 or 16:9) instead of the product of size and sample ratio, which is slightly off.
struct SizeRatio_t {
    std::size_t width;
    std::size_t height;
    std::size_t num;
    std::size_t den;
};

struct SampleAspect_t {
    std::size_t sarWidth;
    std::size_t sarHeight;
    SizeRatio_t examples[2];  // width 0 ends the list
};

// Indexed by aspect_ratio_idc 0..16; 0 (unspecified) and 1 (square) keep the picture's ratio.
constexpr SampleAspect_t SAMPLE_ASPECTS[] = {
    {1, 1, {}},
    {1, 1, {}},
    {12, 11, {{720, 576, 4, 3}, {352, 288, 4, 3}}},
    {10, 11, {{720, 480, 4, 3}, {352, 240, 4, 3}}},
    {16, 11, {{720, 576, 16, 9}, {540, 576, 4, 3}}},
    {40, 33, {{720, 480, 16, 9}, {540, 480, 4, 3}}},
    {24, 11, {{352, 576, 4, 3}, {480, 576, 16, 9}}},
    {20, 11, {{352, 480, 4, 3}, {480, 480, 16, 9}}},
    {32, 11, {{352, 576, 16, 9}}},
    {80, 33, {{352, 480, 16, 9}}},
    {18, 11, {{480, 576, 4, 3}}},
    {15, 11, {{480, 480, 4, 3}}},
    {64, 33, {{528, 576, 16, 9}}},
    {160, 99, {{528, 480, 16, 9}}},
    {4, 3, {{1440, 1080, 16, 9}}},
    {3, 2, {{1280, 1080, 16, 9}}},
    {2, 1, {{960, 1080, 16, 9}}},
};
constexpr std::size_t SAMPLE_ASPECT_COUNT = sizeof(SAMPLE_ASPECTS) / sizeof(SAMPLE_ASPECTS[0]);

Info::Profile_e MapProfile(PL::ProfileIdc_e profile) {
    switch (profile) {
        case PL::PROFILE_BASELINE:
            return Info::PROFILE_M4_BASELINE;
        case PL::PROFILE_MAIN:
            return Info::PROFILE_M4_MAIN;
        case PL::PROFILE_EXTENDED:
            return Info::PROFILE_M4_EXTENDED;
        case PL::PROFILE_HIGH:
        case PL::PROFILE_CONSTRAINED_HIGH:
        case PL::PROFILE_PROGRESSIVE_HIGH:
            return Info::PROFILE_M4_HIGH;
        case PL::PROFILE_HIGH_10:
            return Info::PROFILE_M4_HIGH10;
        case PL::PROFILE_HIGH_10_INTRA:
            return Info::PROFILE_M4_HIGH10_INTRA;
        case PL::PROFILE_HIGH_422:
            return Info::PROFILE_M4_HIGH422;
        case PL::PROFILE_HIGH_422_INTRA:
            return Info::PROFILE_M4_HIGH422_INTRA;
        case PL::PROFILE_HIGH_444_PRED:
            return Info::PROFILE_M4_HIGH444;
        case PL::PROFILE_HIGH_444_INTRA:
        case PL::PROFILE_CAVLC_444_INTRA:
            return Info::PROFILE_M4_HIGH444_INTRA;
        case PL::PROFILE_CONSTRAINED_BASELINE:
            return Info::PROFILE_M4_CONSTRAINED_BASELINE;
        default:
            return Info::PROFILE_UNKNOWN;
    }
}

Info::Level_e MapLevel(PL::LevelIdc_e level) {
    switch (level) {
        case PL::LEVEL_1:
            return Info::LEVEL_1;
        case PL::LEVEL_1_B:
            return Info::LEVEL_1_B;
        case PL::LEVEL_1_1:
            return Info::LEVEL_1_1;
        case PL::LEVEL_1_2:
            return Info::LEVEL_1_2;
        case PL::LEVEL_1_3:
            return Info::LEVEL_1_3;
        case PL::LEVEL_2:
            return Info::LEVEL_2;
        case PL::LEVEL_2_1:
            return Info::LEVEL_2_1;
        case PL::LEVEL_2_2:
            return Info::LEVEL_2_2;
        case PL::LEVEL_3:
            return Info::LEVEL_3;
        case PL::LEVEL_3_1:
            return Info::LEVEL_3_1;
        case PL::LEVEL_3_2:
            return Info::LEVEL_3_2;
        case PL::LEVEL_4:
            return Info::LEVEL_4;
        case PL::LEVEL_4_1:
            return Info::LEVEL_4_1;
        case PL::LEVEL_4_2:
            return Info::LEVEL_4_2;
        case PL::LEVEL_5:
            return Info::LEVEL_5;
        case PL::LEVEL_5_1:
            return Info::LEVEL_5_1;
        case PL::LEVEL_5_2:
            return Info::LEVEL_5_2;
        case PL::LEVEL_6:
            return Info::LEVEL_6;
        case PL::LEVEL_6_1:
            return Info::LEVEL_6_1;
        case PL::LEVEL_6_2:
            return Info::LEVEL_6_2;
        default:
            return Info::LEVEL_UNKNOWN;
    }
}

// H.264 transfer_characteristics (Table E-4) to the codec-independent enumeration.
Pic::TransChars_e MapTransChars(Vui::TransChars_e transChars) {
    switch (transChars) {
        case Vui::TRANS_CHARS_BT709:
            return Pic::TRANS_CHARS_BT709;
        case Vui::TRANS_CHARS_GAMMA22:
            return Pic::TRANS_CHARS_GAMMA22;
        case Vui::TRANS_CHARS_GAMMA28:
            return Pic::TRANS_CHARS_GAMMA28;
        case Vui::TRANS_CHARS_BT601:
            return Pic::TRANS_CHARS_BT601;
        case Vui::TRANS_CHARS_SMPTE240M:
            return Pic::TRANS_CHARS_SMPTE240M;
        case Vui::TRANS_CHARS_LINEAR:
            return Pic::TRANS_CHARS_LINEAR;
        case Vui::TRANS_CHARS_LOG:
            return Pic::TRANS_CHARS_LOG;
        case Vui::TRANS_CHARS_LOG_SQRT:
            return Pic::TRANS_CHARS_LOG_SQRT;
        case Vui::TRANS_CHARS_IEC61966_2_4:
            return Pic::TRANS_CHARS_IEC61966_2_4;
        case Vui::TRANS_CHARS_BT1361_ECG:
            return Pic::TRANS_CHARS_BT1361_ECG;
        case Vui::TRANS_CHARS_IEC61966_2_1:
            return Pic::TRANS_CHARS_IEC61966_2_1;
        case Vui::TRANS_CHARS_BT2020_10:
            return Pic::TRANS_CHARS_BT2020_10;
        case Vui::TRANS_CHARS_BT2020_12:
            return Pic::TRANS_CHARS_BT2020_12;
        case Vui::TRANS_CHARS_SMPTE2084:
            return Pic::TRANS_CHARS_SMPTE2084;
        case Vui::TRANS_CHARS_SMPTEST428_1:
            return Pic::TRANS_CHARS_SMPTEST428_1;
        case Vui::TRANS_CHARS_ARIB_STD_B67:
            return Pic::TRANS_CHARS_ARIB_STD_B67;
        default:
            return Pic::TRANS_CHARS_UNSPECIFIED;
    }
}

Pic::ChromaFormat_e MapChroma(AvcSps_t::ChromaFormatIdc_e chroma) {
    switch (chroma) {
        case AvcSps_t::CHROMA_420:
            return Pic::CHROMA_420;
        case AvcSps_t::CHROMA_422:
            return Pic::CHROMA_422;
        case AvcSps_t::CHROMA_444:
            return Pic::CHROMA_444;
        default:
            return Pic::CHROMA_UNKNOWN;
    }
}

// A size minus its cropping; cropping that would leave nothing is not applied.
uint64_t Crop(uint64_t size, uint64_t unit, uint64_t first, uint64_t second) {
    const uint64_t crop = unit * (first + second);
    return crop < size ? size - crop : size;
}

}  // namespace

AvcDataExtractor::AvcDataExtractor(SharedScheduler& scheduler) : VideoDataExtractor(scheduler) {}

AvcDataExtractor::~AvcDataExtractor() = default;

void AvcDataExtractor::PutAu(const AccessUnit& au) {
    const AvcAu* pAvcAu = dynamic_cast<const AvcAu*>(&au);
    if (pAvcAu == nullptr) {
        XP::MyPrintf("Access unit not Avc.");
        return;
    }
    CountBitrateBytes(au.GetSize());

    AvcNal slice;
    AvcSlice_t sliceHeader;
    const bool sliceFound = pAvcAu->GetFirstNalSlice(slice);
    // The slice type does not depend on the SPS.
    const bool sliceParsed = sliceFound && sliceHeader.Parse(slice, false, AvcSps_t());

    AvcNal spsNal;
    AvcSps_t sps;
    if (pAvcAu->GetNalByType(AvcNal::SPS_NUT, spsNal) && sps.Parse(spsNal)) {
        ExtractCodecInfo(*pAvcAu, sps, sliceFound, slice);
    }

    PublishCaptions(*pAvcAu);

    VideoAccessUnit videoAu(au, m_CodecInfo);
    if (sliceParsed) {
        switch (sliceHeader.sliceType) {
            case AvcSlice_t::SLICE_TYPE_B:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_B);
                break;
            case AvcSlice_t::SLICE_TYPE_P:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_P);
                break;
            case AvcSlice_t::SLICE_TYPE_I:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_I);
                break;
            default:
                XP::MyPrintf("Unable to determine AVC frame type");
                break;
        }
    }
    m_Delegate(videoAu);
}

void AvcDataExtractor::ExtractCodecInfo(const AvcAu& au, const AvcSps_t& sps, bool sliceFound,
                                        const AvcNal& slice) {
    VideoCodecInfo_t info = ExtractDataFromSps(sps);
    if (info.pic.scan == Pic::SCAN_UNKNOWN) {
        AvcPicTiming_t picTiming;
        if (FindPicTiming(au, sps, picTiming)) {
            ExtractDataFromPicTiming(picTiming, info);
        }
    }
    if (info.pic.scan == Pic::SCAN_UNKNOWN && sliceFound) {
        AvcSlice_t fullSlice;
        if (fullSlice.Parse(slice, true, sps)) {
            info.pic.scan = fullSlice.fieldPicFlag ? Pic::SCAN_INTERLACED : Pic::SCAN_PROGRESSIVE;
        }
    }
    if (info.pic.scan == Pic::SCAN_UNKNOWN) {
        XP::DebugPrintf("SPS and SEI inconclusive. Assuming SCAN_TYPE_PROGRESSIVE");
        info.pic.scan = Pic::SCAN_PROGRESSIVE;
    }
    if (info != m_CodecInfo) {
        m_CodecInfo = info;
        m_InfoDelegate(m_CodecInfo);
    }
}

bool AvcDataExtractor::FindPicTiming(const AvcAu& au, const AvcSps_t& sps,
                                     AvcPicTiming_t& picTiming) {
    for (std::size_t i = 0; i < au.GetNalCount(); ++i) {
        AvcNal nal;
        if (!au.GetNalByIndex(i, nal) || nal.GetUnitType() != AvcNal::SEI_NUT) {
            continue;
        }
        const XP::CBuffer payload = nal.GetPayload();
        RbspReader reader(payload);
        while (reader.GetBytesRemaining() >= 2) {
            SeiMessage_t message;
            if (!message.Parse(reader)) {
                break;
            }
            if (message.payloadType == SeiMessage_t::SEI_PIC_TIMING) {
                return picTiming.Parse(reader, sps.vui);
            }
            message.SkipPayload(reader);
        }
    }
    return false;
}

void AvcDataExtractor::PublishCaptions(const AvcAu& au) {
    for (std::size_t i = 0; i < au.GetNalCount(); ++i) {
        AvcNal nal;
        if (!au.GetNalByIndex(i, nal) || nal.GetUnitType() != AvcNal::SEI_NUT) {
            continue;
        }
        const XP::CBuffer payload = nal.GetPayload();
        RbspReader reader(payload);
        while (reader.GetBytesRemaining() >= 2) {
            SeiMessage_t message;
            if (!message.Parse(reader)) {
                break;
            }
            if (message.payloadType != SeiMessage_t::SEI_USER_DATA_REGISTERED_ITU_T_T35) {
                message.SkipPayload(reader);
                continue;
            }
            // The T.35 bytes as they stand in the NAL unit (after its one-byte header), found by
            // the reader's count, which leaves out emulation-prevention bytes: the view is exact
            // when the messages before it need none, as encoders' caption SEI does. The size the
            // header claims is cut to the bytes there are.
            const XP::CBuffer& nalBytes = nal.GetData();
            const std::size_t offset = std::min(reader.GetBytesParsed() + 1, nalBytes.GetSize());
            const std::size_t size = std::min(message.payloadSize, nalBytes.GetSize() - offset);
            const XP::CBuffer t35Bytes = nalBytes.Subslice(offset, size);
            RbspReader t35Reader(t35Bytes);
            ItuTT35_t t35;
            if (t35.Parse(t35Bytes, t35Reader) &&
                t35.userDataTypeCode == ItuTT35_t::USER_DATA_TYPE_CC &&
                ((t35.ituTT35ProviderCode == ItuTT35_t::PROVIDER_CODE_ATSC &&
                  t35.userIdentifier == ItuTT35_t::DVB1_DATA) ||
                 t35.ituTT35ProviderCode == ItuTT35_t::PROVIDER_CODE_DIRECTV)) {
                CcPacket_t packet;
                packet.pts = au.GetPts();
                packet.data = t35.data;
                m_CcPacketDelegate(packet);
            }
            break;
        }
    }
}

VideoCodecInfo_t AvcDataExtractor::ExtractDataFromSps(const AvcSps_t& sps) {
    VideoCodecInfo_t info;
    Pic& pic = info.pic;

    // Crop units, H.264 7.4.2.1.1 (frame_crop_*_offset).
    const uint64_t fieldFactor = sps.frameMbsOnlyFlag ? 1 : 2;
    uint64_t cropUnitX = 1;
    uint64_t cropUnitY = fieldFactor;
    if (sps.chromaArrayType == AvcSps_t::CHROMA_420) {
        cropUnitX = 2;
        cropUnitY = 2 * fieldFactor;
    } else if (sps.chromaArrayType == AvcSps_t::CHROMA_422) {
        cropUnitX = 2;
    }
    const uint64_t codedWidth = (uint64_t(sps.picWidthInMbsMinus1) + 1) * 16;
    const uint64_t codedHeight = fieldFactor * (uint64_t(sps.picHeightInMapUnitsMinus1) + 1) * 16;
    pic.width = Crop(codedWidth, cropUnitX, sps.frameCropLeftOffset, sps.frameCropRightOffset);
    pic.height = Crop(codedHeight, cropUnitY, sps.frameCropTopOffset, sps.frameCropBottomOffset);
    // 1080-line pictures are coded as 68 macroblock rows; an encoder that does not crop them
    // still means 1080.
    if (pic.height == 1088) {
        pic.height = 1080;
    }

    if (sps.chromaFormatIdc == AvcSps_t::CHROMA_MONO) {
        XP::MyPrintf("Invalid Chroma Format %d\n", int(sps.chromaFormatIdc));
    }
    pic.pixelFormat.format = GetPicturePixelFormat(
        MapChroma(sps.chromaFormatIdc), sps.bitDepthLumaMinus8 + 8u, Pic::PIXFMT_TYPE_PLANAR);
    pic.pixelFormat.hwFrame = false;
    pic.scan = sps.frameMbsOnlyFlag ? Pic::SCAN_PROGRESSIVE : Pic::SCAN_UNKNOWN;

    CalculateAspectRatio(sps.vui, pic.width, pic.height, info.aspectNum, info.aspectDen);
    pic.aspectRatioNum = info.aspectNum;
    pic.aspectRatioDen = info.aspectDen;

    if (sps.vui.timingInfoPresentFlag) {
        // Two ticks per frame (H.264 E.2.1: a tick is one field period).
        uint64_t rateNum = sps.vui.timeScale;
        uint64_t rateDen = 2 * uint64_t(sps.vui.numUnitsInTick);
        if (rateDen == 0) {
            rateDen = 1;
        }
        Math::ReduceFraction(rateNum, rateDen);
        pic.frameRateNum = static_cast<std::size_t>(rateNum);
        pic.frameRateDen = static_cast<std::size_t>(rateDen);
    } else {
        pic.frameRateNum = 0;
        pic.frameRateDen = 1;
    }

    info.profile = MapProfile(sps.profileLevel.profileIdc);
    if (sps.profileLevel.profileIdc == PL::PROFILE_CONSTRAINED_HIGH ||
        sps.profileLevel.profileIdc == PL::PROFILE_PROGRESSIVE_HIGH) {
        // These profiles code frames only.
        pic.scan = Pic::SCAN_PROGRESSIVE;
    }
    info.level = MapLevel(sps.profileLevel.levelIdc);
    info.tier = Info::TIER_NA;

    if (sps.vui.videoSignalTypePresentFlag && sps.vui.colourDescriptionPresentFlag) {
        pic.transChars = MapTransChars(sps.vui.transChars);
    }
    return info;
}

void AvcDataExtractor::ExtractDataFromPicTiming(const AvcPicTiming_t& picTiming,
                                                VideoCodecInfo_t& info) {
    using PT = AvcPicTiming_t;
    // ct_type of the clock timestamps (H.264 Table D-2) says how the source was scanned; the
    // picture structure (Table D-1) how it is displayed.
    if (picTiming.ctType == PT::CT_TYPE_PROGRESSIVE) {
        info.pic.scan = Pic::SCAN_PROGRESSIVE;
    } else if (picTiming.ctType == PT::CT_TYPE_INTERLACED) {
        info.pic.scan = Pic::SCAN_INTERLACED;
    }
    switch (picTiming.picStruct) {
        case PT::PIC_STRUCT_PROGRESSIVE_FRAME:
        case PT::PIC_STRUCT_FRAME_DOUBLING:
        case PT::PIC_STRUCT_FRAME_TRIPLING:
            if (info.pic.scan == Pic::SCAN_UNKNOWN) {
                info.pic.scan = Pic::SCAN_PROGRESSIVE;
            }
            info.encodingType = Info::ENCODING_TYPE_FRAME_ENCODING;
            break;
        case PT::PIC_STRUCT_TOP_FIELD:
        case PT::PIC_STRUCT_BOT_FIELD:
            if (info.pic.scan == Pic::SCAN_UNKNOWN) {
                info.pic.scan = Pic::SCAN_INTERLACED;
            }
            info.encodingType = Info::ENCODING_TYPE_FIELD_ENCODING;
            break;
        case PT::PIC_STRUCT_TOP_BOT:
        case PT::PIC_STRUCT_BOT_TOP:
        case PT::PIC_STRUCT_TOP_BOT_TOP:
        case PT::PIC_STRUCT_BOT_TOP_BOT:
            if (info.pic.scan == Pic::SCAN_UNKNOWN) {
                info.pic.scan = Pic::SCAN_INTERLACED;
            }
            info.encodingType = Info::ENCODING_TYPE_FRAME_ENCODING;
            break;
        default:  // reserved values and no pic_struct
            info.encodingType = Info::ENCODING_TYPE_UNKNOWN;
            break;
    }
}

void AvcDataExtractor::CalculateAspectRatio(const AvcVuiParameters_t& vui, std::size_t width,
                                            std::size_t height, std::size_t& num,
                                            std::size_t& den) {
    uint64_t sarWidth = 1;
    uint64_t sarHeight = 1;
    if (vui.aspectRatioInfoPresentFlag) {
        if (vui.aspectRatioIdc == Vui::SAR_EXTENDED) {
            sarWidth = vui.sarWidth;
            sarHeight = vui.sarHeight;
        } else if (vui.aspectRatioIdc < SAMPLE_ASPECT_COUNT) {
            const SampleAspect_t& aspect = SAMPLE_ASPECTS[vui.aspectRatioIdc];
            for (const SizeRatio_t& example : aspect.examples) {
                if (example.width != 0 && example.width == width && example.height == height) {
                    num = example.num;
                    den = example.den;
                    return;
                }
            }
            sarWidth = aspect.sarWidth;
            sarHeight = aspect.sarHeight;
        }
        // Reserved values (17..254) say nothing: square samples.
    }
    uint64_t aspectNum = uint64_t(width) * sarWidth;
    uint64_t aspectDen = uint64_t(height) * sarHeight;
    if (aspectDen == 0) {
        aspectDen = 1;
    }
    Math::ReduceFraction(aspectNum, aspectDen);
    num = static_cast<std::size_t>(aspectNum);
    den = static_cast<std::size_t>(aspectDen);
}

}  // namespace Cmf
