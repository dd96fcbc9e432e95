#pragma once

#include "xptools/EnumTable.h"

// Audio and decoder settings written by the controller. The numeric values are part of the
// protocol with the controller.

#define KESTREL_AUDIO_STATES(X) \
    X(AUDIO_STATE_UNKNOWN, 0)   \
    X(AUDIO_STATE_ON, 1)        \
    X(AUDIO_STATE_OFF, 2)       \
    X(AUDIO_STATE_END, 3)
enum AudioState_e : int { KESTREL_AUDIO_STATES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioState_e> kAudioStateNames[] = {
    KESTREL_AUDIO_STATES(XP_ENUM_NAME)};

#define KESTREL_ANALOG_AUDIO_PORTS(X) \
    X(ANALOG_AUDIO_UNKNOWN, 0)        \
    X(ANALOG_AUDIO_OFF, 1)            \
    X(ANALOG_AUDIO_1, 2)              \
    X(ANALOG_AUDIO_2, 3)              \
    X(ANALOG_AUDIO_END, 4)
enum AnalogAudio_e : int { KESTREL_ANALOG_AUDIO_PORTS(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AnalogAudio_e> kAnalogAudioNames[] = {
    KESTREL_ANALOG_AUDIO_PORTS(XP_ENUM_NAME)};

#define KESTREL_AUDIO_DIGITAL_MODES(X) \
    X(AUDIO_DIGITAL_MODE_UNKNOWN, 0)   \
    X(AUDIO_DIGITAL_MODE_PCM, 1)       \
    X(AUDIO_DIGITAL_MODE_RAW, 2)       \
    X(AUDIO_DIGITAL_MODE_AUTO, 3)      \
    X(AUDIO_DIGITAL_MODE_END, 4)
enum AudioDigitalMode_e : int { KESTREL_AUDIO_DIGITAL_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<AudioDigitalMode_e> kAudioDigitalModeNames[] = {
    KESTREL_AUDIO_DIGITAL_MODES(XP_ENUM_NAME)};

#define KESTREL_DECODER_SYNC_MODES(X) \
    X(DECODER_SYNC_MODE_UNKNOWN, 0)   \
    X(DECODER_SYNC_MODE_DISABLE, 1)   \
    X(DECODER_SYNC_MODE_AUTO, 2)      \
    X(DECODER_SYNC_MODE_PCR, 3)       \
    X(DECODER_SYNC_MODE_VID, 4)       \
    X(DECODER_SYNC_MODE_AUD, 5)       \
    X(DECODER_SYNC_MODE_SCR, 6)       \
    X(DECODER_SYNC_MODE_BUTT, 7)      \
    X(DECODER_SYNC_MODE_END, 8)
enum DecoderSyncMode_e : int { KESTREL_DECODER_SYNC_MODES(XP_ENUM_MEMBER) };
inline constexpr XP::EnumName_t<DecoderSyncMode_e> kDecoderSyncModeNames[] = {
    KESTREL_DECODER_SYNC_MODES(XP_ENUM_NAME)};
