#include "platform/host/HostStreamInfo.h"

#include <cstring>
#include <mutex>

#include "platform/host/HostStreamProber.h"
#include "platform/host/HostTsTap.h"

namespace Kestrel {
namespace Host {

namespace {

// The board has one stream analysis, fed by the one input.
struct StreamInfoService {
    std::mutex mutex;  // guards `registered`; never held while the prober probes
    bool registered = false;
    StreamProber prober;
};

StreamInfoService& Service() {
    static StreamInfoService service;
    return service;
}

}  // namespace

void StartStreamInfo() {
    StreamInfoService& s = Service();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.registered) {
        AddTsTap(&s.prober);
        s.registered = true;
    }
}

void StopStreamInfo() {
    StreamInfoService& s = Service();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.registered) {
        RemoveTsTap(&s.prober);
        s.registered = false;
    }
    s.prober.Clear();
}

uint32_t FillStreamInfo(AV_STREAM_INFO_S* info) {
    if (info == nullptr) {
        return 1;
    }
    StartStreamInfo();
    Service().prober.Fill(info);
    return 0;
}

}  // namespace Host
}  // namespace Kestrel
