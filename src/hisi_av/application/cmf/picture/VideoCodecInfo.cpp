#include "hisi_av/application/cmf/picture/VideoCodecInfo.h"

#include <sstream>

#include "hisi_av/application/cmf/internal/EnumToken.h"

namespace Cmf {
namespace {

using Info = VideoCodecInfo_t;

#define CMF_CODEC_TOKEN(name, value, token) {Info::name, token},

constexpr XP::EnumName_t<Info::Profile_e> PROFILE_TOKENS[] = {CMF_PROFILE_LIST(CMF_CODEC_TOKEN)};
constexpr XP::EnumName_t<Info::Level_e> LEVEL_TOKENS[] = {CMF_LEVEL_LIST(CMF_CODEC_TOKEN)};
constexpr XP::EnumName_t<Info::Tier_e> TIER_TOKENS[] = {CMF_TIER_LIST(CMF_CODEC_TOKEN)};

#undef CMF_CODEC_TOKEN

}  // namespace

bool VideoCodecInfo_t::operator==(const VideoCodecInfo_t& other) const {
    return pic == other.pic && aspectNum == other.aspectNum && aspectDen == other.aspectDen &&
           profile == other.profile && level == other.level && tier == other.tier;
}

PictureInfo_t ConvertCodecInfoToPictureInfo(const VideoCodecInfo_t& info) {
    PictureInfo_t pic = info.pic;
    if (pic.scan == PictureInfo_t::SCAN_UNKNOWN) {
        pic.scan = PictureInfo_t::SCAN_PROGRESSIVE;
    }
    pic.aspectRatioNum = info.aspectNum;
    pic.aspectRatioDen = info.aspectDen;
    return pic;
}

std::string GetVideoCodecInfoString(const VideoCodecInfo_t& info) {
    std::ostringstream text;
    text << GetPictureInfoString(info.pic) << info.aspectNum << "x " << info.aspectDen
         << TokenOf(PROFILE_TOKENS, info.profile, Info::PROFILE_UNKNOWN)
         << TokenOf(LEVEL_TOKENS, info.level, Info::LEVEL_UNKNOWN)
         << TokenOf(TIER_TOKENS, info.tier, Info::TIER_NA);
    return text.str();
}

}  // namespace Cmf
