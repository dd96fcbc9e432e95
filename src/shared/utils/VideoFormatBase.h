#pragma once

#include <cstdint>

// A video format as the 32-bit identifier exchanged with the controller. The identifier is kept
// with its bytes most significant first, so that a bit-field layout laid over m_VidFormat reads
// its fields in the order they are numbered; GetId() gives it back in host order.
//
// A value type: copied freely, no threads, no locks.
class VideoFormatBase {
public:
    // The codes packed inside an identifier.
    enum Resolution_e : uint32_t {
        RESOLUTION_720_480 = 0,
        RESOLUTION_720_576 = 1,
        RESOLUTION_1280_720 = 2,
        RESOLUTION_1920_1080 = 3,
        RESOLUTION_3840_2160 = 4,
        RESOLUTION_4096_2160 = 5,
    };

    enum ScanType_e : uint32_t {
        SCAN_TYPE_I = 0,
        SCAN_TYPE_P = 1,
        SCAN_TYPE_PSF = 2,
    };

    enum FrameRate_e : uint32_t {
        FRAME_RATE_23_976 = 1,
        FRAME_RATE_24 = 2,
        FRAME_RATE_25 = 3,
        FRAME_RATE_29_97 = 4,
        FRAME_RATE_30 = 5,
        FRAME_RATE_50 = 6,
        FRAME_RATE_59_94 = 7,
        FRAME_RATE_60 = 8,
    };

    enum AspectRatio_e : uint32_t {
        ASPECT_RATIO_1x1 = 1,
        ASPECT_RATIO_4x3 = 2,
        ASPECT_RATIO_16x9 = 3,
        ASPECT_RATIO_221x1 = 4,
        ASPECT_RATIO_19x1 = 5,
    };

    explicit VideoFormatBase(uint32_t id = 0);
    virtual ~VideoFormatBase() = default;
    VideoFormatBase(const VideoFormatBase&) = default;
    VideoFormatBase& operator=(const VideoFormatBase&) = default;

    bool operator==(const VideoFormatBase& other) const { return m_VidFormat == other.m_VidFormat; }
    bool operator!=(const VideoFormatBase& other) const { return !(*this == other); }

    // The identifier in host byte order.
    uint32_t GetId() const;

    // Texts of the codes ("1920x1080", "i", "29.97", "16x9"); "(n/a)" for a code outside the
    // enumeration.
    static const char* GetResolutionString(uint32_t resolution);
    static const char* GetScanTypeString(uint32_t scanType);
    static const char* GetFrameRateString(uint32_t frameRate);
    static const char* GetAspectRatioString(uint32_t aspectRatio);

    // The resolution code of a picture size. Sizes without a code of their own give
    // RESOLUTION_720_480, as do 720-wide pictures of any height but 576.
    static Resolution_e SizeToResolution(uint32_t height, uint32_t width);

protected:
    uint32_t m_VidFormat;  // the identifier, bytes most significant first
};
