#pragma once

#include <array>
#include <cstddef>
#include <forward_list>
#include <type_traits>
#include <vector>

#include "xptools/Functor.h"

namespace XP {

template <typename Signature>
class CDelegate;

// A subscriber list. Raising it calls every subscriber once, the earliest subscribed first.
//
// The raise first copies the functors (two words each, no allocation for up to
// kInlineSubscribers of them) and only then calls the copies. So the subscribers called are the
// ones present when the raise began: a subscriber may subscribe or unsubscribe anyone, itself
// included, or even destroy the delegate, and the raise neither sees the change nor touches the
// list again. Walking a snapshot instead of recursing keeps the stack flat for long lists.
//
// Threads: no lock of its own. The owner subscribes, unsubscribes and raises on one thread.
template <typename... Args>
class CDelegate<void(Args...)> {
public:
    using Functor_t = CFunctor<void(Args...)>;

    static_assert(!std::disjunction_v<std::is_rvalue_reference<Args>...>,
                  "each subscriber receives the same arguments, so none may be moved from");

    // Adds at the front; the same functor may be added twice and is then called twice.
    CDelegate& operator+=(const Functor_t& functor) {
        m_Functors.push_front(functor);
        ++m_Size;
        return *this;
    }

    // Removes the first equal functor (the one subscribed last); nothing when there is none.
    CDelegate& operator-=(const Functor_t& functor) {
        for (auto before = m_Functors.before_begin(), it = m_Functors.begin();
             it != m_Functors.end(); before = it, ++it) {
            if (*it == functor) {
                m_Functors.erase_after(before);
                --m_Size;
                break;
            }
        }
        return *this;
    }

    void operator()(Args... args) const {
        const std::size_t size = m_Size;
        if (size == 0) {
            return;
        }
        if (size <= kInlineSubscribers) {
            std::array<Functor_t, kInlineSubscribers> snapshot;
            Raise(snapshot.data(), size, args...);
        } else {
            std::vector<Functor_t> snapshot(size);
            Raise(snapshot.data(), size, args...);
        }
    }

    std::size_t GetSize() const { return m_Size; }

private:
    static constexpr std::size_t kInlineSubscribers = 8;

    // The list holds the newest first: copy it back to front so the oldest is called first.
    void Raise(Functor_t* pSnapshot, std::size_t size, Args&... args) const {
        std::size_t index = size;
        for (const Functor_t& functor : m_Functors) {
            pSnapshot[--index] = functor;
        }
        for (std::size_t i = 0; i < size; ++i) {
            pSnapshot[i](args...);
        }
    }

    std::forward_list<Functor_t> m_Functors;
    std::size_t m_Size = 0;
};

}  // namespace XP
