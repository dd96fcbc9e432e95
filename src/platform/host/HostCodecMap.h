#pragma once

#include "stb/stb_av.h"

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/avutil.h>
}

// FFmpeg's values onto the platform enumerations, for the stream information of the host board.
// Values with no platform counterpart map to the enumeration's BUTT (or NONE) member.
namespace Kestrel {
namespace Host {

AV_VID_STREAM_TYPE_E MapVideoCodec(AVCodecID codec);
// MPEG audio at the MPEG-1 rates (32, 44.1, 48 kHz) is MPEG-1, below them MPEG-2 (LSF); ADTS AAC
// is MPEG-2 AAC and LATM AAC MPEG-4 AAC.
AV_AUD_STREAM_TYPE_E MapAudioCodec(AVCodecID codec, int sampleRate);
// AVFieldOrder onto the platform's field orders.
AV_VIDEO_FIELD_ORDER_E MapFieldOrder(int fieldOrder);
// A pixel format (AVPixelFormat value) by its chroma subsampling: 4:2:0, 4:2:2 or 4:4:4;
// AV_VID_FORMAT_YUV_BUTT for anything else.
AV_VID_FORMAT_E MapPixelLayout(int pixelFormat);
// Bits per luma sample of a pixel format: 8, 10 or 12; AV_PIXEL_BITWIDTH_BUTT otherwise.
AV_PIXEL_BITWIDTH_E MapPixelBitWidth(int pixelFormat);
// The platform numbers sample formats as FFmpeg does; unknown values are NONE.
AV_AUD_FORMAT_E MapSampleFormat(int sampleFormat);

}  // namespace Host
}  // namespace Kestrel
