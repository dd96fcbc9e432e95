#pragma once

#include <cstdint>
#include <vector>

#include "shared/types/StatusTypes.h"
#include "shared/utils/UhdVidFormat.h"
#include "shared/utils/ValueState.h"
#include "xptools/Uncopyable.h"

// One output format the board produces, in the controller's terms and as its identifier.
struct UhdVideoFormatMatrix_t {
    uint32_t height;
    uint32_t width;
    VideoScanType_e scanType;
    VideoAspectRatio_e aspectRatio;
    VideoFrameRate_e frameRate;
    UhdVidFormat uhdVideoFormat;  // built from the values above
};

// The list of output formats: 2160-line progressive at every rate (3840 and 4096 wide),
// 1920x1080 progressive at every rate and interlaced at 30, 29.97 and 25, 1280x720 at 60, 59.94
// and 50, and the standard-definition rasters in 16:9 and 4:3.
//
// The list is built once per process, on first use, and copied into each generator; a generator
// is immutable after construction, so any thread may read it.
class VideoOutputFormatGenerator : private XP::CUncopyable {
public:
    VideoOutputFormatGenerator();
    virtual ~VideoOutputFormatGenerator() = default;

    // The identifier built from the arguments; valid when the list holds exactly that format.
    ValueState_t<UhdVidFormat> GetFormat(uint32_t height, uint32_t width, VideoScanType_e scanType,
                                         VideoFrameRate_e frameRate,
                                         VideoAspectRatio_e aspectRatio) const;

    const std::vector<UhdVideoFormatMatrix_t>& GetFormats() const { return m_VideoFormatMatrix; }

private:
    std::vector<UhdVideoFormatMatrix_t> m_VideoFormatMatrix;
};
