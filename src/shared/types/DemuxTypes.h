#pragma once

#include "xptools/EnumTable.h"

// Enumerations the device layer uses with the demux.

// The kind of elementary stream a PID is set for.
#define KESTREL_ES_TYPES(X) \
    X(ES_TYPE_AUDIO, 0)     \
    X(ES_TYPE_PCR, 1)       \
    X(ES_TYPE_SECTION, 2)   \
    X(ES_TYPE_VIDEO, 3)     \
    X(ES_TYPE_TTX, 4)       \
    X(ES_TYPE_SCTE35, 5)
enum EsType_e : int { KESTREL_ES_TYPES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<EsType_e> kEsTypeNames[] = {KESTREL_ES_TYPES(XP_ENUM_NAME)};

// Events the demux raises to its subscribers.
#define KESTREL_DECODER_EVENTS(X)      \
    X(DECODER_EVENT_STOP_REQUIRED, 0)  \
    X(DECODER_EVENT_DECODE_STOPPED, 1) \
    X(DECODER_EVENT_DECODE_STARTED, 2) \
    X(DECODER_EVENT_DECODE_TTX, 3)
enum DecoderEvents_e : int { KESTREL_DECODER_EVENTS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<DecoderEvents_e> kDecoderEventNames[] = {
    KESTREL_DECODER_EVENTS(XP_ENUM_NAME)};
