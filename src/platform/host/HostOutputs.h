#pragma once

#include <cstdint>
#include <string>

#include "stb/stb_types.h"

// The outputs of the host decoder board: video output channels and windows, audio outputs and
// tracks, the closed-caption renderer and the subtitle renderers, behind the vout_*, aout_*,
// cc_* and subtitle_* calls. Nothing is drawn or played; each output keeps the state a board
// would have and, on every change, the whole state is written to a text file under the root so
// that a person or a test can see what the controller's settings did.
//
// State file: RootPath("/host/outputs.state"), replaced atomically. One "key=value" per line,
// keys sorted; lines starting with '#' are comments. Enumerations are written by their member
// names without the enumeration prefix (e.g. "HD_1080I", "59_94"), or as a number when the
// value has no name. Keys:
//   vout.initialized, vout.display_enable
//   vout.<channel>.open (channel HD0 HD1 HD2 SD0 SD1 SD2), vout.<channel>.output_type,
//   vout.<channel>.format, .frame_rate, .auto_format, .auto_frame_rate, .aspect_ratio,
//   .output_enable, .hue, .brightness, .contrast, .saturation, .3d_depth, .3d_format,
//   .osd_rect (x,y,width,height), .out_region (left,top,right,bottom), .clear_logo
//   vout.window.<n>.channel, .open, .input (the AV handle attached, 0 when none)
//   aout.initialized; aout.<id>.open (id ID_0..ID_3), aout.<id>.device (bit mask);
//   aout.<id>.<device>.volume ("<n>%" linear, "<n>dB" not linear), .mute, .digital_mode,
//   .channel_mode (device RCA SPDIF HDMI SPEAKER ARC); aout.track.<n>.output, .input
//   cc.initialized, cc.type, cc.created, cc.data, cc.window (x,y,width,height), cc.started,
//   cc.overlay, cc.vbi, cc.608.channel, cc.608.display_format, cc.708.service,
//   cc.708.display_format, cc.708.font_size (the attributes last set)
//   subtitle.initialized; subtitle.<n>.source, .type, .pid, .page, .ancillary,
//   .cc_video_format, .cc_input, .cc_service, .decoding, .decoding_pid, .visible
//
// Threads: every call may come from any thread; one lock guards the whole state and the file
// is written under it, so the file always shows a state that existed.
namespace Kestrel {
namespace Host {

// Results of the output calls besides 0.
constexpr STB_STATUS OUTPUT_ERR_NOT_INIT = 0x80420001u;     // area not initialised
constexpr STB_STATUS OUTPUT_ERR_NULL = 0x80420002u;         // a required pointer is null
constexpr STB_STATUS OUTPUT_ERR_HANDLE = 0x80420003u;       // unknown handle
constexpr STB_STATUS OUTPUT_ERR_ARGUMENT = 0x80420004u;     // value out of range
constexpr STB_STATUS OUTPUT_ERR_STATE = 0x80420005u;        // not possible in this state
constexpr STB_STATUS OUTPUT_ERR_NO_RESOURCE = 0x80420006u;  // all windows/tracks/renderers used

// The board path of the state file.
extern const char* const OUTPUTS_STATE_PATH;  // "/host/outputs.state"

// The state as the file shows it (tests, diagnostics).
std::string RenderOutputsState();

}  // namespace Host
}  // namespace Kestrel
