#pragma once

#include <cstdint>
#include <string>

// Every address, port and device the daemon talks to lives in one record. The board profile
// holds the board's constants. The host profile keeps everything on the loopback network and may
// be changed through options or KESTREL_* environment variables; it refuses any address outside
// 127.0.0.0/8.
namespace Kestrel {
namespace Sys {

struct Endpoints_t {
    // Serial link to the controller.
    std::string serialDevice;  // board path, resolved through the root
    uint32_t serialBaud;

    // Transport stream input of the platform player. On the board a multicast group; on the
    // host "file:PATH" or "udp://127.0.0.1:PORT", read by the host platform.
    uint32_t tsInputAddress;  // host order, first octet most significant
    uint16_t tsInputPort;
    std::string tsInput;

    // SDI output stage: the decoder clock, and captions at captionBasePort + decoder index.
    uint32_t sdiAddress;
    uint16_t sdiClockPort;
    uint16_t captionBasePort;

    // Second audio PCM stream and the interface it leaves through ("" for the default route).
    uint32_t secondAudioAddress;
    uint16_t secondAudioPort;
    std::string secondAudioInterface;

    // Upgrade archive listener (TCP).
    uint32_t upgradeListenAddress;  // 0 means all local addresses
    uint16_t upgradePort;
};

// The board's constants.
Endpoints_t BoardEndpoints();

// Loopback defaults, with no overrides applied.
Endpoints_t HostDefaultEndpoints();

// Loopback defaults changed by the environment: KESTREL_TS_INPUT, KESTREL_SDI_ADDRESS,
// KESTREL_SDI_CLOCK_PORT, KESTREL_CC_BASE_PORT, KESTREL_AUDIO2_ADDRESS, KESTREL_AUDIO2_PORT,
// KESTREL_UPGRADE_PORT, KESTREL_SERIAL_DEVICE. A value that is malformed or leaves the loopback
// network is reported on the console and the default kept.
Endpoints_t HostEndpoints();

// Applies one override by its environment name (also used for command-line options).
// False, with a console message and the record unchanged, when the name is unknown, the value
// malformed or outside the loopback network.
bool ApplyHostOverride(Endpoints_t& endpoints, const std::string& name, const std::string& value);

// The record in force: the board's on the board, HostEndpoints() elsewhere (read once).
const Endpoints_t& Endpoints();

bool IsLoopback(uint32_t address);

}  // namespace Sys
}  // namespace Kestrel
