#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <type_traits>

#include "xptools/SharedPtr.h"

namespace XP {

// A view of `m_Size` consecutive elements. The elements are either owned (shared, reference
// counted: every copy and sub-slice keeps the whole array alive) or outside memory that the
// caller keeps alive for as long as the view is used. Copying a slice never copies elements;
// Clone does.
//
// Threads: as CSharedPtr. Copies may travel between threads; the elements themselves are not
// guarded, so writers and readers of the same bytes need their own agreement.
template <typename T>
class CSlice {
public:
    CSlice() : m_pElems(), m_Size(0) {}

    // A newly owned array of `size` value-initialised (zeroed) elements.
    explicit CSlice(std::size_t size)
        : m_pElems(size != 0 ? new T[size]() : nullptr), m_Size(size) {}

    // Outside memory, not owned.
    CSlice(T* pElems, std::size_t size) : m_pElems(pElems, false), m_Size(size) {}

    // An outside array, not owned; size N (a one-element array gives a one-element slice).
    template <std::size_t N>
    explicit CSlice(T (&array)[N]) : m_pElems(array, false), m_Size(N) {}

    // `size` elements at the start of `pElems`, sharing its ownership (if any).
    CSlice(const CSharedPtr<T[]>& pElems, std::size_t size) : m_pElems(pElems), m_Size(size) {}

    // A view of mutable elements is also a view of const ones.
    template <typename U, typename = std::enable_if_t<std::is_same_v<const U, T>>>
    CSlice(const CSlice<U>& other) : m_pElems(other.GetElems()), m_Size(other.GetSize()) {}

    // `count` elements from `offset`, sharing the owner. Bounds are the caller's: offset plus
    // count must stay within this slice.
    CSlice Subslice(std::size_t offset, std::size_t count) const {
        assert(offset <= m_Size && count <= m_Size - offset);
        return CSlice(CSharedPtr<T[]>(m_pElems, m_pElems.GetRawPtr() + offset), count);
    }

    // A copy of the elements into a newly owned array.
    CSlice<std::remove_const_t<T>> Clone() const {
        CSlice<std::remove_const_t<T>> copy(m_Size);
        std::copy(GetBegin(), GetEnd(), copy.GetBegin());
        return copy;
    }

    T* GetBegin() const { return m_pElems.GetRawPtr(); }
    T* GetEnd() const { return m_pElems.GetRawPtr() + m_Size; }
    std::size_t GetSize() const { return m_Size; }
    bool IsEmpty() const { return m_Size == 0; }
    const CSharedPtr<T[]>& GetElems() const { return m_pElems; }

    T& operator[](std::size_t index) const {
        assert(index < m_Size);
        return m_pElems[index];
    }

    // Same size and same elements, wherever they live.
    template <typename U>
    bool operator==(const CSlice<U>& other) const {
        return m_Size == other.GetSize() && std::equal(GetBegin(), GetEnd(), other.GetBegin());
    }
    template <typename U>
    bool operator!=(const CSlice<U>& other) const {
        return !(*this == other);
    }

private:
    CSharedPtr<T[]> m_pElems;
    std::size_t m_Size;
};

using CBuffer = CSlice<unsigned char>;

}  // namespace XP
