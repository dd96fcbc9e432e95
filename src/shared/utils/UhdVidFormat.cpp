#include "shared/utils/UhdVidFormat.h"

#include <cstdio>

UhdVidFormat::UhdVidFormat(uint32_t id) : VideoFormatBase(id) {}

UhdVidFormat::UhdVidFormat(Resolution_e resolution, ScanType_e scanType, AspectRatio_e aspectRatio,
                           FrameRate_e frameRate) {
    Pack(resolution, scanType, aspectRatio, frameRate);
}

UhdVidFormat::UhdVidFormat(uint32_t height, uint32_t width, ScanType_e scanType,
                           AspectRatio_e aspectRatio, FrameRate_e frameRate) {
    Pack(SizeToResolution(height, width), scanType, aspectRatio, frameRate);
}

const UhdVidFormat::UhdVidFormat_t* UhdVidFormat::Fields() const {
    return XP::INTERNAL::GetLayout<UhdVidFormat_t>(
        reinterpret_cast<const unsigned char*>(&m_VidFormat));
}

UhdVidFormat::UhdVidFormat_t* UhdVidFormat::Fields() {
    return XP::INTERNAL::GetLayout<UhdVidFormat_t>(reinterpret_cast<unsigned char*>(&m_VidFormat));
}

void UhdVidFormat::Pack(uint32_t resolution, ScanType_e scanType, AspectRatio_e aspectRatio,
                        FrameRate_e frameRate) {
    m_VidFormat = 0;
    UhdVidFormat_t* fields = Fields();
    fields->resolution_t_.Set(resolution);
    fields->scanType_t_.Set(scanType);
    fields->frameRate_t_.Set(frameRate);
    fields->aspectRatio_t_.Set(aspectRatio);
}

uint32_t UhdVidFormat::GetResolution() const {
    return Fields()->resolution_t_.Get();
}

uint32_t UhdVidFormat::GetHeight() const {
    switch (GetResolution()) {
        case RESOLUTION_720_480:
            return 480;
        case RESOLUTION_720_576:
            return 576;
        case RESOLUTION_1280_720:
            return 720;
        case RESOLUTION_1920_1080:
            return 1080;
        case RESOLUTION_3840_2160:
        case RESOLUTION_4096_2160:
            return 2160;
        default:
            return 0;
    }
}

uint32_t UhdVidFormat::GetWidth() const {
    switch (GetResolution()) {
        case RESOLUTION_720_480:
        case RESOLUTION_720_576:
            return 720;
        case RESOLUTION_1280_720:
            return 1280;
        case RESOLUTION_1920_1080:
            return 1920;
        case RESOLUTION_3840_2160:
            return 3840;
        case RESOLUTION_4096_2160:
            return 4096;
        default:
            return 0;
    }
}

UhdVidFormat::ScanType_e UhdVidFormat::GetScanType() const {
    return static_cast<ScanType_e>(Fields()->scanType_t_.Get());
}

UhdVidFormat::FrameRate_e UhdVidFormat::GetFrameRate() const {
    return static_cast<FrameRate_e>(Fields()->frameRate_t_.Get());
}

UhdVidFormat::AspectRatio_e UhdVidFormat::GetAspectRatio() const {
    return static_cast<AspectRatio_e>(Fields()->aspectRatio_t_.Get());
}

std::string UhdVidFormat::GetFormatString() const {
    char text[64];
    std::snprintf(text, sizeof(text), "%s%s %s %sfps", GetResolutionString(GetResolution()),
                  GetScanTypeString(GetScanType()), GetAspectRatioString(GetAspectRatio()),
                  GetFrameRateString(GetFrameRate()));
    return text;
}

UhdVidFormat::ScanType_e GetUhdScanType(VideoScanType_e scanType) {
    switch (scanType) {
        case VIDEO_SCAN_TYPE_P:
            return UhdVidFormat::SCAN_TYPE_P;
        case VIDEO_SCAN_TYPE_PSF:
            return UhdVidFormat::SCAN_TYPE_PSF;
        default:
            return UhdVidFormat::SCAN_TYPE_I;
    }
}

UhdVidFormat::FrameRate_e GetUhdFrameRate(VideoFrameRate_e frameRate) {
    // The controller's rates 1-8 are the identifier's rate codes.
    if (frameRate >= VIDEO_FRAME_RATE_2398 && frameRate <= VIDEO_FRAME_RATE_60) {
        return static_cast<UhdVidFormat::FrameRate_e>(frameRate);
    }
    return UhdVidFormat::FRAME_RATE_23_976;
}

UhdVidFormat::AspectRatio_e GetUhdAspectRatio(VideoAspectRatio_e aspectRatio) {
    return aspectRatio == VIDEO_ASPECT_RATIO_4X3 ? UhdVidFormat::ASPECT_RATIO_4x3
                                                 : UhdVidFormat::ASPECT_RATIO_16x9;
}

VideoScanType_e VideoScanTypeFromUhd(uint32_t scanType) {
    return static_cast<VideoScanType_e>(scanType + 1);
}

VideoFrameRate_e VideoFrameRateFromUhd(uint32_t frameRate) {
    return static_cast<VideoFrameRate_e>(frameRate);
}

VideoAspectRatio_e VideoAspectRatioFromUhd(uint32_t aspectRatio) {
    switch (aspectRatio) {
        case UhdVidFormat::ASPECT_RATIO_4x3:
            return VIDEO_ASPECT_RATIO_4X3;
        case UhdVidFormat::ASPECT_RATIO_16x9:
            return VIDEO_ASPECT_RATIO_16X9;
        default:
            return VIDEO_ASPECT_RATIO_UNKNOWN;
    }
}
