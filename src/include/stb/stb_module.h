#ifndef KESTREL_STB_MODULE_H
#define KESTREL_STB_MODULE_H

/*
 * The platform AV library's C interface, whole: library bring-up and system services, the AV
 * player, video and audio outputs, caption and subtitle renderers and the second audio
 * decoder. Implemented by the board's library (libstb_module), by the scripted fake for tests
 * and by the host's software decoder.
 */

#include "stb/stb_aout.h"
#include "stb/stb_av.h"
#include "stb/stb_caption.h"
#include "stb/stb_layout.h"
#include "stb/stb_second_audio.h"
#include "stb/stb_subtitle.h"
#include "stb/stb_system.h"
#include "stb/stb_types.h"
#include "stb/stb_vout.h"

#endif /* KESTREL_STB_MODULE_H */
