#pragma once

#include <cstddef>

// Run-time registry of every value enumeration that operation payloads and the device layer use,
// by the enumeration's type name ("VideoType_e"). The controller tool parses and prints values
// through it; its members come from the same lists as the enumerations themselves.

struct ValueEnumerator_t {
    const char* name;  // "VIDEO_TYPE_MPEG2"
    int value;
};

struct ValueEnumeration_t {
    const char* name;  // "VideoType_e"
    const ValueEnumerator_t* members;
    size_t count;
};

// All enumerations, output settings first, then audio settings, codec selection, status values,
// profiles and levels, video formats and the demux's own; `count` receives their number. The
// array lives for the whole process.
const ValueEnumeration_t* GetValueEnumerations(size_t& count);

// The enumeration with this exact type name, or null (also for a null name).
const ValueEnumeration_t* FindValueEnumeration(const char* name);

// The member's name for `value`, or null when no member has it.
const char* FindValueEnumeratorName(const ValueEnumeration_t& enumeration, int value);

// The value of the member with this exact name; false (value unchanged) when there is none.
bool FindValueEnumeratorValue(const ValueEnumeration_t& enumeration, const char* name, int& value);
