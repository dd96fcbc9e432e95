#pragma once

// A value together with whether it is meaningful. Lookups that always produce a value (for
// example a format built from its parts) but only sometimes find it in their table return this.
template <typename T>
struct ValueState_t {
    bool valid;
    T value;
};
