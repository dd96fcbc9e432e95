#pragma once

#include <cstdint>

#include "hisi_av/application/cmf/codec/AccessUnit.h"
#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

namespace Cmf {

// An access unit as the data extractors publish it: the unit's bytes and time stamps with the
// stream's codec information and the picture's coding type.
//
// Lifetime: as AccessUnit; the bytes are the same view as those of the unit it was built from.
class VideoAccessUnit : public AccessUnit {
public:
    enum FrameType_e : uint8_t {
        FRAME_TYPE_UNKNOWN = 0,
        FRAME_TYPE_B = 1,
        FRAME_TYPE_P = 2,
        FRAME_TYPE_I = 3,
    };

    VideoAccessUnit(const AccessUnit& au, const VideoCodecInfo_t& codecInfo)
        : AccessUnit(au.GetData(), au.GetPts(), au.GetDts()),
          m_CodecInfo(codecInfo),
          m_FrameType(FRAME_TYPE_UNKNOWN) {}

    const VideoCodecInfo_t& GetCodecInfo() const { return m_CodecInfo; }
    void SetFrameType(FrameType_e frameType) { m_FrameType = frameType; }
    FrameType_e GetFrameType() const { return m_FrameType; }

private:
    VideoCodecInfo_t m_CodecInfo;
    FrameType_e m_FrameType;
};

}  // namespace Cmf
