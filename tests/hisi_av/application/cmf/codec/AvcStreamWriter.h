#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "BitWriter.h"

// Builders of H.264 syntax for tests: parameter sets, slice header starts, SEI messages with
// ATSC A/53 caption data, written field by field from the standard (H.264 7.3, ATSC A/53) with
// BitWriter, so that they are an expectation independent of the parsers under test. Each
// returns a NAL unit (header byte and escaped payload) without start code.
namespace AvcStreamWriter {

using Bytes = std::vector<uint8_t>;

struct SpsFields {
    unsigned profileIdc = 100;
    unsigned constraintFlags = 0;  // constraint_set0..5 as bits 7..2 of their byte
    unsigned levelIdc = 40;
    unsigned chromaFormatIdc = 1;  // written for the high profiles only
    unsigned bitDepthLuma = 8;
    bool frameMbsOnly = true;
    unsigned widthMbs = 120;
    unsigned heightMapUnits = 68;
    unsigned crop[4] = {0, 0, 0, 0};  // left, right, top, bottom
    int aspectRatioIdc = -1;          // -1: no aspect ratio info
    unsigned sarWidth = 0;
    unsigned sarHeight = 0;
    int transferCharacteristics = -1;  // -1: no colour description
    bool signalTypeWithoutColour = false;
    unsigned numUnitsInTick = 0;  // 0: no timing info
    unsigned timeScale = 0;
    bool picStructPresent = false;
};

// log2_max_frame_num is 4 bits and pic_order_cnt_type 0 with a 6-bit lsb, as the slices below
// expect.
inline Bytes SpsNal(const SpsFields& s) {
    BitWriter w;
    w.U(8, s.profileIdc).U(8, s.constraintFlags).U(8, s.levelIdc).Ue(0);
    // The profiles whose SPS codes chroma format, bit depths and scaling matrices.
    const unsigned highProfiles[] = {100, 110, 122, 244, 44, 83, 86, 118, 128, 138, 139, 134, 135};
    if (std::find(std::begin(highProfiles), std::end(highProfiles), s.profileIdc) !=
        std::end(highProfiles)) {
        w.Ue(s.chromaFormatIdc);
        if (s.chromaFormatIdc == 3) {
            w.Flag(false);
        }
        w.Ue(s.bitDepthLuma - 8).Ue(s.bitDepthLuma - 8).Flag(false).Flag(false);
    }
    w.Ue(0).Ue(0).Ue(2).Ue(1).Flag(false).Ue(s.widthMbs - 1).Ue(s.heightMapUnits - 1);
    w.Flag(s.frameMbsOnly);
    if (!s.frameMbsOnly) {
        w.Flag(true);  // mb_adaptive_frame_field_flag
    }
    w.Flag(true);  // direct_8x8_inference_flag
    const bool cropping = s.crop[0] || s.crop[1] || s.crop[2] || s.crop[3];
    w.Flag(cropping);
    if (cropping) {
        w.Ue(s.crop[0]).Ue(s.crop[1]).Ue(s.crop[2]).Ue(s.crop[3]);
    }
    w.Flag(true);  // vui_parameters_present_flag
    w.Flag(s.aspectRatioIdc >= 0);
    if (s.aspectRatioIdc >= 0) {
        w.U(8, s.aspectRatioIdc);
        if (s.aspectRatioIdc == 255) {
            w.U(16, s.sarWidth).U(16, s.sarHeight);
        }
    }
    w.Flag(false);  // overscan_info_present_flag
    const bool signalType = s.transferCharacteristics >= 0 || s.signalTypeWithoutColour;
    w.Flag(signalType);
    if (signalType) {
        w.U(3, 5).Flag(false).Flag(s.transferCharacteristics >= 0);
        if (s.transferCharacteristics >= 0) {
            w.U(8, 1).U(8, s.transferCharacteristics).U(8, 1);
        }
    }
    w.Flag(false);  // chroma_loc_info_present_flag
    w.Flag(s.numUnitsInTick != 0);
    if (s.numUnitsInTick != 0) {
        w.U(32, s.numUnitsInTick).U(32, s.timeScale).Flag(true);
    }
    w.Flag(false).Flag(false).Flag(s.picStructPresent).Flag(false).Trailing();
    Bytes nal{0x67};
    const Bytes payload = w.Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    // The parser wants at least 18 bytes; bytes after the stop bit are never read.
    nal.resize(std::max<std::size_t>(nal.size(), 24), 0x55);
    return nal;
}

// A slice header start for an SPS of SpsNal; `sliceType` as coded (0..9). Long enough (over 18
// bytes) for the defragmenter to see the start code after it.
inline Bytes SliceNal(unsigned sliceType, bool idr = false, bool frameMbsOnly = true,
                      bool fieldPic = false) {
    BitWriter w;
    w.Ue(0).Ue(sliceType).Ue(0).U(4, 0);
    if (!frameMbsOnly) {
        w.Flag(fieldPic);
        if (fieldPic) {
            w.Flag(false);
        }
    }
    if (idr) {
        w.Ue(0);
    }
    w.U(6, 0).Bytes(Bytes(24, 0x5A)).Trailing();
    Bytes nal{static_cast<uint8_t>(idr ? 0x65 : 0x41)};
    const Bytes payload = w.Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

struct SeiMessage {
    unsigned type;
    Bytes payload;
};

inline Bytes SeiNal(const std::vector<SeiMessage>& messages) {
    BitWriter w;
    // payloadType and payloadSize in runs of 0xFF bytes (H.264 7.3.2.3.1).
    auto extended = [&w](std::size_t value) {
        for (; value >= 255; value -= 255) {
            w.U(8, 0xFF);
        }
        w.U(8, value);
    };
    for (const SeiMessage& m : messages) {
        extended(m.type);
        extended(m.payload.size());
        w.Bytes(m.payload);
    }
    w.Trailing();
    Bytes nal{0x06};
    const Bytes payload = w.Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

// ATSC A/53 cc_data (process flag, cc_count 2, em_data, two triples, marker bits).
inline const Bytes CC_DATA = {0xC2, 0xFF, 0xFC, 0x94, 0x20, 0xFE, 0x41, 0x42, 0xFF};

inline Bytes T35(unsigned provider, const std::string& identifier, unsigned typeCode,
                 const Bytes& data = CC_DATA) {
    BitWriter w;
    w.U(8, 0xB5).U(16, provider);
    for (char c : identifier) {
        w.U(8, static_cast<uint8_t>(c));
    }
    return w.U(8, typeCode).Bytes(data).Rbsp();
}

// The DirecTV form: country, provider 47, type code, one more byte, then cc_data.
inline Bytes DirecTvT35(const Bytes& data) {
    Bytes payload{0xB5, 0x00, 0x2F, 0x03, 0x00};
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

// pic_timing for a VUI with pic_struct_present and no HRD: pic_struct, then NumClockTS clock
// timestamps, the first carrying `ctType` (-1: no clock timestamp).
inline Bytes PicTiming(unsigned picStruct, int ctType) {
    static const unsigned NUM_CLOCK_TS[9] = {1, 1, 1, 2, 2, 3, 3, 2, 3};
    BitWriter w;
    w.U(4, picStruct);
    for (unsigned i = 0; i < (picStruct < 9 ? NUM_CLOCK_TS[picStruct] : 0); ++i) {
        const bool present = i == 0 && ctType >= 0;
        w.Flag(present);
        if (present) {
            // ct_type, nuit_field_based, counting_type, full_timestamp, discontinuity,
            // cnt_dropped, n_frames, seconds, minutes, hours
            w.U(2, ctType).Flag(false).U(5, 0).Flag(true).Flag(false).Flag(false).U(8, 0);
            w.U(6, 1).U(6, 2).U(5, 3);
        }
    }
    while (w.BitCount() % 8 != 0) {
        w.Flag(false);
    }
    return w.Rbsp();
}

// An access unit in byte-stream form: an access unit delimiter after a 4-byte start code, then
// each NAL unit after a 3-byte start code.
inline Bytes AccessUnitBytes(const std::vector<Bytes>& nals) {
    Bytes bytes{0x00, 0x00, 0x00, 0x01, 0x09, 0xF0};
    for (const Bytes& nal : nals) {
        bytes.insert(bytes.end(), {0x00, 0x00, 0x01});
        bytes.insert(bytes.end(), nal.begin(), nal.end());
    }
    return bytes;
}

}  // namespace AvcStreamWriter
