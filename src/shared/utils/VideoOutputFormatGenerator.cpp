#include "shared/utils/VideoOutputFormatGenerator.h"

#include <iterator>

namespace {

UhdVideoFormatMatrix_t MakeFormat(uint32_t height, uint32_t width, VideoScanType_e scanType,
                                  VideoFrameRate_e frameRate,
                                  VideoAspectRatio_e aspectRatio = VIDEO_ASPECT_RATIO_16X9) {
    return {height,
            width,
            scanType,
            aspectRatio,
            frameRate,
            UhdVidFormat(height, width, GetUhdScanType(scanType), GetUhdAspectRatio(aspectRatio),
                         GetUhdFrameRate(frameRate))};
}

std::vector<UhdVideoFormatMatrix_t> BuildFormats() {
    const VideoScanType_e I = VIDEO_SCAN_TYPE_I;
    const VideoScanType_e P = VIDEO_SCAN_TYPE_P;
    const VideoFrameRate_e RISING[] = {
        VIDEO_FRAME_RATE_2398, VIDEO_FRAME_RATE_24, VIDEO_FRAME_RATE_25,   VIDEO_FRAME_RATE_2997,
        VIDEO_FRAME_RATE_30,   VIDEO_FRAME_RATE_50, VIDEO_FRAME_RATE_5994, VIDEO_FRAME_RATE_60};

    std::vector<UhdVideoFormatMatrix_t> formats;
    formats.reserve(34);
    for (VideoFrameRate_e rate : RISING) {
        formats.push_back(MakeFormat(2160, 3840, P, rate));
    }
    for (VideoFrameRate_e rate : RISING) {
        formats.push_back(MakeFormat(2160, 4096, P, rate));
    }
    // 1080p is listed from the fastest rate down.
    for (auto it = std::rbegin(RISING); it != std::rend(RISING); ++it) {
        formats.push_back(MakeFormat(1080, 1920, P, *it));
    }
    formats.push_back(MakeFormat(1080, 1920, I, VIDEO_FRAME_RATE_30));
    formats.push_back(MakeFormat(1080, 1920, I, VIDEO_FRAME_RATE_2997));
    formats.push_back(MakeFormat(1080, 1920, I, VIDEO_FRAME_RATE_25));
    formats.push_back(MakeFormat(720, 1280, P, VIDEO_FRAME_RATE_60));
    formats.push_back(MakeFormat(720, 1280, P, VIDEO_FRAME_RATE_5994));
    formats.push_back(MakeFormat(720, 1280, P, VIDEO_FRAME_RATE_50));
    formats.push_back(MakeFormat(576, 720, I, VIDEO_FRAME_RATE_25));
    formats.push_back(MakeFormat(576, 720, I, VIDEO_FRAME_RATE_25, VIDEO_ASPECT_RATIO_4X3));
    formats.push_back(MakeFormat(480, 720, I, VIDEO_FRAME_RATE_2997));
    formats.push_back(MakeFormat(480, 720, I, VIDEO_FRAME_RATE_2997, VIDEO_ASPECT_RATIO_4X3));
    return formats;
}

// Built on first use; the initialisation of a local static is thread-safe.
const std::vector<UhdVideoFormatMatrix_t>& SupportedFormats() {
    static const std::vector<UhdVideoFormatMatrix_t> FORMATS = BuildFormats();
    return FORMATS;
}

}  // namespace

VideoOutputFormatGenerator::VideoOutputFormatGenerator()
    : m_VideoFormatMatrix(SupportedFormats()) {}

ValueState_t<UhdVidFormat> VideoOutputFormatGenerator::GetFormat(
    uint32_t height, uint32_t width, VideoScanType_e scanType, VideoFrameRate_e frameRate,
    VideoAspectRatio_e aspectRatio) const {
    ValueState_t<UhdVidFormat> result{
        false, UhdVidFormat(height, width, GetUhdScanType(scanType), GetUhdAspectRatio(aspectRatio),
                            GetUhdFrameRate(frameRate))};
    for (const UhdVideoFormatMatrix_t& format : m_VideoFormatMatrix) {
        if (format.height == height && format.width == width && format.scanType == scanType &&
            format.frameRate == frameRate && format.aspectRatio == aspectRatio) {
            result.valid = true;
            break;
        }
    }
    return result;
}
