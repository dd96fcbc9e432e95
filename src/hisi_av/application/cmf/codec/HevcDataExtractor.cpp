#include "hisi_av/application/cmf/codec/HevcDataExtractor.h"

#include <algorithm>
#include <cstdint>

#include "hisi_av/application/cmf/codec/HevcAu.h"
#include "hisi_av/application/cmf/codec/HevcNal.h"
#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "hisi_av/application/cmf/codec/data/HevcAlternativeTransferCharacteristics.h"
#include "hisi_av/application/cmf/codec/data/HevcContentLightLevel.h"
#include "hisi_av/application/cmf/codec/data/HevcPicTiming.h"
#include "hisi_av/application/cmf/codec/data/ItuTT35.h"
#include "hisi_av/application/cmf/codec/data/SeiMessage.h"
#include "hisi_av/application/cmf/internal/Math.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// Sample aspect ratios of aspect_ratio_idc 1 to 16 (H.265 Table E.1).
constexpr uint16_t SAR_TABLE[17][2] = {
    {0, 1},   {1, 1},   {12, 11}, {10, 11}, {16, 11},  {40, 33}, {24, 11}, {20, 11}, {32, 11},
    {80, 33}, {18, 11}, {15, 11}, {64, 33}, {160, 99}, {4, 3},   {3, 2},   {2, 1},
};

// Highest transfer_characteristics code with a meaning of its own; higher ones count as it.
constexpr unsigned int MAX_TRANS_CHARS_CODE = 19;

constexpr double PRIMARY_UNIT = 0.00002;
constexpr double LUMINANCE_UNIT = 0.0001;

VideoCodecInfo_t::Profile_e MapProfile(unsigned int profileIdc) {
    switch (profileIdc) {
        case HevcProfileTierLevel_t::PROFILE_MAIN:
            return VideoCodecInfo_t::PROFILE_M4_MAIN;
        case HevcProfileTierLevel_t::PROFILE_MAIN_10:
            return VideoCodecInfo_t::PROFILE_MH_MAIN10;
        case HevcProfileTierLevel_t::PROFILE_MAIN_STILL:
            return VideoCodecInfo_t::PROFILE_MH_MAIN_STILL;
        case HevcProfileTierLevel_t::PROFILE_FRX:
            return VideoCodecInfo_t::PROFILE_MH_FRX;
        case HevcProfileTierLevel_t::PROFILE_FRX_HT:
            return VideoCodecInfo_t::PROFILE_MH_FRX_HT;
        default:
            return VideoCodecInfo_t::PROFILE_UNKNOWN;
    }
}

VideoCodecInfo_t::Level_e MapLevel(unsigned int levelIdc) {
    using PTL = HevcProfileTierLevel_t;
    switch (levelIdc) {
        case PTL::LEVEL_1:
            return VideoCodecInfo_t::LEVEL_1;
        case PTL::LEVEL_2:
            return VideoCodecInfo_t::LEVEL_2;
        case PTL::LEVEL_2_1:
            return VideoCodecInfo_t::LEVEL_2_1;
        case PTL::LEVEL_3:
            return VideoCodecInfo_t::LEVEL_3;
        case PTL::LEVEL_3_1:
            return VideoCodecInfo_t::LEVEL_3_1;
        case PTL::LEVEL_4:
            return VideoCodecInfo_t::LEVEL_4;
        case PTL::LEVEL_4_1:
            return VideoCodecInfo_t::LEVEL_4_1;
        case PTL::LEVEL_5:
            return VideoCodecInfo_t::LEVEL_5;
        case PTL::LEVEL_5_1:
            return VideoCodecInfo_t::LEVEL_5_1;
        case PTL::LEVEL_5_2:
            return VideoCodecInfo_t::LEVEL_5_2;
        case PTL::LEVEL_6:
            return VideoCodecInfo_t::LEVEL_6;
        case PTL::LEVEL_6_1:
            return VideoCodecInfo_t::LEVEL_6_1;
        case PTL::LEVEL_6_2:
            return VideoCodecInfo_t::LEVEL_6_2;
        default:
            return VideoCodecInfo_t::LEVEL_UNKNOWN;
    }
}

// A cropped dimension: a window larger than the picture leaves nothing.
std::size_t Crop(uint32_t size, unsigned int unit, uint32_t first, uint32_t second) {
    const uint64_t crop = uint64_t(unit) * (uint64_t(first) + second);
    return crop < size ? static_cast<std::size_t>(size - crop) : 0;
}

// Where the reader stands in the escaped bytes after `parsed` payload bytes: the emulation
// prevention bytes it dropped on the way (and one it would drop next) are counted back in.
std::size_t EscapedOffset(const XP::CBuffer& escaped, std::size_t parsed) {
    const unsigned char* bytes = escaped.GetBegin();
    const std::size_t size = escaped.GetSize();
    std::size_t offset = 0;
    unsigned int zeros = 0;
    for (std::size_t count = 0; offset < size && count < parsed; ++offset) {
        if (zeros >= 2 && bytes[offset] == 0x03) {
            zeros = 0;
            continue;
        }
        zeros = bytes[offset] == 0x00 ? zeros + 1 : 0;
        ++count;
    }
    if (zeros >= 2 && offset < size && bytes[offset] == 0x03) {
        ++offset;
    }
    return offset;
}

}  // namespace

HevcDataExtractor::HevcDataExtractor(SharedScheduler& scheduler)
    : VideoDataExtractor(scheduler),
      m_FoundSps(false),
      m_FoundPps(false),
      m_FoundSlice(false),
      m_InferFramerateFlag(false) {}

HevcDataExtractor::~HevcDataExtractor() = default;

PictureInfo_t::TransChars_e HevcDataExtractor::MapTransChars(unsigned int code) {
    code = std::min(code, MAX_TRANS_CHARS_CODE);
    if (code == 1) {
        return PictureInfo_t::TRANS_CHARS_BT709;
    }
    if (code >= 4 && code <= 18) {
        // GAMMA22 (code 4) to ARIB_STD_B67 (code 18) follow the codes in order.
        return static_cast<PictureInfo_t::TransChars_e>(PictureInfo_t::TRANS_CHARS_GAMMA22 +
                                                        (code - 4));
    }
    return PictureInfo_t::TRANS_CHARS_UNSPECIFIED;
}

void HevcDataExtractor::ExtractDataFromSps(const HevcSps_t& sps, VideoCodecInfo_t& info) {
    PictureInfo_t& pic = info.pic;
    const HevcVuiParameters_t& vui = sps.vui;
    const bool fieldSeq = sps.vuiParametersPresentFlag && vui.fieldSeqFlag;

    unsigned int subWidthC = 1;
    unsigned int subHeightC = 1;
    switch (sps.chromaFormatIdc) {
        case HevcSps_t::CHROMA_420:
            subWidthC = 2;
            subHeightC = 2;
            break;
        case HevcSps_t::CHROMA_422:
            subWidthC = 2;
            break;
        case HevcSps_t::CHROMA_444:
            break;
        case HevcSps_t::CHROMA_MONO:
            XP::MyPrintf("Invalid Chroma Format %d\n", static_cast<int>(sps.chromaFormatIdc));
            break;
    }
    pic.width = Crop(sps.picWidth, subWidthC, sps.confWinLeftOffset, sps.confWinRightOffset);
    pic.height = Crop(sps.picHeight, subHeightC, sps.confWinTopOffset, sps.confWinBottomOffset);
    if (fieldSeq) {
        // Each picture is one field.
        pic.height *= 2;
    }
    if (pic.height == 1088) {
        pic.height = 1080;
    }

    pic.pixelFormat.format =
        GetPicturePixelFormat(static_cast<PictureInfo_t::ChromaFormat_e>(sps.chromaFormatIdc),
                              sps.bitDepthLumaMinus8 + 8u, PictureInfo_t::PIXFMT_TYPE_PLANAR);
    pic.pixelFormat.hwFrame = false;

    const bool progressive = sps.ptl.generalProgressiveSourceFlag != 0;
    const bool interlaced = sps.ptl.generalInterlacedSourceFlag != 0;
    if (!progressive && interlaced) {
        pic.scan = PictureInfo_t::SCAN_INTERLACED;
    } else if (progressive && !interlaced) {
        pic.scan = PictureInfo_t::SCAN_PROGRESSIVE;
    } else {
        pic.scan = fieldSeq ? PictureInfo_t::SCAN_INTERLACED : PictureInfo_t::SCAN_UNKNOWN;
    }

    // Display aspect ratio: picture size times sample aspect ratio. Unlike H.264 streams, no
    // example sizes are rounded to 4:3 or 16:9.
    uint64_t sarWidth = 1;
    uint64_t sarHeight = 1;
    if (sps.vuiParametersPresentFlag && vui.aspectRatioInfoPresentFlag) {
        if (vui.aspectRatioIdc >= HevcVuiParameters_t::SAR_12_11 &&
            vui.aspectRatioIdc <= HevcVuiParameters_t::SAR_2_1) {
            sarWidth = SAR_TABLE[vui.aspectRatioIdc][0];
            sarHeight = SAR_TABLE[vui.aspectRatioIdc][1];
        } else if (vui.aspectRatioIdc == HevcVuiParameters_t::SAR_EXTENDED) {
            sarWidth = vui.sarWidth;
            sarHeight = vui.sarHeight;
        }
    }
    uint64_t aspectNum = uint64_t(pic.width) * sarWidth;
    uint64_t aspectDen = uint64_t(pic.height) * sarHeight;
    if (aspectDen == 0) {
        aspectDen = 1;
    }
    Math::ReduceFraction(aspectNum, aspectDen);
    info.aspectNum = static_cast<std::size_t>(aspectNum);
    info.aspectDen = static_cast<std::size_t>(aspectDen);
    pic.aspectRatioNum = info.aspectNum;
    pic.aspectRatioDen = info.aspectDen;

    if (sps.vuiParametersPresentFlag && vui.timingInfoPresentFlag) {
        uint64_t rateNum = vui.timeScale;
        // A field sequence ticks once per field.
        uint64_t rateDen = uint64_t(vui.numUnitsInTick) * (fieldSeq ? 2 : 1);
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

    pic.transChars = PictureInfo_t::TRANS_CHARS_UNSPECIFIED;
    if (sps.vuiParametersPresentFlag && vui.videoSignalTypePresentFlag &&
        vui.colourDescriptionPresentFlag) {
        pic.transChars = MapTransChars(vui.transChars);
    }

    info.profile = MapProfile(sps.ptl.generalProfileIdc);
    info.level = MapLevel(sps.ptl.generalLevelIdc);
    info.tier =
        sps.ptl.generalTierFlag != 0 ? VideoCodecInfo_t::TIER_HIGH : VideoCodecInfo_t::TIER_MAIN;
    pic.masteringValid = false;
    pic.cllValid = false;
}

void HevcDataExtractor::ExtractDataFromMasteringDisplay(const HevcMasteringDisplay_t& mastering,
                                                        PictureInfo_t& pic) {
    // c = 0, 1, 2 are green, blue and red (SMPTE ST 2086 order).
    pic.masteringValid = true;
    pic.mastering.xG = static_cast<float>(mastering.xc0 * PRIMARY_UNIT);
    pic.mastering.yG = static_cast<float>(mastering.yc0 * PRIMARY_UNIT);
    pic.mastering.xB = static_cast<float>(mastering.xc1 * PRIMARY_UNIT);
    pic.mastering.yB = static_cast<float>(mastering.yc1 * PRIMARY_UNIT);
    pic.mastering.xR = static_cast<float>(mastering.xc2 * PRIMARY_UNIT);
    pic.mastering.yR = static_cast<float>(mastering.yc2 * PRIMARY_UNIT);
    pic.mastering.xW = static_cast<float>(mastering.xwp * PRIMARY_UNIT);
    pic.mastering.yW = static_cast<float>(mastering.ywp * PRIMARY_UNIT);
    pic.mastering.lMin = static_cast<float>(mastering.lmin * LUMINANCE_UNIT);
    pic.mastering.lMax = static_cast<float>(mastering.lmax * LUMINANCE_UNIT);
}

void HevcDataExtractor::PutAu(const AccessUnit& au) {
    const HevcAu* pHevcAu = dynamic_cast<const HevcAu*>(&au);
    if (pHevcAu == nullptr) {
        XP::MyPrintf("Access unit not Hevc.");
        return;
    }
    CountBitrateBytes(au.GetSize());

    if (!WalkNals(*pHevcAu)) {
        XP::MyPrintf("Failed to parse HEVC Access Unit");
        return;
    }
    if (m_InferFramerateFlag) {
        InferFramerate(*pHevcAu);
    }
    if (m_CurrCodecInfo != m_PrevCodecInfo) {
        m_PrevCodecInfo = m_CurrCodecInfo;
        m_InfoDelegate(m_PrevCodecInfo);
    }

    VideoAccessUnit videoAu(au, m_PrevCodecInfo);
    if (m_FoundSlice) {
        switch (m_Slice.sliceType) {
            case HevcSlice_t::SLICE_TYPE_B:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_B);
                break;
            case HevcSlice_t::SLICE_TYPE_P:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_P);
                break;
            case HevcSlice_t::SLICE_TYPE_I:
                videoAu.SetFrameType(VideoAccessUnit::FRAME_TYPE_I);
                break;
        }
    }
    m_Delegate(videoAu);
}

bool HevcDataExtractor::WalkNals(const HevcAu& au) {
    m_FoundSlice = false;
    bool sliceSeen = false;
    for (std::size_t i = 0; i < au.GetNalCount(); ++i) {
        HevcNal nal;
        if (!au.GetNalByIndex(i, nal)) {
            XP::MyPrintf("HEVC NAL Missing");
            return false;
        }
        const unsigned int type = nal.GetUnitType();
        if (type < HevcNal::VPS_NUT) {
            // Only the picture's first slice segment is looked at.
            if (!sliceSeen && m_FoundPps) {
                const unsigned int addressBits =
                    m_FoundSps ? m_Sps.GetSliceSegmentAddressBits() : 0;
                m_FoundSlice = m_Slice.Parse(nal, m_Pps, addressBits) && m_Slice.sliceTypePresent;
            }
            sliceSeen = true;
        } else if (type == HevcNal::SPS_NUT) {
            ProcessSps(nal);
        } else if (type == HevcNal::PPS_NUT) {
            HevcPps_t pps;
            if (pps.Parse(nal)) {
                m_Pps = pps;
                m_FoundPps = true;
            }
        } else if (type == HevcNal::PREFIX_SEI_NUT) {
            ProcessSei(au, nal);
        }
    }
    return true;
}

void HevcDataExtractor::ProcessSps(const HevcNal& nal) {
    HevcSps_t sps;
    if (!sps.Parse(nal)) {
        return;  // the information published so far stays
    }
    m_Sps = sps;
    m_FoundSps = true;
    ExtractDataFromSps(m_Sps, m_CurrCodecInfo);
    m_InferFramerateFlag = !(m_Sps.vuiParametersPresentFlag && m_Sps.vui.timingInfoPresentFlag);
}

void HevcDataExtractor::ProcessSei(const HevcAu& au, const HevcNal& nal) {
    const XP::CBuffer payload = nal.GetPayload();
    RbspReader reader(payload);
    // A message needs at least its two header bytes; the last byte holds the trailing bits.
    while (reader.GetBitsRemaining() > 8) {
        SeiMessage_t message;
        if (!message.Parse(reader)) {
            return;
        }
        const std::size_t payloadEnd = reader.GetBytesParsed() + message.payloadSize;
        switch (message.payloadType) {
            case SeiMessage_t::SEI_PIC_TIMING:
                ProcessPicTiming(reader);
                break;
            case SeiMessage_t::SEI_USER_DATA_REGISTERED_ITU_T_T35:
                ProcessCaptions(au, nal, reader, message.payloadSize);
                break;
            case SeiMessage_t::SEI_MASTERING_DISPLAY_COLOUR_VOLUME: {
                HevcMasteringDisplay_t mastering;
                if (mastering.Parse(reader)) {
                    ExtractDataFromMasteringDisplay(mastering, m_CurrCodecInfo.pic);
                }
                break;
            }
            case SeiMessage_t::SEI_CONTENT_LIGHT_LEVEL_INFO: {
                HevcContentLightLevel_t cll;
                if (cll.Parse(reader)) {
                    m_CurrCodecInfo.pic.cllValid = true;
                    m_CurrCodecInfo.pic.cll.maxCll = cll.maxCll;
                    m_CurrCodecInfo.pic.cll.maxAvg = cll.maxPicAvgLl;
                }
                break;
            }
            case SeiMessage_t::SEI_ALTERNATIVE_TRANSFER_CHARACTERISTICS: {
                HevcAlternativeTransferCharacteristics_t atc;
                if (atc.Parse(reader)) {
                    m_CurrCodecInfo.pic.transChars = MapTransChars(atc.transChars);
                }
                break;
            }
            default:
                XP::DebugPrintf("SeiMessage_t %d not handled",
                                static_cast<int>(message.payloadType));
                break;
        }
        // On to the next message, whatever the parser of this one read.
        reader.ByteAlign();
        const std::size_t parsed = reader.GetBytesParsed();
        if (parsed < payloadEnd) {
            reader.SkipBits((payloadEnd - parsed) * 8);
        } else if (parsed > payloadEnd) {
            reader.SkipBackBits((parsed - payloadEnd) * 8);
        }
    }
}

void HevcDataExtractor::ProcessPicTiming(RbspReader& reader) {
    PictureInfo_t& pic = m_CurrCodecInfo.pic;
    if (!m_FoundSps || pic.scan != PictureInfo_t::SCAN_UNKNOWN) {
        return;
    }
    if (m_Sps.vui.frameFieldInfoPresentFlag) {
        HevcPicTiming_t picTiming;
        if (picTiming.Parse(reader, m_Sps.vui)) {
            const unsigned int picStruct = picTiming.picStruct;
            const bool progressive = picStruct == HevcPicTiming_t::PIC_STRUCT_PROGRESSIVE_FRAME ||
                                     picStruct == HevcPicTiming_t::PIC_STRUCT_FRAME_DOUBLING ||
                                     picStruct == HevcPicTiming_t::PIC_STRUCT_FRAME_TRIPLING;
            pic.scan =
                progressive ? PictureInfo_t::SCAN_PROGRESSIVE : PictureInfo_t::SCAN_INTERLACED;
            const bool field = picStruct == HevcPicTiming_t::PIC_STRUCT_TOP_FIELD ||
                               picStruct == HevcPicTiming_t::PIC_STRUCT_BOT_FIELD;
            m_CurrCodecInfo.encodingType = field ? VideoCodecInfo_t::ENCODING_TYPE_FIELD_ENCODING
                                                 : VideoCodecInfo_t::ENCODING_TYPE_FRAME_ENCODING;
        }
    } else {
        m_CurrCodecInfo.encodingType = VideoCodecInfo_t::ENCODING_TYPE_UNKNOWN;
    }
    if (pic.scan == PictureInfo_t::SCAN_UNKNOWN) {
        pic.scan = PictureInfo_t::SCAN_PROGRESSIVE;
    }
}

void HevcDataExtractor::ProcessCaptions(const HevcAu& au, const HevcNal& nal, RbspReader& reader,
                                        std::size_t payloadSize) {
    // The payload as a slice of the NAL unit's own bytes: the caption data handed on is a view
    // of them, not a copy.
    const XP::CBuffer& nalBytes = nal.GetData();
    const std::size_t offset =
        EscapedOffset(nal.GetPayload(), reader.GetBytesParsed()) + HevcNal::HEADER_SIZE;
    if (offset >= nalBytes.GetSize()) {
        return;
    }
    const std::size_t size = std::min(payloadSize, nalBytes.GetSize() - offset);
    const XP::CBuffer payload = nalBytes.Subslice(offset, size);
    ItuTT35_t t35;
    if (!t35.Parse(payload, reader)) {
        return;
    }
    const bool atsc = t35.ituTT35ProviderCode == ItuTT35_t::PROVIDER_CODE_ATSC &&
                      t35.userIdentifier == ItuTT35_t::DVB1_DATA;
    const bool directv = t35.ituTT35ProviderCode == ItuTT35_t::PROVIDER_CODE_DIRECTV;
    if ((atsc || directv) && t35.userDataTypeCode == ItuTT35_t::USER_DATA_TYPE_CC) {
        CcPacket_t packet;
        packet.pts = au.GetPts();
        packet.data = t35.data;
        m_CcPacketDelegate(packet);
    }
}

void HevcDataExtractor::InferFramerate(const HevcAu& au) {
    if (!m_pFramerateCalculator) {
        m_pFramerateCalculator.reset(new FramerateAssessor());
    }
    if (au.GetPts().IsValid()) {
        m_pFramerateCalculator->AddFrameTimestamp(au.GetPts().GetBase());
    }
    std::size_t num = 0;
    std::size_t den = 1;
    if (m_FoundSlice && m_Slice.sliceType == HevcSlice_t::SLICE_TYPE_I &&
        m_pFramerateCalculator->CalcFps(num, den)) {
        m_CurrCodecInfo.pic.frameRateNum = num;
        m_CurrCodecInfo.pic.frameRateDen = den;
    } else {
        m_CurrCodecInfo.pic.frameRateNum = m_PrevCodecInfo.pic.frameRateNum;
        m_CurrCodecInfo.pic.frameRateDen = m_PrevCodecInfo.pic.frameRateDen;
    }
}

}  // namespace Cmf
