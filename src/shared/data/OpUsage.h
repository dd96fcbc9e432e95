#pragma once

#include "shared/types/ValueEnumerations.h"

// What the controller tool needs to know about an operation id beyond its catalogue entry: which
// side uses it, and which value enumeration its payload is a member of.

enum OpUse_e {
    OP_USE_NONE,    // only catalogued (or not catalogued at all)
    OP_USE_SET,     // the controller sends it and the daemon applies it
    OP_USE_STATUS,  // the daemon reports it
};

// "-", "set" or "status"; "?" for a value outside the enumeration.
const char* OpUseName(OpUse_e use);

// The use of an id in the daemon's catalogue; OP_USE_NONE for an id the daemon does not know.
OpUse_e GetOpUse(unsigned int opId);

// The enumeration whose members the id's value takes, or null for a plain number, a string, a
// packed format word or an id the daemon does not apply or report.
const ValueEnumeration_t* GetOpValueEnumeration(unsigned int opId);
