#pragma once

#include <cstddef>
#include <cstring>

#include "hisi_av/application/cmf/codec/Defragmenter.h"
#include "xptools/Delegate.h"

namespace Cmf {

// The subscriber list shared by the video defragmenters, and the way they take a fragment's
// bytes.
//
// Threads: none; subscribe, unsubscribe and feed on one thread.
class VideoDefragmenter : public Defragmenter {
public:
    void Subscribe(const Functor_t& functor) override;
    void Unsubscribe(const Functor_t& functor) override;

    // With `fast` (the default) runs of bytes that cannot begin a start code are copied at once
    // instead of passing the byte machine one at a time; both deliver the same access units.
    void SetFastScan(bool fast) { m_FastScan = fast; }

protected:
    // Feeds `size` bytes to `putByte`, the byte machine. While `idle()` holds (the start-code
    // scanner waits for a first zero byte, so any other byte only extends the access unit) the
    // run up to the next zero is appended to `pBuffer` (holding `used` of `capacity` bytes) in
    // one copy; a run that would overflow the buffer is cut there and the byte machine deals
    // with the overflow.
    template <typename Idle_t, typename PutByte_t>
    void FeedBytes(const unsigned char* bytes, std::size_t size, unsigned char* pBuffer,
                   std::size_t& used, std::size_t capacity, Idle_t idle, PutByte_t putByte) {
        for (std::size_t i = 0; i < size;) {
            if (m_FastScan && idle()) {
                std::size_t run = RunWithoutZeroPair(bytes + i, size - i);
                if (run > capacity - used) {
                    run = capacity - used;
                }
                std::memcpy(pBuffer + used, bytes + i, run);
                used += run;
                i += run;
                if (i == size) {
                    break;
                }
            }
            putByte(bytes[i++]);
        }
    }

    XP::CDelegate<void(const AccessUnit&)> m_Delegate;

private:
    // The length of the run at `bytes` that leaves a waiting start-code scanner waiting: up to
    // the first zero followed by another zero or by the end of the bytes. A zero followed by any
    // other byte sends the scanner back to waiting.
    static std::size_t RunWithoutZeroPair(const unsigned char* bytes, std::size_t size) {
        std::size_t i = 0;
        while (i < size) {
            const void* zero = std::memchr(bytes + i, 0x00, size - i);
            if (zero == nullptr) {
                return size;
            }
            i = static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - bytes);
            if (i + 1 >= size || bytes[i + 1] == 0x00) {
                return i;
            }
            i += 2;
        }
        return size;
    }

    bool m_FastScan = true;
};

}  // namespace Cmf
