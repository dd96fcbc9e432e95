#pragma once

#include <cstddef>
#include <cstdint>

// The input side of the tap registry (HostTsTap.h): the receiving thread hands each block of
// whole packets, and each discontinuity, to every registered tap in registration order.
namespace Kestrel {
namespace Host {

// `size` is a multiple of 188 and every packet starts with 0x47 (the input checks this).
void DeliverTs(const uint8_t* data, size_t size);
void DeliverDiscontinuity();

}  // namespace Host
}  // namespace Kestrel
