#include "platform/host/HostTsTap.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/host/HostTsTapRegistry.h"

namespace Kestrel {
namespace Host {

namespace {

// The registry lock is held while taps are called, which is what lets RemoveTsTap promise that
// the removed tap is no longer running. A tap must therefore not add or remove taps from OnTs.
std::mutex& RegistryMutex() {
    static std::mutex s_Mutex;
    return s_Mutex;
}

std::vector<ITsTap*>& Taps() {
    static std::vector<ITsTap*> s_Taps;
    return s_Taps;
}

}  // namespace

void AddTsTap(ITsTap* tap) {
    if (tap == nullptr)
        return;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto& taps = Taps();
    if (std::find(taps.begin(), taps.end(), tap) == taps.end())
        taps.push_back(tap);
}

void RemoveTsTap(ITsTap* tap) {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    auto& taps = Taps();
    taps.erase(std::remove(taps.begin(), taps.end(), tap), taps.end());
}

void DeliverTs(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0)
        return;
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (ITsTap* tap : Taps())
        tap->OnTs(data, size);
}

void DeliverDiscontinuity() {
    std::lock_guard<std::mutex> lock(RegistryMutex());
    for (ITsTap* tap : Taps())
        tap->OnDiscontinuity();
}

}  // namespace Host
}  // namespace Kestrel
