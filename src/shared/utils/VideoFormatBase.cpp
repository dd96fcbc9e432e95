#include "shared/utils/VideoFormatBase.h"

#include "xptools/Endian.h"

namespace {

const char* const NOT_AVAILABLE = "(n/a)";

// Text of a code that indexes `texts` from `first` on.
template <std::size_t N>
const char* CodeText(const char* const (&texts)[N], uint32_t first, uint32_t code) {
    if (code < first || code - first >= N) {
        return NOT_AVAILABLE;
    }
    return texts[code - first];
}

}  // namespace

VideoFormatBase::VideoFormatBase(uint32_t id) : m_VidFormat(XP::Endian::HostToBig(id)) {}

uint32_t VideoFormatBase::GetId() const {
    return XP::Endian::BigToHost(m_VidFormat);
}

const char* VideoFormatBase::GetResolutionString(uint32_t resolution) {
    static const char* const TEXTS[] = {"720x480",   "720x576",   "1280x720",
                                        "1920x1080", "3840x2160", "4096x2160"};
    return CodeText(TEXTS, RESOLUTION_720_480, resolution);
}

const char* VideoFormatBase::GetScanTypeString(uint32_t scanType) {
    static const char* const TEXTS[] = {"i", "p", "psF"};
    return CodeText(TEXTS, SCAN_TYPE_I, scanType);
}

const char* VideoFormatBase::GetFrameRateString(uint32_t frameRate) {
    static const char* const TEXTS[] = {"23.98", "24.00", "25.00", "29.97",
                                        "30.00", "50.00", "59.94", "60.00"};
    return CodeText(TEXTS, FRAME_RATE_23_976, frameRate);
}

const char* VideoFormatBase::GetAspectRatioString(uint32_t aspectRatio) {
    static const char* const TEXTS[] = {"1x1", "4x3", "16x9", "2.21x1", "1.9x1"};
    return CodeText(TEXTS, ASPECT_RATIO_1x1, aspectRatio);
}

VideoFormatBase::Resolution_e VideoFormatBase::SizeToResolution(uint32_t height, uint32_t width) {
    switch (width) {
        case 720:
            return height == 576 ? RESOLUTION_720_576 : RESOLUTION_720_480;
        case 1280:
            return RESOLUTION_1280_720;
        case 1920:
            return RESOLUTION_1920_1080;
        case 3840:
            return RESOLUTION_3840_2160;
        case 4096:
            return RESOLUTION_4096_2160;
        default:
            return RESOLUTION_720_480;
    }
}
