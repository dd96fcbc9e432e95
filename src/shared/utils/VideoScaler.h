#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/types/StatusTypes.h"
#include "shared/types/VideoFormatTypes.h"

// Fitting a decoded picture to a format the output scaler can produce, and naming output formats.
// Free functions without state; safe from any thread.

// One scaler table row: a picture of this height, width, scan and rate is produced in the
// output format of the row.
struct ScalerSetting_t {
    uint32_t inHeight;
    uint32_t inWidth;
    VideoScanType_e inScanType;
    VideoFrameRate_e inFrameRate;
    uint32_t outHeight;
    uint32_t outWidth;
    VideoScanType_e outScanType;
    VideoFrameRate_e outFrameRate;
};

// The scaler table, ended by a row of height 0, and the number of rows before that end row.
const ScalerSetting_t* GetScalerTable();
std::size_t GetScalerTableSize();

// Changes the arguments in place to the output format the scaler produces for the picture (the
// aspect ratio is left as it is). Pictures the table does not cover (smaller than 352x480, or
// faster than any row) get 720x576 interlaced 25 at 25 or 50 Hz and 720x480 interlaced 29.97
// otherwise. Only output 0 exists: any other videoIndex is logged and changes nothing.
void GetValidScalerSettings(uint32_t& height, uint32_t& width, VideoScanType_e& scanType,
                            VideoFrameRate_e& frameRate, VideoAspectRatio_e& aspectRatio,
                            uint32_t videoIndex);

// The output format named by a size, scan, rate and aspect ratio. Never VIDEO_FORMAT_INVALID:
// sizes outside the known rasters give W4096_H2160_60P or W3840_H2160_60P.
VideoFormat_e getVideoMode(uint32_t height, uint32_t width, VideoScanType_e scanType,
                           VideoFrameRate_e frameRate, VideoAspectRatio_e aspectRatio,
                           uint32_t index);

// Replaces an HD output format by the standard-definition format that runs beside it: the
// 60/59.94/30/29.97/24/23.98 Hz families by 720x480 interlaced 29.97 16:9, the 50/25 Hz families
// by 720x576 interlaced 25 16:9. Other formats stay as they are. Always true.
bool GetSDFormatSimultaneousHD(uint32_t& width, uint32_t& height, VideoScanType_e& scanType,
                               VideoFrameRate_e& frameRate, VideoAspectRatio_e& aspectRatio);
