#include "shared/system/Endpoints.h"

#include <cstdlib>

#include "xptools/Address.h"
#include "xptools/Print.h"

namespace Kestrel {
namespace Sys {
namespace {

constexpr uint32_t Ip(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return (a << 24) | (b << 16) | (c << 8) | d;
}

constexpr uint32_t kLoopback = Ip(127, 0, 0, 1);

bool ParsePort(const std::string& text, uint16_t& port) {
    if (text.empty() || text.size() > 5)
        return false;
    unsigned long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value == 0 || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

bool ParseLoopback(const std::string& text, uint32_t& address) {
    XP::CIpAddress ip;
    if (!ip.Set(text) || !IsLoopback(ip.GetIpInt()))
        return false;
    address = ip.GetIpInt();
    return true;
}

// "file:PATH" or "udp://127.x.y.z:PORT".
bool ValidTsInput(const std::string& text) {
    if (text.compare(0, 5, "file:") == 0)
        return text.size() > 5;
    const std::string udp = "udp://";
    if (text.compare(0, udp.size(), udp) != 0)
        return false;
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon < udp.size())
        return false;
    uint32_t address = 0;
    uint16_t port = 0;
    return ParseLoopback(text.substr(udp.size(), colon - udp.size()), address) &&
           ParsePort(text.substr(colon + 1), port);
}

}  // namespace

bool IsLoopback(uint32_t address) {
    return (address >> 24) == 127;
}

Endpoints_t BoardEndpoints() {
    Endpoints_t e;
    e.serialDevice = "/dev/ttyS2";
    e.serialBaud = 115200;
    e.tsInputAddress = Ip(227, 11, 22, 33);
    e.tsInputPort = 1234;
    e.tsInput = "udp://227.11.22.33:1234";
    e.sdiAddress = Ip(192, 168, 37, 95);
    e.sdiClockPort = 9988;
    e.captionBasePort = 9595;
    e.secondAudioAddress = Ip(227, 18, 19, 20);
    e.secondAudioPort = 1819;
    e.secondAudioInterface = "eth0";
    e.upgradeListenAddress = 0;
    e.upgradePort = 8888;
    return e;
}

Endpoints_t HostDefaultEndpoints() {
    Endpoints_t e = BoardEndpoints();
    e.tsInputAddress = kLoopback;
    e.tsInput = "udp://127.0.0.1:1234";
    e.sdiAddress = kLoopback;
    // Unicast to the loopback address instead of the board's multicast group, on the default
    // route: nothing is bound to a named interface of this machine.
    e.secondAudioAddress = kLoopback;
    e.secondAudioInterface = "";
    e.upgradeListenAddress = kLoopback;
    return e;
}

bool ApplyHostOverride(Endpoints_t& e, const std::string& name, const std::string& value) {
    bool ok = false;
    Endpoints_t changed = e;
    if (name == "KESTREL_TS_INPUT") {
        ok = ValidTsInput(value);
        changed.tsInput = value;
    } else if (name == "KESTREL_SDI_ADDRESS") {
        ok = ParseLoopback(value, changed.sdiAddress);
    } else if (name == "KESTREL_SDI_CLOCK_PORT") {
        ok = ParsePort(value, changed.sdiClockPort);
    } else if (name == "KESTREL_CC_BASE_PORT") {
        ok = ParsePort(value, changed.captionBasePort);
    } else if (name == "KESTREL_AUDIO2_ADDRESS") {
        ok = ParseLoopback(value, changed.secondAudioAddress);
    } else if (name == "KESTREL_AUDIO2_PORT") {
        ok = ParsePort(value, changed.secondAudioPort);
    } else if (name == "KESTREL_UPGRADE_PORT") {
        ok = ParsePort(value, changed.upgradePort);
    } else if (name == "KESTREL_SERIAL_DEVICE") {
        ok = !value.empty() && value[0] == '/';
        changed.serialDevice = value;
    } else {
        XP::MyPrintf("Unknown endpoint setting %s", name.c_str());
        return false;
    }
    if (!ok) {
        XP::MyPrintf("Ignoring %s=\"%s\": not a valid loopback endpoint", name.c_str(),
                     value.c_str());
        return false;
    }
    e = changed;
    return true;
}

Endpoints_t HostEndpoints() {
    Endpoints_t e = HostDefaultEndpoints();
    static const char* const kNames[] = {
        "KESTREL_TS_INPUT",     "KESTREL_SDI_ADDRESS",    "KESTREL_SDI_CLOCK_PORT",
        "KESTREL_CC_BASE_PORT", "KESTREL_AUDIO2_ADDRESS", "KESTREL_AUDIO2_PORT",
        "KESTREL_UPGRADE_PORT", "KESTREL_SERIAL_DEVICE",
    };
    for (const char* name : kNames) {
        if (const char* value = std::getenv(name))
            ApplyHostOverride(e, name, value);
    }
    return e;
}

const Endpoints_t& Endpoints() {
#if KESTREL_BOARD
    static const Endpoints_t endpoints = BoardEndpoints();
#else
    static const Endpoints_t endpoints = HostEndpoints();
#endif
    return endpoints;
}

}  // namespace Sys
}  // namespace Kestrel
