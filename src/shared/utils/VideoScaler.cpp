#include "shared/utils/VideoScaler.h"

#include <log4cpp/Category.hh>

namespace {

// These helpers work for the output manager and log under its name.
log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("raduva.outputmanager");
}

// The standard-definition raster of the picture's region when nothing better fits.
void FallBack(uint32_t& height, uint32_t& width, VideoScanType_e& scanType,
              VideoFrameRate_e& frameRate) {
    width = 720;
    scanType = VIDEO_SCAN_TYPE_I;
    if (frameRate == VIDEO_FRAME_RATE_25 || frameRate == VIDEO_FRAME_RATE_50) {
        height = 576;
        frameRate = VIDEO_FRAME_RATE_25;
    } else {
        height = 480;
        frameRate = VIDEO_FRAME_RATE_2997;
    }
}

// The first row of the picture's size class that is no wider and no slower than the picture,
// preferring one with the picture's scan type; null when there is none. The rows of one input
// height are tried together: once a row qualifies, the next height ends the search.
const ScalerSetting_t* FindScalerRow(uint32_t height, uint32_t width, VideoScanType_e scanType,
                                     VideoFrameRate_e frameRate) {
    const ScalerSetting_t* candidate = nullptr;
    for (const ScalerSetting_t* row = GetScalerTable(); row->inHeight != 0; ++row) {
        if (row->inHeight > height) {
            continue;
        }
        if (candidate != nullptr && row->inHeight != candidate->inHeight) {
            break;
        }
        if (row->inWidth > width || row->inFrameRate < frameRate) {
            continue;
        }
        if (row->inScanType == scanType) {
            return row;
        }
        if (candidate == nullptr) {
            candidate = row;
        }
    }
    return candidate;
}

}  // namespace

void GetValidScalerSettings(uint32_t& height, uint32_t& width, VideoScanType_e& scanType,
                            VideoFrameRate_e& frameRate, VideoAspectRatio_e& aspectRatio,
                            uint32_t videoIndex) {
    (void)aspectRatio;  // the scaler keeps the picture's aspect ratio
    if (videoIndex != 0) {
        Log().error("OutputManager::%s, videoIndex is out of range (0), actual: %u",
                    "GetValidScalerSettings", videoIndex);
        return;
    }
    if (height == 0 || width == 0 || frameRate == VIDEO_FRAME_RATE_UNKNOWN) {
        // Logged only: a size of 0 falls back below, a rate of 0 matches any row.
        Log().warn(
            "OutputManager::%s invalid input: height: %d, width: %d, frameRate: %d, "
            "videoIndex: %d",
            "GetValidScalerSettings", static_cast<int>(height), static_cast<int>(width),
            static_cast<int>(frameRate), static_cast<int>(videoIndex));
    }
    if (height < 480 || width < 352 || frameRate < 0) {
        FallBack(height, width, scanType, frameRate);
        return;
    }
    const ScalerSetting_t* row = FindScalerRow(height, width, scanType, frameRate);
    if (row == nullptr) {
        FallBack(height, width, scanType, frameRate);
        return;
    }
    height = row->outHeight;
    width = row->outWidth;
    scanType = row->outScanType;
    frameRate = row->outFrameRate;
}

VideoFormat_e getVideoMode(uint32_t height, uint32_t width, VideoScanType_e scanType,
                           VideoFrameRate_e frameRate, VideoAspectRatio_e aspectRatio,
                           uint32_t index) {
    (void)index;  // one output
    switch (height) {
        case 480:
            return aspectRatio == VIDEO_ASPECT_RATIO_16X9 ? W720_H480_29_97I_NTSC
                                                          : W720_H480_29_97I_NTSC_4X3;
        case 576:
            return aspectRatio == VIDEO_ASPECT_RATIO_16X9 ? W720_H576_25I_PAL_BDGI
                                                          : W720_H576_25I_PAL_BDGI_4X3;
        case 720:
            switch (frameRate) {
                case VIDEO_FRAME_RATE_50:
                    return W1280_H720_50P;
                case VIDEO_FRAME_RATE_5994:
                    return W1280_H720_59_94P;
                default:
                    return W1280_H720_60P;
            }
        case 1080:
            if (scanType == VIDEO_SCAN_TYPE_P) {
                switch (frameRate) {
                    case VIDEO_FRAME_RATE_2398:
                        return W1920_H1080_23_98P;
                    case VIDEO_FRAME_RATE_24:
                        return W1920_H1080_24P;
                    case VIDEO_FRAME_RATE_25:
                        return W1920_H1080_25P;
                    case VIDEO_FRAME_RATE_2997:
                        return W1920_H1080_29_97P;
                    case VIDEO_FRAME_RATE_50:
                        return W1920_H1080_50P;
                    case VIDEO_FRAME_RATE_5994:
                        return W1920_H1080_59_94P;
                    case VIDEO_FRAME_RATE_60:
                        return W1920_H1080_60P;
                    default:
                        return W1920_H1080_30P;
                }
            }
            if (scanType == VIDEO_SCAN_TYPE_PSF) {
                return W4096_H2160_60P;
            }
            switch (frameRate) {
                case VIDEO_FRAME_RATE_25:
                    return W1920_H1080_25I;
                case VIDEO_FRAME_RATE_2997:
                    return W1920_H1080_29_97I;
                default:
                    return W1920_H1080_30I;
            }
        case 2160: {
            // Both 2160-line rasters list their rates in the same order, 3840 eight values on.
            int base;
            if (width == 3840) {
                base = W3840_H2160_60P;
            } else if (width == 4096) {
                base = W4096_H2160_60P;
            } else {
                return W4096_H2160_60P;
            }
            int offset;
            switch (frameRate) {
                case VIDEO_FRAME_RATE_60:
                    offset = 0;
                    break;
                case VIDEO_FRAME_RATE_5994:
                    offset = 1;
                    break;
                case VIDEO_FRAME_RATE_50:
                    offset = 2;
                    break;
                case VIDEO_FRAME_RATE_2997:
                    offset = 4;
                    break;
                case VIDEO_FRAME_RATE_25:
                    offset = 5;
                    break;
                case VIDEO_FRAME_RATE_24:
                    offset = 6;
                    break;
                case VIDEO_FRAME_RATE_2398:
                    offset = 7;
                    break;
                default:  // 30 and anything unknown
                    offset = 3;
                    break;
            }
            return static_cast<VideoFormat_e>(base + offset);
        }
        default:
            return W3840_H2160_60P;
    }
}

bool GetSDFormatSimultaneousHD(uint32_t& width, uint32_t& height, VideoScanType_e& scanType,
                               VideoFrameRate_e& frameRate, VideoAspectRatio_e& aspectRatio) {
    switch (getVideoMode(height, width, scanType, frameRate, aspectRatio, 0)) {
        case W1920_H1080_60P:
        case W1920_H1080_59_94P:
        case W1920_H1080_30P:
        case W1920_H1080_29_97P:
        case W1920_H1080_24P:
        case W1920_H1080_23_98P:
        case W1920_H1080_30I:
        case W1920_H1080_29_97I:
        case W1280_H720_60P:
        case W1280_H720_59_94P:
            width = 720;
            height = 480;
            scanType = VIDEO_SCAN_TYPE_I;
            frameRate = VIDEO_FRAME_RATE_2997;
            aspectRatio = VIDEO_ASPECT_RATIO_16X9;
            break;
        case W1920_H1080_50P:
        case W1920_H1080_25P:
        case W1920_H1080_25I:
        case W1280_H720_50P:
            width = 720;
            height = 576;
            scanType = VIDEO_SCAN_TYPE_I;
            frameRate = VIDEO_FRAME_RATE_25;
            aspectRatio = VIDEO_ASPECT_RATIO_16X9;
            break;
        default:
            break;
    }
    return true;
}
