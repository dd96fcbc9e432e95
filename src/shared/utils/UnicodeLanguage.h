#pragma once

#include <cstddef>
#include <cstdint>

// Character table conversions of broadcast service-information text: the selector-coded
// ISO/IEC 8859 parts, ISO/IEC 6937 (the table in force when no selector byte is present),
// GB 2312, Big5, UTF-8 and the 16-bit basic plane, into zero-terminated 16-bit strings, and from
// those into UTF-8.
//
// Buffers: every conversion reads at most the given number of source bytes (or units), whatever
// the text says, and writes a zero-terminated string into a destination of the given size, the
// terminator included. When the destination is full the conversion stops after the last whole
// character. Each returns the number of units (or bytes) written before the terminator; a
// destination of size 0 receives nothing.
//
// A code that a table has no character for becomes kReplacementCharacter, and so does a 16-bit
// surrogate unit on its way to UTF-8, so the UTF-8 written here is always valid.
//
// Threads: no state; one object may serve any number of threads at once.
class UnicodeLanguage {
public:
    static constexpr uint16_t kReplacementCharacter = 0xFFFD;

    UnicodeLanguage() = default;
    virtual ~UnicodeLanguage() = default;

    // Selector-coded text (the selector is src[0]). 0x01-0x07: ISO/IEC 8859-5 to -11;
    // 0x09-0x0B: 8859-13 to -15; 0x16: 8859-2; 0x15: UTF-8; 0x10: the three-byte form (see
    // FirstByte10to_U), unless the byte after it, 0 in that form, starts a UTF-8 character: then
    // the text is UTF-8 from there. Other bytes below 0x20 copy the byte values. A first byte 0x20
    // decodes 8859-2 from the second byte; anything else (0x21 and up, or a zero first byte) is
    // ISO/IEC 6937 from the first byte. Table paths skip the control bytes 0x00-0x1F and 0x80-0x9F.
    size_t Convert_8859_to_U(const uint8_t* src, size_t srcLen, uint16_t* dst,
                             size_t dstSize) const;

    // The three-byte selector form seen from its second byte: text[0] is the high byte of the
    // table number (0), text[1] the table number N, characters start at text[2]. N = 1-11, 13-15
    // select ISO/IEC 8859-N; any other N copies the byte values. Control bytes are skipped.
    size_t FirstByte10to_U(const uint8_t* text, size_t textLen, uint16_t* dst,
                           size_t dstSize) const;

    // UTF-8 into 16-bit units: sequences of one to six bytes, characters above the basic plane
    // keep their low 16 bits. Stops at a zero byte, an invalid or overlong sequence, or a
    // sequence cut by the end of the source.
    size_t UTF82Unicode(const uint8_t* src, size_t srcLen, uint16_t* dst, size_t dstSize) const;

    // A byte 0xA1 or above followed by a non-zero byte is one double-byte code; any other byte
    // is copied as a character. Stops at a zero byte.
    size_t ConvertGBToUTF16(const uint8_t* src, size_t srcLen, uint16_t* dst, size_t dstSize) const;
    size_t ConvertBIG5ToUTF16(const uint8_t* src, size_t srcLen, uint16_t* dst,
                              size_t dstSize) const;

    // Whether text without a usable selector looks like GB 2312: no for text over 1024 bytes,
    // for a leading selector byte 0x01-0x1F other than 0x13 and 0x14, and for 0x11; otherwise
    // yes as soon as a byte is 0xA1 or above. The text ends at its first zero byte.
    bool IsGBSimplifiedChinese(const uint8_t* text, size_t textLen) const;

    // ISO/IEC 6937: a mark 0xC0-0xCF and the byte after it make one precomposed character; a
    // mark with no such pair is dropped and the byte after it decoded on its own. Other upper
    // half bytes go through the table, lower half bytes are copied. Stops at a zero byte.
    size_t EPGMultiLanguage(const uint8_t* src, size_t srcLen, uint16_t* dst, size_t dstSize) const;

    // 16-bit units into UTF-8 (one to three bytes each), up to a zero unit or srcUnits.
    size_t utf16_to_utf8(const uint16_t* src, size_t srcUnits, uint8_t* dst, size_t dstSize) const;
    // The basic plane has no surrogate pairs, so this is the same encoding.
    size_t UCS2_to_UTF8(const uint16_t* src, size_t srcUnits, uint8_t* dst, size_t dstSize) const;
    // The UTF-8 form of one unit into out (room for 3 bytes); returns its length.
    static size_t set_utf16(uint16_t unit, uint8_t* out);

    // One byte of an ISO/IEC 8859 part: below 0xA1 the byte value, above through the part's table.
    static uint16_t iso8859_1_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(1, c); }
    static uint16_t iso8859_2_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(2, c); }
    static uint16_t iso8859_3_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(3, c); }
    static uint16_t iso8859_4_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(4, c); }
    static uint16_t iso8859_5_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(5, c); }
    static uint16_t iso8859_6_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(6, c); }
    static uint16_t iso8859_7_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(7, c); }
    static uint16_t iso8859_8_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(8, c); }
    static uint16_t iso8859_9_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(9, c); }
    static uint16_t iso8859_10_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(10, c); }
    static uint16_t iso8859_11_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(11, c); }
    static uint16_t iso8859_13_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(13, c); }
    static uint16_t iso8859_14_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(14, c); }
    static uint16_t iso8859_15_conv_to_uc16(uint8_t c) { return Iso8859ToUnicode(15, c); }

    // One double-byte code (lead byte high): its character, or kReplacementCharacter.
    static uint16_t Convert_GB_to_U(uint16_t code);
    static uint16_t Convert_BIG5_to_U(uint16_t code);

    // The part number for Iso8859ToUnicode; parts 0, 12 and above 15 copy the byte value.
    static uint16_t Iso8859ToUnicode(unsigned part, uint8_t c);

private:
    using DoubleByteMap_t = uint16_t (*)(uint16_t);

    // The single-byte table loop: every byte but the control codes, through the 8859 part's
    // table (a part without a table copies the byte values).
    static size_t ConvertSingleByte(unsigned part, const uint8_t* src, size_t srcLen, uint16_t* dst,
                                    size_t dstSize);
    static size_t ConvertDoubleByte(DoubleByteMap_t map, const uint8_t* src, size_t srcLen,
                                    uint16_t* dst, size_t dstSize);
};
