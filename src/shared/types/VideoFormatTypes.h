#pragma once

#include "xptools/EnumTable.h"

// Output and input raster formats: W<width>_H<height>_<rate><scan>, the rate's decimal point
// written as an underscore; standard definition adds the colour standard and, for 4:3, _4X3.
// There is no unknown member at 0: a zero-filled format field means 4096x2160 at 60 Hz, and
// VIDEO_FORMAT_INVALID is both the bound and the value for "no format".
#define KESTREL_VIDEO_FORMATS(X)      \
    X(W4096_H2160_60P, 0)             \
    X(W4096_H2160_59_94P, 1)          \
    X(W4096_H2160_50P, 2)             \
    X(W4096_H2160_30P, 3)             \
    X(W4096_H2160_29_97P, 4)          \
    X(W4096_H2160_25P, 5)             \
    X(W4096_H2160_24P, 6)             \
    X(W4096_H2160_23_98P, 7)          \
    X(W3840_H2160_60P, 8)             \
    X(W3840_H2160_59_94P, 9)          \
    X(W3840_H2160_50P, 10)            \
    X(W3840_H2160_30P, 11)            \
    X(W3840_H2160_29_97P, 12)         \
    X(W3840_H2160_25P, 13)            \
    X(W3840_H2160_24P, 14)            \
    X(W3840_H2160_23_98P, 15)         \
    X(W1920_H1080_60P, 16)            \
    X(W1920_H1080_59_94P, 17)         \
    X(W1920_H1080_50P, 18)            \
    X(W1920_H1080_30P, 19)            \
    X(W1920_H1080_29_97P, 20)         \
    X(W1920_H1080_25P, 21)            \
    X(W1920_H1080_24P, 22)            \
    X(W1920_H1080_23_98P, 23)         \
    X(W1920_H1080_30I, 24)            \
    X(W1920_H1080_29_97I, 25)         \
    X(W1920_H1080_25I, 26)            \
    X(W1920_H1080_24I, 27)            \
    X(W1920_H1080_23_98I, 28)         \
    X(W1280_H720_60P, 29)             \
    X(W1280_H720_59_94P, 30)          \
    X(W1280_H720_50P, 31)             \
    X(W720_H576_25I_PAL_N, 32)        \
    X(W720_H576_25I_PAL_BDGI, 33)     \
    X(W720_H480_29_97I_PAL_M, 34)     \
    X(W720_H480_29_97I_NTSC, 35)      \
    X(W720_H576_25I_PAL_N_4X3, 36)    \
    X(W720_H576_25I_PAL_BDGI_4X3, 37) \
    X(W720_H480_29_97I_PAL_M_4X3, 38) \
    X(W720_H480_29_97I_NTSC_4X3, 39)  \
    X(VIDEO_FORMAT_INVALID, 40)
enum VideoFormat_e : int { KESTREL_VIDEO_FORMATS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<VideoFormat_e> kVideoFormatNames[] = {
    KESTREL_VIDEO_FORMATS(XP_ENUM_NAME)};
