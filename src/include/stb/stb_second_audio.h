#ifndef KESTREL_STB_SECOND_AUDIO_H
#define KESTREL_STB_SECOND_AUDIO_H

/*
 * Second audio decoder of the platform library: decodes a second audio PID of the playing
 * service to PCM for the daemon to stream. Unlike the rest of the interface these operations
 * return 0 on success and -1 on failure.
 */

#include "stb/stb_av.h"
#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

/* Most PCM bytes one second_audio_decoder_service call delivers; the caller's buffer holds at
 * least this many. */
#define SECOND_AUDIO_PCM_MAX_BYTES 384000

int32_t second_audio_decoder_init(void);
/* Sets the decoder up for the current PID; -1 when it cannot (yet). */
int32_t second_audio_decoder_service_init(void);
/* Decodes the next PCM: writes up to SECOND_AUDIO_PCM_MAX_BYTES bytes into the buffer at
 * *ppu8Pcm, their count into *pu32Length and their 90 kHz presentation time into *pu32Pts,
 * and returns 0; -1 when nothing is decoding. */
int32_t second_audio_decoder_service(uint8_t** ppu8Pcm, uint32_t* pu32Length, uint32_t* pu32Pts);
/* 1 when the second audio path is available, else 0. */
int32_t second_audio_decoder_check_avail(void);
/* Releases what second_audio_decoder_service_init set up. */
int32_t second_audio_decoder_free(void);
int32_t second_audio_decoder_set_audio_pid(uint32_t u32Pid);
int32_t second_audio_decoder_set_audio_volume(uint32_t u32Volume);
int32_t second_audio_decoder_set_audio_output_state(uint32_t u32State);
int32_t second_audio_decoder_set_video_type(AV_VID_STREAM_TYPE_E enVideoType);
int32_t second_audio_decoder_set_avail(uint32_t u32Avail);

STB_EXTERN_C_END

#endif /* KESTREL_STB_SECOND_AUDIO_H */
