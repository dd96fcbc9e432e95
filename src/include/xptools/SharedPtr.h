#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "xptools/Atomic.h"

namespace XP {

template <typename T>
class CSharedPtr;

// The control block of an owned object: the object (untyped), its reference count and the two
// functions that destroy the object and the block. The functions are chosen when the first
// owning pointer is made, from the object's real type, so a CSharedPtr<Base> that received a
// Derived still destroys a Derived, and a pointer to an incomplete type can be copied and dropped
// wherever the type was complete at construction.
class CPtrRef {
public:
    using DataDeleterFunc_t = void (*)(void* pData);
    using RefDeleterFunc_t = void (*)(CPtrRef* pRef);

    // One deleter pair per owned type: a single object is destroyed and freed, an array type
    // frees the array. A null object is skipped.
    template <typename T>
    struct Deleter_t {
        static void Delete(void* pData) {
            if (pData != nullptr) {
                delete static_cast<T*>(pData);
            }
        }
        static void DeleteRef(CPtrRef* pRef) { delete pRef; }
    };

    template <typename T>
    struct Deleter_t<T[]> {
        static void Delete(void* pData) {
            if (pData != nullptr) {
                delete[] static_cast<T*>(pData);
            }
        }
        static void DeleteRef(CPtrRef* pRef) { delete pRef; }
    };

    CPtrRef(void* pData, DataDeleterFunc_t dataDeleter, RefDeleterFunc_t refDeleter)
        : m_pData(pData),
          m_Count(1),
          m_pDataDeleterFunc(dataDeleter),
          m_pRefDeleterFunc(refDeleter) {}
    ~CPtrRef() { m_pDataDeleterFunc(m_pData); }

    CPtrRef(const CPtrRef&) = delete;
    CPtrRef& operator=(const CPtrRef&) = delete;

private:
    template <typename U>
    friend class CSharedPtr;

    void* m_pData;
    unsigned int m_Count;
    DataDeleterFunc_t m_pDataDeleterFunc;
    RefDeleterFunc_t m_pRefDeleterFunc;
};

static_assert(sizeof(unsigned int) == 4, "the reference count is a 32-bit counter");

namespace INTERNAL {

// A single object may be owned through a pointer to any of its bases; an array only through its
// own element type, since deleting Derived[] through Base* is undefined.
template <typename T, typename U>
constexpr bool IsOwnableFrom() {
    using Elem_t = std::remove_extent_t<T>;
    if constexpr (std::is_array_v<T>) {
        return std::is_same_v<std::remove_cv_t<U>, std::remove_cv_t<Elem_t>> &&
               std::is_convertible_v<U*, Elem_t*>;
    } else {
        return std::is_convertible_v<U*, Elem_t*>;
    }
}

// The type the deleter frees: U[] for an array pointer, else U. A specialization rather than
// std::conditional, which would form U[] for every U, ill-formed for an abstract class.
template <bool IsArray, typename U>
struct Owned {
    using Type_t = U;
};
template <typename U>
struct Owned<true, U> {
    using Type_t = U[];
};

// Which CSharedPtr<U> may be copied into a CSharedPtr<T>.
template <typename T, typename U>
constexpr bool IsConvertibleFrom() {
    if constexpr (std::is_array_v<T> || std::is_array_v<U>) {
        // Arrays convert only by adding const: T[] to const T[].
        using To_t = std::remove_extent_t<T>;
        using From_t = std::remove_extent_t<U>;
        return std::is_array_v<T> && std::is_array_v<U> &&
               std::is_same_v<std::remove_cv_t<To_t>, std::remove_cv_t<From_t>> &&
               std::is_convertible_v<From_t*, To_t*>;
    } else {
        return std::is_convertible_v<U*, T*>;
    }
}

}  // namespace INTERNAL

// A reference-counted pointer of two words: the control block (null when the object is not
// owned) and the object pointer. CSharedPtr<T[]> owns an array and offers operator[].
//
// Threads: the count changes only through XP::Atomic, so copies held by different threads may be
// made and dropped concurrently. One CSharedPtr object itself must not be written by one thread
// while another reads it; each thread holds its own copy.
template <typename T>
class CSharedPtr {
public:
    using Elem_t = std::remove_extent_t<T>;

    CSharedPtr() : m_pRef(nullptr), m_pData(nullptr) {}
    CSharedPtr(std::nullptr_t) : m_pRef(nullptr), m_pData(nullptr) {}

    // Takes ownership of `pData`. If the control block cannot be allocated the object is
    // destroyed and the failure propagates, so the caller never leaks it.
    template <typename U, typename = std::enable_if_t<INTERNAL::IsOwnableFrom<T, U>()>>
    explicit CSharedPtr(U* pData) : m_pRef(nullptr), m_pData(pData) {
        Own(pData);
    }

    // With `owned` false the object lives elsewhere: nothing is counted and nothing is freed,
    // and every copy shares nothing. The program always passes false; true behaves as above.
    template <typename U, typename = std::enable_if_t<INTERNAL::IsOwnableFrom<T, U>()>>
    CSharedPtr(U* pData, bool owned) : m_pRef(nullptr), m_pData(pData) {
        if (owned) {
            Own(pData);
        }
    }

    CSharedPtr(const CSharedPtr& other) : m_pRef(other.m_pRef), m_pData(other.m_pData) { AddRef(); }

    CSharedPtr(CSharedPtr&& other) noexcept : m_pRef(other.m_pRef), m_pData(other.m_pData) {
        other.m_pRef = nullptr;
        other.m_pData = nullptr;
    }

    // Converting copy (Derived to Base, T to const T, anything to const void): shares the block.
    template <typename U, typename = std::enable_if_t<INTERNAL::IsConvertibleFrom<T, U>()>>
    CSharedPtr(const CSharedPtr<U>& other) : m_pRef(other.m_pRef), m_pData(other.m_pData) {
        AddRef();
    }

    // Aliasing copy: keeps `other`'s object alive but points at `pData` (a member, an element).
    template <typename U>
    CSharedPtr(const CSharedPtr<U>& other, Elem_t* pData) : m_pRef(other.m_pRef), m_pData(pData) {
        AddRef();
    }

    ~CSharedPtr() { Release(); }

    CSharedPtr& operator=(const CSharedPtr& other) {
        Assign(other.m_pRef, other.m_pData);
        return *this;
    }

    template <typename U, typename = std::enable_if_t<INTERNAL::IsConvertibleFrom<T, U>()>>
    CSharedPtr& operator=(const CSharedPtr<U>& other) {
        Assign(other.m_pRef, other.m_pData);
        return *this;
    }

    CSharedPtr& operator=(CSharedPtr&& other) noexcept {
        if (this != &other) {
            Release();
            m_pRef = other.m_pRef;
            m_pData = other.m_pData;
            other.m_pRef = nullptr;
            other.m_pData = nullptr;
        }
        return *this;
    }

    // Drops the reference and becomes null.
    void Reset() {
        Release();
        m_pRef = nullptr;
        m_pData = nullptr;
    }

    Elem_t* GetRawPtr() const { return m_pData; }
    Elem_t* operator->() const { return m_pData; }

    template <typename U = T,
              typename = std::enable_if_t<!std::is_void_v<U> && !std::is_array_v<U>>>
    U& operator*() const {
        return *m_pData;
    }

    template <typename U = T, typename = std::enable_if_t<std::is_array_v<U>>>
    std::remove_extent_t<U>& operator[](std::size_t index) const {
        return m_pData[index];
    }

    explicit operator bool() const { return m_pData != nullptr; }

    // True when this pointer keeps the object alive (false for null and non-owning pointers).
    bool IsOwning() const { return m_pRef != nullptr; }

    template <typename U>
    bool operator==(const CSharedPtr<U>& other) const {
        return m_pData == other.GetRawPtr();
    }
    template <typename U>
    bool operator!=(const CSharedPtr<U>& other) const {
        return m_pData != other.GetRawPtr();
    }
    bool operator==(std::nullptr_t) const { return m_pData == nullptr; }
    bool operator!=(std::nullptr_t) const { return m_pData != nullptr; }

private:
    template <typename U>
    friend class CSharedPtr;

    template <typename U>
    void Own(U* pData) {
        if (pData == nullptr) {
            return;
        }
        using Owned_t = typename INTERNAL::Owned<std::is_array_v<T>, U>::Type_t;
        using Deleter = CPtrRef::Deleter_t<std::remove_cv_t<Owned_t>>;
        void* pUntyped = const_cast<void*>(static_cast<const volatile void*>(pData));
        try {
            m_pRef = new CPtrRef(pUntyped, &Deleter::Delete, &Deleter::DeleteRef);
        } catch (...) {
            Deleter::Delete(pUntyped);
            m_pData = nullptr;
            throw;
        }
    }

    void AddRef() {
        if (m_pRef != nullptr) {
            Atomic::Increment(&m_pRef->m_Count);
        }
    }

    void Release() {
        if (m_pRef != nullptr && Atomic::Decrement(&m_pRef->m_Count) == 0) {
            // The block's destructor runs the object's deleter.
            m_pRef->m_pRefDeleterFunc(m_pRef);
        }
    }

    void Assign(CPtrRef* pRef, Elem_t* pData) {
        if (pRef != m_pRef) {
            // Take the new reference before dropping the old one: the old block may own the
            // object that holds the new pointer.
            if (pRef != nullptr) {
                Atomic::Increment(&pRef->m_Count);
            }
            Release();
            m_pRef = pRef;
        }
        m_pData = pData;
    }

    CPtrRef* m_pRef;
    Elem_t* m_pData;
};

}  // namespace XP
