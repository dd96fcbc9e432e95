#pragma once

#include "xptools/EnumTable.h"

// Output and display settings written by the controller. The numeric values are part of the
// protocol with the controller; each enumeration is one list from which the enumeration and its
// name table are generated.

#define KESTREL_VIDEO_OUTPUT_INTERFACES(X) \
    X(VIDEO_OUTPUT_UNKNOWN, 0)             \
    X(VIDEO_OUTPUT_HDMI_SDI, 1)            \
    X(VIDEO_OUTPUT_CVBS, 2)                \
    X(VIDEO_OUTPUT_END, 3)
enum VideoOutputInterface_e : int { KESTREL_VIDEO_OUTPUT_INTERFACES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoOutputInterface_e> kVideoOutputInterfaceNames[] = {
    KESTREL_VIDEO_OUTPUT_INTERFACES(XP_ENUM_NAME)};

#define KESTREL_FORMAT_MODES(X) \
    X(FORMAT_MODE_UNKNOWN, 0)   \
    X(FORMAT_MODE_AUTO, 1)      \
    X(FORMAT_MODE_MANUAL, 2)    \
    X(FORMAT_MODE_END, 3)
enum FormatMode_e : int { KESTREL_FORMAT_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<FormatMode_e> kFormatModeNames[] = {
    KESTREL_FORMAT_MODES(XP_ENUM_NAME)};

#define KESTREL_RASTER_MODES(X)   \
    X(RASTER_MODE_UNKNOWN, 0)     \
    X(RASTER_MODE_SOLID_COLOR, 1) \
    X(RASTER_MODE_LAST_FRAME, 2)  \
    X(RASTER_MODE_TYPE_END, 3)
enum RasterMode_e : int { KESTREL_RASTER_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<RasterMode_e> kRasterModeNames[] = {
    KESTREL_RASTER_MODES(XP_ENUM_NAME)};

#define KESTREL_RASTER_COLORS(X) \
    X(RASTER_UNKNOWN, 0)         \
    X(RASTER_BLACK, 1)           \
    X(RASTER_WHITE, 2)           \
    X(RASTER_YELLOW, 3)          \
    X(RASTER_CYAN, 4)            \
    X(RASTER_MAGENTA, 5)         \
    X(RASTER_RED, 6)             \
    X(RASTER_BLUE, 7)            \
    X(RASTER_GREEN, 8)           \
    X(RASTER_GRAY, 9)            \
    X(RASTER_END, 10)
enum RasterColor_e : int { KESTREL_RASTER_COLORS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<RasterColor_e> kRasterColorNames[] = {
    KESTREL_RASTER_COLORS(XP_ENUM_NAME)};

#define KESTREL_HD_DISPLAY_MODES(X)  \
    X(HD_DISPLAY_MODE_UNKNOWN, 0)    \
    X(HD_DISPLAY_MODE_CENTER_CUT, 1) \
    X(HD_DISPLAY_MODE_PILLARBAR, 2)  \
    X(HD_DISPLAY_MODE_ANAMORPHIC, 3) \
    X(HD_DISPLAY_MODE_END, 4)
enum HdDisplayMode_e : int { KESTREL_HD_DISPLAY_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<HdDisplayMode_e> kHdDisplayModeNames[] = {
    KESTREL_HD_DISPLAY_MODES(XP_ENUM_NAME)};

#define KESTREL_SD_DISPLAY_MODES(X)  \
    X(SD_DISPLAY_MODE_UNKNOWN, 0)    \
    X(SD_DISPLAY_MODE_CENTER_CUT, 1) \
    X(SD_DISPLAY_MODE_LETTERBOX, 2)  \
    X(SD_DISPLAY_MODE_ANAMORPHIC, 3) \
    X(SD_DISPLAY_MODE_END, 4)
enum SdDisplayMode_e : int { KESTREL_SD_DISPLAY_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<SdDisplayMode_e> kSdDisplayModeNames[] = {
    KESTREL_SD_DISPLAY_MODES(XP_ENUM_NAME)};

#define KESTREL_ASPECT_RATIO_CONVERSIONS(X) \
    X(ASPECT_RATIO_CONVERSION_UNKNOWN, 0)   \
    X(ASPECT_RATIO_CONVERSION_DISABLED, 1)  \
    X(ASPECT_RATIO_CONVERSION_AFD, 2)       \
    X(ASPECT_RATIO_CONVERSION_WSS, 3)       \
    X(ASPECT_RATIO_CONVERSION_END, 4)
enum AspectRatioConversion_e : int { KESTREL_ASPECT_RATIO_CONVERSIONS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AspectRatioConversion_e> kAspectRatioConversionNames[] = {
    KESTREL_ASPECT_RATIO_CONVERSIONS(XP_ENUM_NAME)};

#define KESTREL_COMPOSITE_525_STANDARDS(X) \
    X(COMPOSITE_525_UNKNOWN, 0)            \
    X(COMPOSITE_525_NTSC, 1)               \
    X(COMPOSITE_525_PAL_M, 2)              \
    X(COMPOSITE_525_END, 3)
enum Composite525_e : int { KESTREL_COMPOSITE_525_STANDARDS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<Composite525_e> kComposite525Names[] = {
    KESTREL_COMPOSITE_525_STANDARDS(XP_ENUM_NAME)};

#define KESTREL_COMPOSITE_625_STANDARDS(X) \
    X(COMPOSITE_625_UNKNOWN, 0)            \
    X(COMPOSITE_625_PAL_BGID, 1)           \
    X(COMPOSITE_625_PAL_N, 2)              \
    X(COMPOSITE_625_END, 3)
enum Composite625_e : int { KESTREL_COMPOSITE_625_STANDARDS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<Composite625_e> kComposite625Names[] = {
    KESTREL_COMPOSITE_625_STANDARDS(XP_ENUM_NAME)};

// No unknown member and no bound: 0 is 4:2:0.
#define KESTREL_COLOUR_SPACES(X) \
    X(COLOURSPACE_420, 0)        \
    X(COLOURSPACE_422, 1)        \
    X(COLOURSPACE_444, 2)
enum ColourSpace : int { KESTREL_COLOUR_SPACES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<ColourSpace> kColourSpaceNames[] = {
    KESTREL_COLOUR_SPACES(XP_ENUM_NAME)};

#define KESTREL_OVERLAY_TYPES(X)          \
    X(OVERLAY_TYPE_UNKNOWN, 0)            \
    X(OVERLAY_TYPE_NONE, 1)               \
    X(OVERLAY_TYPE_CLOSED_CAPTIONS, 2)    \
    X(OVERLAY_TYPE_DVB_SUBTITLES, 3)      \
    X(OVERLAY_TYPE_SERVICE_DATA, 4)       \
    X(OVERLAY_TYPE_TELETEXT_SUBTITLES, 5) \
    X(OVERLAY_TYPE_END, 6)
enum OverlayType_e : int { KESTREL_OVERLAY_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<OverlayType_e> kOverlayTypeNames[] = {
    KESTREL_OVERLAY_TYPES(XP_ENUM_NAME)};

#define KESTREL_OVERLAY_CC_TYPES(X) \
    X(OVERLAY_CC_TYPE_UNKNOWN, 0)   \
    X(OVERLAY_CC_TYPE_NTSC, 1)      \
    X(OVERLAY_CC_TYPE_DTVCC, 2)     \
    X(OVERLAY_CC_TYPE_END, 3)
enum OverlayCcType_e : int { KESTREL_OVERLAY_CC_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<OverlayCcType_e> kOverlayCcTypeNames[] = {
    KESTREL_OVERLAY_CC_TYPES(XP_ENUM_NAME)};

#define KESTREL_OVERLAY_NTSC_CC_TYPES(X) \
    X(OVERLAY_NTSC_TYPE_UNKNOWN, 0)      \
    X(OVERLAY_NTSC_TYPE_CC1, 1)          \
    X(OVERLAY_NTSC_TYPE_CC2, 2)          \
    X(OVERLAY_NTSC_TYPE_CC3, 3)          \
    X(OVERLAY_NTSC_TYPE_CC4, 4)          \
    X(OVERLAY_NTSC_TYPE_END, 5)
enum OverlayNtscCcType_e : int { KESTREL_OVERLAY_NTSC_CC_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<OverlayNtscCcType_e> kOverlayNtscCcTypeNames[] = {
    KESTREL_OVERLAY_NTSC_CC_TYPES(XP_ENUM_NAME)};

// One member per caption service number.
#define KESTREL_OVERLAY_DTV_CC_TYPES(X) \
    X(OVERLAY_DTV_TYPE_UNKNOWN, 0)      \
    X(OVERLAY_DTV_TYPE_SERVICE1, 1)     \
    X(OVERLAY_DTV_TYPE_SERVICE2, 2)     \
    X(OVERLAY_DTV_TYPE_SERVICE3, 3)     \
    X(OVERLAY_DTV_TYPE_SERVICE4, 4)     \
    X(OVERLAY_DTV_TYPE_SERVICE5, 5)     \
    X(OVERLAY_DTV_TYPE_SERVICE6, 6)     \
    X(OVERLAY_DTV_TYPE_END, 7)
enum OverlayDtvCcType_e : int { KESTREL_OVERLAY_DTV_CC_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<OverlayDtvCcType_e> kOverlayDtvCcTypeNames[] = {
    KESTREL_OVERLAY_DTV_CC_TYPES(XP_ENUM_NAME)};

#define KESTREL_ENABLES(X) \
    X(ENABLE_UNKNOWN, 0)   \
    X(ENABLE_ENABLED, 1)   \
    X(ENABLE_DISABLED, 2)  \
    X(ENABLE_END, 3)
enum Enable_e : int { KESTREL_ENABLES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<Enable_e> kEnableNames[] = {KESTREL_ENABLES(XP_ENUM_NAME)};
