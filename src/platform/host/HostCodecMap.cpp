#include "platform/host/HostCodecMap.h"

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

namespace Kestrel {
namespace Host {

static_assert(static_cast<int>(AV_AUD_SAMPLE_FMT_NONE) == AV_SAMPLE_FMT_NONE &&
                  static_cast<int>(AV_AUD_SAMPLE_FMT_NB) == AV_SAMPLE_FMT_NB,
              "the platform numbers audio sample formats as FFmpeg does");

AV_VID_STREAM_TYPE_E MapVideoCodec(AVCodecID codec) {
    switch (codec) {
        case AV_CODEC_ID_MPEG1VIDEO:
        case AV_CODEC_ID_MPEG2VIDEO:
            return AV_VID_STREAM_TYPE_MPEG2;
        case AV_CODEC_ID_MPEG4:
            return AV_VID_STREAM_TYPE_MPEG4;
        case AV_CODEC_ID_CAVS:
            return AV_VID_STREAM_TYPE_AVS;
        case AV_CODEC_ID_H264:
            return AV_VID_STREAM_TYPE_H264;
        case AV_CODEC_ID_HEVC:
            return AV_VID_STREAM_TYPE_HEVC;
        case AV_CODEC_ID_AVS2:
            return AV_VID_STREAM_TYPE_AVS2;
        default:
            return AV_VID_STREAM_TYPE_BUTT;
    }
}

AV_AUD_STREAM_TYPE_E MapAudioCodec(AVCodecID codec, int sampleRate) {
    switch (codec) {
        case AV_CODEC_ID_MP1:
        case AV_CODEC_ID_MP2:
        case AV_CODEC_ID_MP3:
            return (sampleRate == 0 || sampleRate >= 32000) ? AV_AUD_STREAM_TYPE_MPGE1
                                                            : AV_AUD_STREAM_TYPE_MPGE2;
        case AV_CODEC_ID_AAC:
            return AV_AUD_STREAM_TYPE_MPEG2_AAC;
        case AV_CODEC_ID_AAC_LATM:
            return AV_AUD_STREAM_TYPE_MPEG4_AAC;
        case AV_CODEC_ID_AC3:
            return AV_AUD_STREAM_TYPE_AC3;
        case AV_CODEC_ID_EAC3:
            return AV_AUD_STREAM_TYPE_EAC3;
        default:
            return AV_AUD_STREAM_TYPE_BUTT;
    }
}

AV_VIDEO_FIELD_ORDER_E MapFieldOrder(int fieldOrder) {
    switch (fieldOrder) {
        case AV_FIELD_PROGRESSIVE:
            return AV_VIDEO_FIELD_PROGRESSIVE;
        case AV_FIELD_TT:
            return AV_VIDEO_FIELD_TT;
        case AV_FIELD_BB:
            return AV_VIDEO_FIELD_BB;
        case AV_FIELD_TB:
            return AV_VIDEO_FIELD_TB;
        case AV_FIELD_BT:
            return AV_VIDEO_FIELD_BT;
        default:
            return AV_VIDEO_FIELD_UNKNOWN;
    }
}

AV_VID_FORMAT_E MapPixelLayout(int pixelFormat) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pixelFormat));
    if (desc == nullptr || desc->nb_components < 3 || (desc->flags & AV_PIX_FMT_FLAG_RGB) != 0) {
        return AV_VID_FORMAT_YUV_BUTT;
    }
    if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 1) {
        return AV_VID_FORMAT_YUV_SEMIPLANAR_420;
    }
    if (desc->log2_chroma_w == 1 && desc->log2_chroma_h == 0) {
        return AV_VID_FORMAT_YUV_SEMIPLANAR_422;
    }
    if (desc->log2_chroma_w == 0 && desc->log2_chroma_h == 0) {
        return AV_VID_FORMAT_YUV_SEMIPLANAR_444;
    }
    return AV_VID_FORMAT_YUV_BUTT;
}

AV_PIXEL_BITWIDTH_E MapPixelBitWidth(int pixelFormat) {
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(pixelFormat));
    if (desc == nullptr || desc->nb_components == 0) {
        return AV_PIXEL_BITWIDTH_BUTT;
    }
    switch (desc->comp[0].depth) {
        case 8:
            return AV_PIXEL_BITWIDTH_8BIT;
        case 10:
            return AV_PIXEL_BITWIDTH_10BIT;
        case 12:
            return AV_PIXEL_BITWIDTH_12BIT;
        default:
            return AV_PIXEL_BITWIDTH_BUTT;
    }
}

AV_AUD_FORMAT_E MapSampleFormat(int sampleFormat) {
    if (sampleFormat < 0 || sampleFormat >= AV_SAMPLE_FMT_NB) {
        return AV_AUD_SAMPLE_FMT_NONE;
    }
    return static_cast<AV_AUD_FORMAT_E>(sampleFormat);
}

}  // namespace Host
}  // namespace Kestrel
