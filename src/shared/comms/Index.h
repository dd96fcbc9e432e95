#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "shared/comms/OpTypes.h"

// The index shape of a catalogue entry: how many indexes an operation id takes and of which type,
// plus a value per index and a packed byte form of those values. On the controller link itself an
// operation's index list is always one byte per index (SsOp); this shape is what the catalogue
// declares about it.
//
// A plain value: no locks, not shared between threads while being changed.
class CIndex {
public:
    CIndex() = default;
    CIndex(const CIndex& other) = default;
    CIndex& operator=(const CIndex& other) = default;

    // CIndex(0), CIndex(1, VT_UINT8), CIndex(2, VT_UINT8, VT_UINT8): `count` index types, each
    // value 0. Every argument after the count must be a DataVarType_e, so a stray integer is a
    // compile error rather than a misread type. The count is kept for the catalogue's way of
    // writing the shape; when it disagrees with the number of types given, the types win and a
    // message says so.
    template <typename... Types,
              typename = std::enable_if_t<(std::is_same_v<Types, DataVarType_e> && ...)>>
    explicit CIndex(size_t count, Types... types) {
        const DataVarType_e list[] = {VT_UINT8, types...};  // leading element: never zero-sized
        Init(list + 1, sizeof...(Types), count);
    }

    // `count` types from an array; a null array gives no indexes.
    CIndex(const DataVarType_e* types, size_t count);

    size_t GetIndexCount() const { return m_Index.size(); }
    // False (and `out` unchanged) when `position` is not an index of this shape.
    bool GetIndex(size_t position, uint32_t& out) const;
    bool SetIndex(size_t position, uint32_t value);
    // Sets every value at once; false (nothing changed) unless `count` is the index count.
    bool FillIndexes(const uint32_t* values, size_t count);

    // Appends a value with the type of its width. Pass an exact unsigned type: a plain int literal
    // is ambiguous on purpose, since its width would be a guess.
    void AddIndex(uint32_t value);
    void AddIndex(uint16_t value);
    void AddIndex(uint8_t value);

    // Writes the values into the index stream, each in its type's width, big-endian (VT_UINT8 1,
    // VT_UINT16 2, VT_UINT32 4, any other type none). With no values the stream is left as it is.
    void Serialize();
    // Reads the values back from the stream. False, with a message and the values unchanged,
    // unless the stream holds exactly the bytes the type list needs.
    bool Deserialize();
    bool VerifyTypeListIsFullyLoaded() const;

    const std::vector<uint8_t>& GetIndexStream() const { return m_IndexStream; }
    void SetIndexStream(const std::vector<uint8_t>& stream) { m_IndexStream = stream; }
    const std::vector<DataVarType_e>& GetIndexTypeList() const { return m_IndexTypeList; }

    // Bytes that one index value of `type` takes in the stream.
    static size_t TypeWidth(DataVarType_e type);

private:
    void Init(const DataVarType_e* types, size_t typeCount, size_t declaredCount);
    size_t StreamLengthForTypes() const;

    std::vector<uint8_t> m_IndexStream;
    std::vector<DataVarType_e> m_IndexTypeList;
    std::vector<uint32_t> m_Index;
};
