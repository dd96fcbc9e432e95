#pragma once

#include <cstdint>
#include <string>

#include "shared/types/StatusTypes.h"
#include "shared/utils/VideoFormatBase.h"
#include "xptools/BitField.h"

// The packed video format identifier: resolution code x 1024 + scan code x 256 + rate code x 16 +
// aspect code. 1920x1080 interlaced 29.97 Hz 16:9 is 3139.
//
// A value type: copied freely, no threads, no locks.
class UhdVidFormat : public VideoFormatBase {
public:
    // The identifier's fields, most significant first.
    struct UhdVidFormat_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(UhdVidFormat_t);
        XP_BITFIELD(resolution, 22, BEGIN);
        XP_BITFIELD(scanType, 2, resolution);
        XP_BITFIELD(frameRate, 4, scanType);
        XP_BITFIELD(aspectRatio, 4, frameRate);
    };

    explicit UhdVidFormat(uint32_t id = 0);
    UhdVidFormat(Resolution_e resolution, ScanType_e scanType, AspectRatio_e aspectRatio,
                 FrameRate_e frameRate);
    // The resolution code comes from SizeToResolution(height, width).
    UhdVidFormat(uint32_t height, uint32_t width, ScanType_e scanType, AspectRatio_e aspectRatio,
                 FrameRate_e frameRate);
    ~UhdVidFormat() override = default;
    UhdVidFormat(const UhdVidFormat&) = default;
    UhdVidFormat& operator=(const UhdVidFormat&) = default;

    // Picture size of the resolution code; 0 for a code without one.
    virtual uint32_t GetHeight() const;
    virtual uint32_t GetWidth() const;
    // The raw codes, which may lie outside their enumerations for a received identifier.
    virtual ScanType_e GetScanType() const;
    virtual FrameRate_e GetFrameRate() const;
    virtual AspectRatio_e GetAspectRatio() const;
    // "1920x1080i 16x9 29.97fps": resolution, scan, aspect and rate texts.
    virtual std::string GetFormatString() const;

    // The raw resolution code.
    uint32_t GetResolution() const;

private:
    const UhdVidFormat_t* Fields() const;
    UhdVidFormat_t* Fields();
    void Pack(uint32_t resolution, ScanType_e scanType, AspectRatio_e aspectRatio,
              FrameRate_e frameRate);
};

// The controller's scan type, frame rate and aspect ratio as identifier codes. Values without a
// code become interlaced, 23.98 Hz and 16:9.
UhdVidFormat::ScanType_e GetUhdScanType(VideoScanType_e scanType);
UhdVidFormat::FrameRate_e GetUhdFrameRate(VideoFrameRate_e frameRate);
UhdVidFormat::AspectRatio_e GetUhdAspectRatio(VideoAspectRatio_e aspectRatio);

// The other direction, for a format word received from the controller: scan code + 1, the rate
// code as it is, aspect code 2 as 4:3 and 3 as 16:9 (any other aspect code is unknown).
VideoScanType_e VideoScanTypeFromUhd(uint32_t scanType);
VideoFrameRate_e VideoFrameRateFromUhd(uint32_t frameRate);
VideoAspectRatio_e VideoAspectRatioFromUhd(uint32_t aspectRatio);
