#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <utility>

#include "xptools/Print.h"
#include "xptools/Uncopyable.h"

namespace Cmf {

// A fixed ring of items handed from one producer thread to one consumer thread without a lock.
//
// Each slot carries a ticket that says what it holds for the position p that maps to it: p when
// it is empty and may be written, p + 1 when it holds the item written at p. Popping the item at
// p sets the ticket to p + capacity, the next position that maps to the slot. Positions grow
// without bound; tickets compare them modulo 2^32, which is safe because the capacity is far
// smaller.
//
// The capacity is the smallest power of two above the requested size (at least 2) and is capped
// at MAX_CAPACITY slots: the ring never grows. A push into a full ring fails and leaves the choice
// of dropping or retrying to the producer.
//
// Threads: exactly one thread calls TryPush and exactly one (possibly other) thread calls TryPop.
// m_Tail belongs to the producer and m_Head to the consumer; each sits on a cache line of its own
// and the slot tickets (acquire/release) carry the items between them. Nothing blocks.
// Construction and destruction happen while neither side runs; the destructor destroys the items
// still queued.
template <typename T>
class SpscBoundedQueue : private XP::CUncopyable {
public:
    static constexpr std::size_t CACHE_LINE_SIZE = 64;
    static constexpr std::size_t MAX_CAPACITY = 65536;

    explicit SpscBoundedQueue(std::size_t requestedSize)
        : m_Head(0), m_Tail(0), m_Mask(GetMask(Limit(requestedSize))) {
        m_Slots.reset(new Slot_t[m_Mask + 1]);
        for (std::size_t i = 0; i <= m_Mask; ++i) {
            m_Slots[i].ticket.store(static_cast<unsigned int>(i), std::memory_order_relaxed);
        }
    }

    ~SpscBoundedQueue() {
        for (std::size_t pos = m_Head; pos - m_Head <= m_Mask; ++pos) {
            Slot_t& slot = m_Slots[pos & m_Mask];
            if (slot.ticket.load(std::memory_order_acquire) != Ticket(pos + 1)) {
                break;
            }
            slot.Item()->~T();
        }
    }

    // Producer: false when the ring is full.
    bool TryPush(const T& item) { return Emplace(item); }
    bool TryPush(T&& item) { return Emplace(std::move(item)); }

    // Consumer: moves the oldest item out; false when the ring is empty.
    bool TryPop(T& item) {
        Slot_t& slot = m_Slots[m_Head & m_Mask];
        if (slot.ticket.load(std::memory_order_acquire) != Ticket(m_Head + 1)) {
            return false;
        }
        T* pItem = slot.Item();
        item = std::move(*pItem);
        pItem->~T();
        slot.ticket.store(Ticket(m_Head + m_Mask + 1), std::memory_order_release);
        ++m_Head;
        return true;
    }

    std::size_t GetCapacity() const { return m_Mask + 1; }

    // The requested size with every bit below its highest set bit also set, and bit 0 set: the
    // capacity minus one (7 gives 7, 8 gives 15). Sizes up to 2^32 − 1.
    static std::size_t GetMask(std::size_t n) {
        n |= n >> 1;
        n |= n >> 2;
        n |= n >> 4;
        n |= n >> 8;
        n |= n >> 16;
        return n | 1;
    }

private:
    struct alignas(CACHE_LINE_SIZE) Slot_t {
        std::atomic<unsigned int> ticket;
        alignas(T) unsigned char item[sizeof(T)];

        T* Item() { return std::launder(reinterpret_cast<T*>(item)); }
    };
    static_assert(sizeof(Slot_t) % CACHE_LINE_SIZE == 0, "slots fill whole cache lines");

    static unsigned int Ticket(std::size_t position) { return static_cast<unsigned int>(position); }

    static std::size_t Limit(std::size_t requestedSize) {
        if (requestedSize >= MAX_CAPACITY) {
            XP::MyPrintf("SpscBoundedQueue: requested size %zu limited to %zu slots", requestedSize,
                         MAX_CAPACITY);
            return MAX_CAPACITY - 1;
        }
        return requestedSize;
    }

    template <typename U>
    bool Emplace(U&& item) {
        Slot_t& slot = m_Slots[m_Tail & m_Mask];
        if (slot.ticket.load(std::memory_order_acquire) != Ticket(m_Tail)) {
            return false;
        }
        new (slot.item) T(std::forward<U>(item));
        slot.ticket.store(Ticket(m_Tail + 1), std::memory_order_release);
        ++m_Tail;
        return true;
    }

    alignas(CACHE_LINE_SIZE) std::size_t m_Head;  // next position to pop (consumer)
    alignas(CACHE_LINE_SIZE) std::size_t m_Tail;  // next position to push (producer)
    alignas(CACHE_LINE_SIZE) std::unique_ptr<Slot_t[]> m_Slots;
    const std::size_t m_Mask;
};

}  // namespace Cmf
