#pragma once

namespace XP {

// Base for objects that own threads, locks or devices and must not be copied.
class CUncopyable {
protected:
    CUncopyable() = default;
    ~CUncopyable() = default;

public:
    CUncopyable(const CUncopyable&) = delete;
    CUncopyable& operator=(const CUncopyable&) = delete;
};

}  // namespace XP
