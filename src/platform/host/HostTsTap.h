#pragma once

#include <cstddef>
#include <cstdint>

// Seam between the parts of the host platform: the input side receives the transport stream and
// hands every received block (whole 188-byte packets, in arrival order) to the taps registered
// here; the stream prober and the second audio decoder read the stream through taps.
//
// Threads: OnTs runs on the input thread and must not block (copy what you need and return).
// AddTsTap/RemoveTsTap may be called from any thread; after RemoveTsTap returns, OnTs of that tap
// is not running and will not be called again.
namespace Kestrel {
namespace Host {

class ITsTap {
public:
    virtual ~ITsTap() = default;
    // `data` holds `size` bytes, a multiple of 188, each packet starting with 0x47. A discontinuity
    // (input restarted, file looped with a jump) is signalled first by OnDiscontinuity.
    virtual void OnTs(const uint8_t* data, size_t size) = 0;
    virtual void OnDiscontinuity() {}
};

void AddTsTap(ITsTap* tap);
void RemoveTsTap(ITsTap* tap);

}  // namespace Host
}  // namespace Kestrel
