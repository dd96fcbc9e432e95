#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shared/utils/UnicodeLanguage.h"
#include "xptools/SharedPtr.h"

// Which broadcast standard's text rules a name follows.
enum {
    SI_MODE_UNKNOWN = 0,
    SI_MODE_DVB = 1,
    SI_MODE_ATSC = 2,
    SI_MODE_SCTE = 3,
};

// Turns a service name from the transport stream into clean UTF-8 for the controller. Outside
// ATSC the first byte selects the character table (a single-byte table, the 16-bit basic plane,
// GB 2312, Big5 or UTF-8); text without a selector is taken as it is, or as GB 2312 when it looks
// like it. The result holds no control characters (each becomes a space) and no more than
// kMaxResultBytes bytes, cut at a character boundary.
//
// The source is read only within the given length, whatever its bytes say.
// Threads: the converter holds no state of its own; calls may run on any thread at once.
class TextFormatConversion {
public:
    // Source bytes taken from a name (GB 2312 and Big5 take fewer), and the longest result.
    static constexpr size_t kMaxSourceBytes = 768;
    static constexpr size_t kMaxDoubleByteSourceBytes = 256;
    static constexpr size_t kMaxUcs2Units = 256;
    static constexpr size_t kMaxResultBytes = 256;

    TextFormatConversion();
    virtual ~TextFormatConversion() = default;

    std::string StringConvertToUTF8(const uint8_t* pu8Src, uint32_t u32SrcLen,
                                    uint8_t u8TSStandard) const;

private:
    // Copies UTF-8 up to its length, its first zero byte or kMaxResultBytes, control characters
    // replaced by spaces.
    static std::string CleanUp(const uint8_t* utf8, size_t length);

    XP::CSharedPtr<UnicodeLanguage> m_UnicodeLanguage;
};
