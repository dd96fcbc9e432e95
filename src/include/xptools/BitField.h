#pragma once

#include <cstddef>
#include <cstdint>
#include <iomanip>
#include <ios>
#include <ostream>
#include <string>
#include <type_traits>

// Bit-field record layouts: a header format fixed by a standard (transport stream header, NAL unit
// header, caption data ...) is described once as an ordered list of named fields with widths in
// bits, and read and written in place in a raw byte buffer, most significant bit first.
//
// A layout is a struct derived from CBitFieldSetBase, declared with the macros at the end of this
// file:
//
//     struct ClockReference_t : XP::INTERNAL::CBitFieldSetBase {
//         XP_BITFIELD_LAYOUT(ClockReference_t);
//         XP_BITFIELD(pcrBase, 33, BEGIN);
//         XP_BITFIELD(reserved, 6, pcrBase);
//         XP_BITFIELD(pcrExtension, 9, reserved);
//     };
//
//     struct PrivateData_t : XP::INTERNAL::CBitFieldSetBase {
//         XP_BITFIELD_LAYOUT(PrivateData_t);
//         XP_BITFIELD(privateDataLength, 8, BEGIN);
//         XP_BITFIELD_ARRAY(dataByte, 8, privateDataLength, privateDataLength_t_.Get());
//     };
//
// Each field names the field it follows (BEGIN for the first); its position is the end of that
// field. Naming any field but the one declared just before fails to compile. A field declared with
// a count expression (XP_BITFIELD_ARRAY, XP_BITFIELD_RECORDS) has that many elements; the
// expression is evaluated on the buffer, as a member function of the layout, so it reads the fields
// before it. A count of 0 or 1 makes an optional field.
//
// A layout is never instantiated: a pointer to the first byte of a buffer is seen as a pointer to
// the layout (GetLayout below) and `layout->pcrBase_t_.Get()` / `.Set(v)` read and write the bits
// in place. Every field member is an empty one-byte object, so member k sits k bytes into the
// layout object and finds its layout by subtracting k from its own address. Only the bits of the
// fields are ever touched, so the buffer need not be as long as the layout object (one byte per
// field), but it must hold every field that is read or written.
//
// Positions are computed on every access, nothing is cached. A field that no counted or record
// field precedes has a position known at compile time, so reading it costs a shift and a mask;
// a field behind a variable-length field walks back to it at run time.

namespace XP {
namespace INTERNAL {

class CBitFieldSetBase;

// IS_DERIVED is true when Derived is a class derived from Base (and not Base itself).
template <typename Base, typename Derived>
struct InheritanceTraits_t {
    static constexpr bool IS_DERIVED =
        std::is_base_of<Base, Derived>::value && !std::is_same<Base, Derived>::value;
};

// Element type of a scalar field of the given width.
template <unsigned BITS>
using FieldValue_t = std::conditional_t<
    BITS <= 8, uint8_t,
    std::conditional_t<BITS <= 16, uint16_t, std::conditional_t<BITS <= 32, uint32_t, uint64_t>>>;

// Register in which a field of the given width is assembled: 32 bits, or 64 for the clock
// reference base and anything else wider than 32 bits.
template <unsigned BITS>
using FieldAccumulator_t = std::conditional_t<BITS <= 32, uint32_t, uint64_t>;

// Keeps the low `bits` bits of `value` (1 <= bits <= width of Acc).
template <typename Acc>
constexpr Acc ApplyMask(Acc value, unsigned bits) {
    static_assert(std::is_same<Acc, uint32_t>::value || std::is_same<Acc, uint64_t>::value,
                  "masks are applied in 32 or 64 bits");
    return value & static_cast<Acc>(static_cast<Acc>(~Acc(0)) >> (8 * sizeof(Acc) - bits));
}

// Reads `width` bits starting at bit `bit` (0 = most significant) of *p.
template <typename Acc>
inline Acc ReadBits(const unsigned char* p, unsigned bit, unsigned width) {
    Acc value = 0;
    unsigned remaining = width;
    unsigned avail = 8 - bit;
    while (remaining > avail) {
        value = static_cast<Acc>(value << avail) | *p;
        ++p;
        remaining -= avail;
        avail = 8;
    }
    value = static_cast<Acc>(value << remaining) | static_cast<Acc>(*p >> (avail - remaining));
    // The bits of the first byte that lie before the field fall off here.
    return ApplyMask(value, width);
}

// Writes the low `width` bits of `value` starting at bit `bit` of *p; every bit outside the field
// keeps its value.
template <typename Acc>
inline void WriteBits(unsigned char* p, unsigned bit, unsigned width, Acc value) {
    value = ApplyMask(value, width);
    unsigned remaining = width;
    unsigned avail = 8 - bit;
    unsigned keep = (0xFFu << avail) & 0xFFu;  // bits of the first byte before the field
    while (remaining > avail) {
        remaining -= avail;
        *p = static_cast<unsigned char>(*p & keep);
        *p = static_cast<unsigned char>(*p | ((value >> remaining) & 0xFFu));
        avail = 8;
        ++p;
        keep = 0;
    }
    unsigned shift = avail - remaining;
    *p = static_cast<unsigned char>((*p & keep) | (*p & (0xFFu >> (8 - shift))));
    *p = static_cast<unsigned char>(*p | ((value << shift) & 0xFFu));
}

// The buffer around a field object, from a pointer derived from that object. A field object is
// one byte inside a layout object that is only as long as its field count, while the bits it
// reads and writes lie anywhere in the buffer behind it. The empty asm hides where the pointer
// came from, so that the compiler's object-size tracking does not take the one-byte member (or
// the layout object) for the extent of the buffer. It emits no instruction.
inline unsigned char* UnitsOf(unsigned char* p) {
    asm("" : "+r"(p));
    return p;
}

inline const unsigned char* UnitsOf(const unsigned char* p) {
    asm("" : "+r"(p));
    return p;
}

// A place in a buffer: byte index from the start of the layout and bit index (0 = most
// significant) inside that byte.
struct CBitPosition {
    std::size_t unit;
    unsigned bit;
};

// Tag used to look a field description up by its id.
template <int ID>
struct CFieldIndex {};

// The description before the first field: it ends the chain of previous fields.
struct CBitFieldSentinel_t {
    static constexpr int ID = -1;
    static constexpr bool IS_FIXED_END = true;
    static constexpr std::size_t FIXED_END_BITS = 0;
};

// Description of one field (the macros derive one per field and add its name and count):
//   Owner_t     the layout that declares the field;
//   Previous_t  the description of the field declared before it (or the sentinel);
//   BIT_LENGTH  width of one element in bits (0 for a record field: its elements measure
//               themselves);
//   IS_COUNT_EXPLICIT  whether the layout gives an element count (else the count is 1);
//   Value_t     the element type: an unsigned integer, or a layout for a record field.
// ID is the member index of the field, one more than the previous field's. A field whose
// position depends on no counted or record field before it has IS_FIXED_BEGIN set and its start
// in FIXED_BEGIN_BITS.
template <typename Owner, typename Previous, unsigned BITS, bool COUNT_EXPLICIT, typename Value>
struct CFieldDescription {
    using Owner_t = Owner;
    using Previous_t = Previous;
    using Value_t = Value;
    static constexpr unsigned BIT_LENGTH = BITS;
    static constexpr bool IS_COUNT_EXPLICIT = COUNT_EXPLICIT;
    static constexpr int ID = Previous::ID + 1;
    static constexpr bool IS_RECORD = InheritanceTraits_t<CBitFieldSetBase, Value>::IS_DERIVED;

    static constexpr bool IS_FIXED_BEGIN = Previous::IS_FIXED_END;
    static constexpr bool IS_FIXED_END = IS_FIXED_BEGIN && !IS_COUNT_EXPLICIT && !IS_RECORD;
    static constexpr std::size_t FIXED_BEGIN_BITS = Previous::FIXED_END_BITS;
    static constexpr std::size_t FIXED_END_BITS = FIXED_BEGIN_BITS + BITS;

    static_assert(IS_RECORD || (BITS >= 1 && BITS <= 64), "a scalar field is 1 to 64 bits wide");
    static_assert(IS_RECORD || std::is_unsigned<Value>::value,
                  "a field holds unsigned integers or nested layouts");
};

template <typename Unit_t, typename Field_t,
          bool IS_RECORD =
              InheritanceTraits_t<CBitFieldSetBase, typename Field_t::Value_t>::IS_DERIVED>
class CBitFieldBase;

// The member type of the field with the given description.
template <typename Field_t>
using CFieldObject_t = CBitFieldBase<unsigned char, Field_t>;

// Base of every layout. It has no data; its byte length (0) and its empty text form end the
// recursive definitions of the layouts built on it.
class CBitFieldSetBase {
public:
    static constexpr unsigned BITS_PER_UNIT = 8;

    CBitFieldSetBase(const CBitFieldSetBase&) = delete;
    CBitFieldSetBase& operator=(const CBitFieldSetBase&) = delete;

    static constexpr std::size_t GetByteLength() { return 0; }
    void Format(std::ostream&, bool = true, unsigned = 0) const {}

    template <typename Field>
    std::size_t GetBeginUnit(const Field& field) const;
    template <typename Field>
    unsigned GetBeginBit(const Field& field) const;
    template <typename Field>
    std::size_t GetEndUnit(const Field& field) const;
    template <typename Field>
    unsigned GetEndBit(const Field& field) const;
    template <typename Field>
    std::size_t GetCount(const Field& field) const;

    // The field object of a description.
    template <typename Field_t>
    const CFieldObject_t<Field_t>& GetBitField() const;
    template <typename Field_t>
    CFieldObject_t<Field_t>& GetBitField();

    // The field object declared before `field`.
    template <typename Field>
    decltype(auto) GetPrevious(const Field& field) const;
    template <typename Field>
    decltype(auto) GetPrevious(Field& field);

protected:
    CBitFieldSetBase() = default;
    ~CBitFieldSetBase() = default;
};

// Positions of a field, computed on the buffer each time they are asked for.
//   Begin/End take the compile-time position where the field has one and otherwise walk back
//   through the previous fields until they reach one whose end is known.
//   WalkBegin/WalkEnd always walk back to the first field, ignoring the compile-time shortcut:
//   the general procedure, which the shortcut must agree with.
template <typename Field_t>
struct CFieldPosition {
    using Owner_t = typename Field_t::Owner_t;
    using Previous_t = typename Field_t::Previous_t;
    using Value_t = typename Field_t::Value_t;

    static std::size_t GetCount(const Owner_t& owner) {
        if constexpr (Field_t::IS_COUNT_EXPLICIT) {
            return Field_t::GetCount(owner);
        } else {
            (void)owner;
            return 1;
        }
    }

    static CBitPosition Begin(const Owner_t& owner) {
        if constexpr (Field_t::IS_FIXED_BEGIN) {
            (void)owner;
            return {
                Field_t::FIXED_BEGIN_BITS / CBitFieldSetBase::BITS_PER_UNIT,
                static_cast<unsigned>(Field_t::FIXED_BEGIN_BITS % CBitFieldSetBase::BITS_PER_UNIT)};
        } else {
            return CFieldPosition<Previous_t>::End(owner);
        }
    }

    static CBitPosition End(const Owner_t& owner) {
        if constexpr (Field_t::IS_FIXED_END) {
            (void)owner;
            return {
                Field_t::FIXED_END_BITS / CBitFieldSetBase::BITS_PER_UNIT,
                static_cast<unsigned>(Field_t::FIXED_END_BITS % CBitFieldSetBase::BITS_PER_UNIT)};
        } else {
            return Advance(owner, Begin(owner));
        }
    }

    static CBitPosition WalkBegin(const Owner_t& owner) {
        if constexpr (Previous_t::ID < 0) {
            (void)owner;
            return {CBitFieldSetBase::GetByteLength(), 0};
        } else {
            return CFieldPosition<Previous_t>::WalkEnd(owner);
        }
    }

    static CBitPosition WalkEnd(const Owner_t& owner) { return Advance(owner, WalkBegin(owner)); }

    // Where the field ends when it begins at `begin`.
    static CBitPosition Advance(const Owner_t& owner, CBitPosition begin) {
        if constexpr (Field_t::IS_RECORD) {
            // A nested record starts and ends on a byte boundary.
            return {begin.unit + CalculateLength(owner, begin.unit), 0};
        } else {
            std::size_t bits = begin.bit + GetCount(owner) * Field_t::BIT_LENGTH;
            return {begin.unit + bits / CBitFieldSetBase::BITS_PER_UNIT,
                    static_cast<unsigned>(bits % CBitFieldSetBase::BITS_PER_UNIT)};
        }
    }

    // Sum of the byte lengths of the elements of a record field starting at `beginUnit`.
    static std::size_t CalculateLength(const Owner_t& owner, std::size_t beginUnit) {
        const unsigned char* pItem =
            UnitsOf(reinterpret_cast<const unsigned char*>(&owner)) + beginUnit;
        std::size_t count = GetCount(owner);
        std::size_t length = 0;
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t itemLength = reinterpret_cast<const Value_t*>(pItem)->GetByteLength();
            length += itemLength;
            pItem += itemLength;
        }
        return length;
    }
};

// Operations common to every field object.
template <typename Unit_t, typename Field_t>
class CBitFieldBaseImpl {
public:
    using Description_t = Field_t;
    using Owner_t = typename Field_t::Owner_t;
    using Value_t = typename Field_t::Value_t;
    using Self_t = CBitFieldBase<Unit_t, Field_t>;

    // Whether the field's position is a compile-time constant, and that position.
    static constexpr bool IS_FIXED_POSITION = Field_t::IS_FIXED_BEGIN;
    static constexpr std::size_t FIXED_BEGIN_UNIT =
        Field_t::FIXED_BEGIN_BITS / CBitFieldSetBase::BITS_PER_UNIT;
    static constexpr unsigned FIXED_BEGIN_BIT =
        static_cast<unsigned>(Field_t::FIXED_BEGIN_BITS % CBitFieldSetBase::BITS_PER_UNIT);

    CBitFieldBaseImpl(const CBitFieldBaseImpl&) = delete;
    CBitFieldBaseImpl& operator=(const CBitFieldBaseImpl&) = delete;

    // Member index of the field in its layout.
    static constexpr std::size_t GetOffset() { return static_cast<std::size_t>(Field_t::ID); }
    // Width of one element in bits.
    static constexpr unsigned GetBitLength() { return Field_t::BIT_LENGTH; }
    static const char* GetName() { return Field_t::GetName(); }

    const Owner_t& GetParent() const {
        return *reinterpret_cast<const Owner_t*>(reinterpret_cast<const Unit_t*>(this) -
                                                 GetOffset());
    }
    Owner_t& GetParent() {
        return *reinterpret_cast<Owner_t*>(reinterpret_cast<Unit_t*>(this) - GetOffset());
    }
    const Self_t& GetSelf() const { return static_cast<const Self_t&>(*this); }
    Self_t& GetSelf() { return static_cast<Self_t&>(*this); }

    // The buffer byte in which the field begins.
    const Unit_t* operator&() const { return GetParentUnits() + GetPosition().unit; }
    Unit_t* operator&() { return GetParentUnits() + GetPosition().unit; }
    const Unit_t* GetBegin() const { return &*this; }
    Unit_t* GetBegin() { return &*this; }

    std::size_t GetCount() const { return CFieldPosition<Field_t>::GetCount(GetParent()); }

    // Start of the field: compile-time when possible, else walked back at run time.
    CBitPosition GetPosition() const { return CFieldPosition<Field_t>::Begin(GetParent()); }
    // Start of the field by the general run-time walk from the first field.
    CBitPosition WalkPosition() const { return CFieldPosition<Field_t>::WalkBegin(GetParent()); }

protected:
    ~CBitFieldBaseImpl() = default;

    // The buffer, starting at the first byte of the layout.
    const Unit_t* GetParentUnits() const {
        return UnitsOf(reinterpret_cast<const Unit_t*>(this)) - GetOffset();
    }
    Unit_t* GetParentUnits() { return UnitsOf(reinterpret_cast<Unit_t*>(this)) - GetOffset(); }

    // Line break (only inside an indented form), indent and field name.
    static void FormatName(std::ostream& stream, unsigned indent) {
        if (indent != 0) {
            stream << '\n';
        }
        stream << std::string(indent, ' ') << GetName();
    }
};

// Scalar field: `count` elements of BIT_LENGTH bits each (count 1 unless the layout gives one).
template <typename Unit_t, typename Field_t>
class CBitFieldBase<Unit_t, Field_t, false> : public CBitFieldBaseImpl<Unit_t, Field_t> {
    using Impl_t = CBitFieldBaseImpl<Unit_t, Field_t>;

public:
    using Value_t = typename Field_t::Value_t;
    using Accumulator_t = FieldAccumulator_t<Field_t::BIT_LENGTH>;
    static constexpr unsigned WIDTH = Field_t::BIT_LENGTH;

    static constexpr Accumulator_t ApplyMask(Accumulator_t value, unsigned bits) {
        return INTERNAL::ApplyMask(value, bits);
    }

    // The (first) element.
    Value_t Get() const {
        CBitPosition position = Impl_t::GetPosition();
        return static_cast<Value_t>(
            ReadBits<Accumulator_t>(Impl_t::GetParentUnits() + position.unit, position.bit, WIDTH));
    }
    // Stores the low WIDTH bits of `value` in the (first) element.
    void Set(Accumulator_t value) {
        CBitPosition position = Impl_t::GetPosition();
        WriteBits<Accumulator_t>(Impl_t::GetParentUnits() + position.unit, position.bit, WIDTH,
                                 value);
    }

    // Element `index` of a counted field; the caller keeps index below GetCount().
    Value_t GetAt(std::size_t index) const {
        CBitPosition position = ElementPosition(index);
        return static_cast<Value_t>(
            ReadBits<Accumulator_t>(Impl_t::GetParentUnits() + position.unit, position.bit, WIDTH));
    }
    void SetAt(std::size_t index, Accumulator_t value) {
        CBitPosition position = ElementPosition(index);
        WriteBits<Accumulator_t>(Impl_t::GetParentUnits() + position.unit, position.bit, WIDTH,
                                 value);
    }

    // "name: value (0xhex)" for one element, "name: uintN_t[count]" for a counted field,
    // nothing when the count is 0.
    void Format(std::ostream& stream, unsigned indent) const {
        std::size_t count = Impl_t::GetCount();
        if (count == 0) {
            return;
        }
        Impl_t::FormatName(stream, indent);
        stream << ": " << std::dec;
        if (count == 1) {
            uint64_t value = Get();
            stream << value << " (0x" << std::hex << std::setfill('0') << std::setw(WIDTH / 4)
                   << value << std::dec << ")";
        } else {
            stream << "uint" << 8 * sizeof(Value_t) << "_t[" << count << "]";
        }
    }

private:
    CBitPosition ElementPosition(std::size_t index) const {
        CBitPosition begin = Impl_t::GetPosition();
        std::size_t bits = begin.bit + index * WIDTH;
        return {begin.unit + bits / CBitFieldSetBase::BITS_PER_UNIT,
                static_cast<unsigned>(bits % CBitFieldSetBase::BITS_PER_UNIT)};
    }
};

// Walks the elements of a record field. Two iterators are equal when they point at the same
// element or have the same index, so an end iterator (null, count) stops the walk after `count`
// elements without ever pointing anywhere.
template <typename Element>
class CRecordIterator {
    using Unit_t =
        std::conditional_t<std::is_const<Element>::value, const unsigned char, unsigned char>;

public:
    CRecordIterator(Element* pItem, std::size_t index) : m_pItem(pItem), m_Index(index) {}

    CRecordIterator& operator++() {
        m_pItem = reinterpret_cast<Element*>(reinterpret_cast<Unit_t*>(m_pItem) +
                                             m_pItem->GetByteLength());
        ++m_Index;
        return *this;
    }
    Element& operator*() const { return *m_pItem; }
    Element* operator->() const { return m_pItem; }
    std::size_t GetIndex() const { return m_Index; }

    bool operator==(const CRecordIterator& other) const {
        return m_pItem == other.m_pItem || m_Index == other.m_Index;
    }
    bool operator!=(const CRecordIterator& other) const { return !(*this == other); }

private:
    Element* m_pItem;
    std::size_t m_Index;
};

// Record field: GetCount() nested layouts back to back, each as long as its own GetByteLength().
template <typename Unit_t, typename Field_t>
class CBitFieldBase<Unit_t, Field_t, true> : public CBitFieldBaseImpl<Unit_t, Field_t> {
    using Impl_t = CBitFieldBaseImpl<Unit_t, Field_t>;

public:
    using Value_t = typename Field_t::Value_t;
    using Iterator = CRecordIterator<Value_t>;
    using ConstIterator = CRecordIterator<const Value_t>;

    // The first element.
    const Value_t* operator->() const { return reinterpret_cast<const Value_t*>(&*this); }
    Value_t* operator->() { return reinterpret_cast<Value_t*>(&*this); }

    std::size_t CalculateLength() const {
        return CFieldPosition<Field_t>::CalculateLength(Impl_t::GetParent(),
                                                        Impl_t::GetPosition().unit);
    }

    ConstIterator GetBegin() const { return ConstIterator(operator->(), 0); }
    Iterator GetBegin() { return Iterator(operator->(), 0); }
    ConstIterator GetEnd() const { return ConstIterator(nullptr, Impl_t::GetCount()); }
    Iterator GetEnd() { return Iterator(nullptr, Impl_t::GetCount()); }
    ConstIterator begin() const { return GetBegin(); }
    Iterator begin() { return GetBegin(); }
    ConstIterator end() const { return GetEnd(); }
    Iterator end() { return GetEnd(); }

    // Each element as "name[i]:" ("[i]" only when there are several) and its own fields.
    void Format(std::ostream& stream, unsigned indent) const {
        std::size_t count = Impl_t::GetCount();
        for (ConstIterator it = GetBegin(); it != GetEnd(); ++it) {
            Impl_t::FormatName(stream, indent);
            if (count > 1) {
                stream << std::dec << '[' << it.GetIndex() << ']';
            }
            stream << ':';
            it->Format(stream, false, indent);
        }
    }
};

// Layout-wide operations, reached through the members the layout macro declares.
template <typename Layout>
struct CLayoutOps {
    // The fields are the layout's only members, one byte each, so the last one has index
    // sizeof - 1.
    using Last_t =
        decltype(Layout::BitFieldAt_(CFieldIndex<static_cast<int>(sizeof(Layout)) - 1>()));

    static_assert(InheritanceTraits_t<CBitFieldSetBase, Layout>::IS_DERIVED,
                  "a layout derives from CBitFieldSetBase");
    static_assert(std::is_standard_layout<Layout>::value && alignof(Layout) == 1,
                  "a layout holds nothing but its field members");

    static std::size_t GetByteLength(const Layout& layout) {
        return CFieldPosition<Last_t>::End(layout).unit;
    }

    static void Format(const Layout& layout, std::ostream& stream, bool withName, unsigned indent) {
        std::ios savedFormat(nullptr);
        savedFormat.copyfmt(stream);
        stream.flags(std::ios::dec | std::ios::skipws);
        stream.fill(' ');
        if (withName) {
            if (indent != 0) {
                stream << '\n';
            }
            stream << std::string(indent, ' ') << Layout::GetTypeName();
        }
        FormatFields<Last_t>(layout, stream, indent + 3);
        stream.copyfmt(savedFormat);
    }

    template <typename Field_t>
    static void FormatFields(const Layout& layout, std::ostream& stream, unsigned indent) {
        if constexpr (Field_t::Previous_t::ID >= 0) {
            FormatFields<typename Field_t::Previous_t>(layout, stream, indent);
        }
        layout.template GetBitField<Field_t>().Format(stream, indent);
    }
};

template <typename Field>
std::size_t CBitFieldSetBase::GetBeginUnit(const Field&) const {
    using Field_t = typename Field::Description_t;
    return CFieldPosition<Field_t>::Begin(static_cast<const typename Field_t::Owner_t&>(*this))
        .unit;
}

template <typename Field>
unsigned CBitFieldSetBase::GetBeginBit(const Field&) const {
    using Field_t = typename Field::Description_t;
    return CFieldPosition<Field_t>::Begin(static_cast<const typename Field_t::Owner_t&>(*this)).bit;
}

template <typename Field>
std::size_t CBitFieldSetBase::GetEndUnit(const Field&) const {
    using Field_t = typename Field::Description_t;
    return CFieldPosition<Field_t>::End(static_cast<const typename Field_t::Owner_t&>(*this)).unit;
}

template <typename Field>
unsigned CBitFieldSetBase::GetEndBit(const Field&) const {
    using Field_t = typename Field::Description_t;
    return CFieldPosition<Field_t>::End(static_cast<const typename Field_t::Owner_t&>(*this)).bit;
}

template <typename Field>
std::size_t CBitFieldSetBase::GetCount(const Field&) const {
    using Field_t = typename Field::Description_t;
    return CFieldPosition<Field_t>::GetCount(static_cast<const typename Field_t::Owner_t&>(*this));
}

template <typename Field_t>
const CFieldObject_t<Field_t>& CBitFieldSetBase::GetBitField() const {
    return *reinterpret_cast<const CFieldObject_t<Field_t>*>(
        reinterpret_cast<const unsigned char*>(this) + Field_t::ID);
}

template <typename Field_t>
CFieldObject_t<Field_t>& CBitFieldSetBase::GetBitField() {
    return *reinterpret_cast<CFieldObject_t<Field_t>*>(reinterpret_cast<unsigned char*>(this) +
                                                       Field_t::ID);
}

template <typename Field>
decltype(auto) CBitFieldSetBase::GetPrevious(const Field&) const {
    using Previous_t = typename Field::Description_t::Previous_t;
    static_assert(Previous_t::ID >= 0, "the first field has no previous field");
    return GetBitField<Previous_t>();
}

template <typename Field>
decltype(auto) CBitFieldSetBase::GetPrevious(Field&) {
    using Previous_t = typename Field::Description_t::Previous_t;
    static_assert(Previous_t::ID >= 0, "the first field has no previous field");
    return GetBitField<Previous_t>();
}

// The buffer at `p` seen as a layout. This is the way to place a layout: the layout object is one
// byte per field long, which may reach past the end of a short buffer (three bytes of caption data
// are seen through a six-field layout) although no access goes beyond the bits of the fields.
// Hiding the pointer's origin keeps compile-time bounds warnings and the run-time object-size
// check from measuring that phantom length against the buffer; real reads and writes outside the
// buffer are still caught by AddressSanitizer.
template <typename Layout>
inline const Layout* GetLayout(const unsigned char* p) {
    static_assert(InheritanceTraits_t<CBitFieldSetBase, Layout>::IS_DERIVED,
                  "a layout derives from CBitFieldSetBase");
    return reinterpret_cast<const Layout*>(UnitsOf(p));
}

template <typename Layout>
inline Layout* GetLayout(unsigned char* p) {
    static_assert(InheritanceTraits_t<CBitFieldSetBase, Layout>::IS_DERIVED,
                  "a layout derives from CBitFieldSetBase");
    return reinterpret_cast<Layout*>(UnitsOf(p));
}

}  // namespace INTERNAL
}  // namespace XP

// Opens the declaration of a layout, inside its struct body. Declares GetByteLength() (where the
// last field ends), Format(stream, withName, indent) (the text form) and GetTypeName().
#define XP_BITFIELD_LAYOUT(Layout)                                                       \
    using BitFieldLayout_t = Layout;                                                     \
    using BEGIN_Field_ = ::XP::INTERNAL::CBitFieldSentinel_t;                            \
    static constexpr const char* GetTypeName() {                                         \
        return #Layout;                                                                  \
    }                                                                                    \
    std::size_t GetByteLength() const {                                                  \
        return ::XP::INTERNAL::CLayoutOps<Layout>::GetByteLength(*this);                 \
    }                                                                                    \
    void Format(std::ostream& stream, bool withName = true, unsigned indent = 0) const { \
        ::XP::INTERNAL::CLayoutOps<Layout>::Format(*this, stream, withName, indent);     \
    }                                                                                    \
    static_assert(true, "")

// Shared by the field macros. BitFieldAt_ maps the field's id to its description; two fields
// naming the same previous field get the same id, which makes these declarations clash.
#define XP_BITFIELD_MEMBER_(name, previous)                                           \
    static name##_Field_ BitFieldAt_(::XP::INTERNAL::CFieldIndex<name##_Field_::ID>); \
    ::XP::INTERNAL::CFieldObject_t<name##_Field_> name##_t_

#define XP_BITFIELD_FIXED_(name, bits, previous, Value)                                           \
    struct name##_Field_ : ::XP::INTERNAL::CFieldDescription<BitFieldLayout_t, previous##_Field_, \
                                                             bits, false, Value> {                \
        static constexpr const char* GetName() { return #name; }                                  \
    };                                                                                            \
    XP_BITFIELD_MEMBER_(name, previous)

#define XP_BITFIELD_COUNTED_(name, bits, previous, Value, ...)                                    \
    struct name##_Field_ : ::XP::INTERNAL::CFieldDescription<BitFieldLayout_t, previous##_Field_, \
                                                             bits, true, Value> {                 \
        static constexpr const char* GetName() { return #name; }                                  \
        static std::size_t GetCount(const BitFieldLayout_t& layout) {                             \
            return layout.name##_GetCount_();                                                     \
        }                                                                                         \
    };                                                                                            \
    std::size_t name##_GetCount_() const {                                                        \
        return static_cast<std::size_t>(__VA_ARGS__);                                             \
    }                                                                                             \
    XP_BITFIELD_MEMBER_(name, previous)

// A scalar field of `bits` bits (1 to 64) following `previous` (BEGIN for the first field).
#define XP_BITFIELD(name, bits, previous) \
    XP_BITFIELD_FIXED_(name, bits, previous, ::XP::INTERNAL::FieldValue_t<bits>)

// A scalar field of as many `bits`-wide elements as the count expression says.
#define XP_BITFIELD_ARRAY(name, bits, previous, ...) \
    XP_BITFIELD_COUNTED_(name, bits, previous, ::XP::INTERNAL::FieldValue_t<bits>, __VA_ARGS__)

// One nested record of layout `Record`.
#define XP_BITFIELD_RECORD(name, Record, previous) XP_BITFIELD_FIXED_(name, 0, previous, Record)

// As many nested records of layout `Record` as the count expression says.
#define XP_BITFIELD_RECORDS(name, Record, previous, ...) \
    XP_BITFIELD_COUNTED_(name, 0, previous, Record, __VA_ARGS__)
