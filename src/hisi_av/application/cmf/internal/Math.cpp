#include "hisi_av/application/cmf/internal/Math.h"

namespace Cmf {
namespace Math {

uint64_t Scale(uint64_t a, uint64_t b, uint64_t c) {
    if (c == 0) {
        return 0;
    }
    const double result = static_cast<double>(a) * static_cast<double>(b) / static_cast<double>(c);
    // 2^64: the first double that no longer converts to uint64_t.
    constexpr double LIMIT = 18446744073709551616.0;
    if (result >= LIMIT) {
        return UINT64_MAX;
    }
    return static_cast<uint64_t>(result);
}

}  // namespace Math
}  // namespace Cmf
