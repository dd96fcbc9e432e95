// Pushes arbitrary bytes through the serial link's unframer. Whatever it delivers must be an
// operation that, framed again and pushed through a fresh unframer, comes back unchanged; and it
// never delivers more operations than the input has end bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/comms/FrameUnframer.h"
#include "shared/comms/SsOp.h"
#include "shared/comms/UartFraming.h"
#include "xptools/Print.h"

namespace {

std::vector<uint8_t> ByteForm(SsOp& op) {
    std::vector<uint8_t> bytes;
    op.GetSerializedOp(bytes);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The unframer's diagnostics would only slow the run down.
    static const bool quiet = [] {
        XP::SetConsoleSink([](const std::string&) {});
        return true;
    }();
    (void)quiet;

    std::vector<XP::CSharedPtr<SsOp>> delivered;
    CFrameUnframer unframer([&delivered](XP::CSharedPtr<SsOp> op) { delivered.push_back(op); });
    // Two halves, so a frame may straddle pushes.
    const size_t half = size / 2;
    unframer.Push(data, half);
    unframer.Push(data + half, size - half);

    size_t endBytes = 0;
    for (size_t i = 0; i < size; ++i) {
        endBytes += data[i] == UartFraming::kFrameEnd ? 1 : 0;
    }
    if (delivered.size() > endBytes)
        __builtin_trap();

    for (XP::CSharedPtr<SsOp>& op : delivered) {
        if (!op)
            __builtin_trap();
        const std::vector<uint8_t> payload = ByteForm(*op);
        if (payload.size() > UartFraming::kMaxFramePayload)
            __builtin_trap();
        const std::vector<uint8_t> wire = UartFraming::EncodeFrame(payload);
        std::vector<XP::CSharedPtr<SsOp>> again;
        CFrameUnframer second([&again](XP::CSharedPtr<SsOp> op2) { again.push_back(op2); });
        second.Push(wire.data(), wire.size());
        if (again.size() != 1 || ByteForm(*again[0]) != payload)
            __builtin_trap();
    }
    return 0;
}
