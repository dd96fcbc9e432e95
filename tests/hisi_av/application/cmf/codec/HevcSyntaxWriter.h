#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "BitWriter.h"

// Writes H.265 parameter sets and headers field by field from a plain description, as an encoder
// would (H.265 7.3), so that tests state what a stream says and check what the parsers make of it.
namespace HevcTest {

using Bytes = std::vector<uint8_t>;

// One explicitly coded short-term reference picture set: delta POC steps and used flags.
struct ExplicitRps {
    std::vector<std::pair<uint32_t, bool>> negative;  // delta_poc_s0_minus1, used
    std::vector<std::pair<uint32_t, bool>> positive;  // delta_poc_s1_minus1, used
};

inline void WriteExplicitRps(BitWriter& w, const ExplicitRps& rps, bool notFirst) {
    if (notFirst) {
        w.Flag(false);  // inter_ref_pic_set_prediction_flag
    }
    w.Ue(rps.negative.size()).Ue(rps.positive.size());
    for (const auto& p : rps.negative) {
        w.Ue(p.first).Flag(p.second);
    }
    for (const auto& p : rps.positive) {
        w.Ue(p.first).Flag(p.second);
    }
}

struct SpsDesc {
    uint8_t profileIdc = 1;
    uint8_t levelIdc = 93;
    bool tier = false;
    bool progressive = true;
    bool interlaced = false;
    uint8_t maxSubLayersMinus1 = 0;
    uint32_t chromaFormatIdc = 1;
    uint32_t width = 640;
    uint32_t height = 360;
    std::vector<uint32_t> confWin;  // left, right, top, bottom; empty: no window
    uint32_t bitDepthLumaMinus8 = 0;
    std::vector<ExplicitRps> rps = {ExplicitRps{{{0, true}}, {}}};
    uint32_t rpsCountOverride = 0;  // when non-zero, written as num_short_term_ref_pic_sets
    bool vui = false;
    uint8_t aspectRatioIdc = 0;  // 0: no aspect ratio info
    uint16_t sarWidth = 0;
    uint16_t sarHeight = 0;
    int transferCharacteristics = -1;  // -1: no video signal type
    bool fieldSeq = false;
    bool frameFieldInfo = false;
    uint32_t numUnitsInTick = 0;  // 0: no timing info
    uint32_t timeScale = 0;
};

// The SPS NAL unit: header 42 01 and the escaped payload.
inline Bytes MakeSps(const SpsDesc& d) {
    BitWriter w;
    w.U(4, 0).U(3, d.maxSubLayersMinus1).Flag(true);
    // profile_tier_level(1, maxSubLayersMinus1)
    w.U(2, 0).Flag(d.tier).U(5, d.profileIdc).U(32, 0x60000000);
    w.Flag(d.progressive).Flag(d.interlaced).Flag(false).Flag(true).U(44, 0).U(8, d.levelIdc);
    for (unsigned int i = 0; i < d.maxSubLayersMinus1; ++i) {
        w.Flag(true).Flag(true);
    }
    if (d.maxSubLayersMinus1 > 0) {
        for (unsigned int i = d.maxSubLayersMinus1; i < 8; ++i) {
            w.U(2, 0);
        }
    }
    for (unsigned int i = 0; i < d.maxSubLayersMinus1; ++i) {
        w.U(88, 0).U(8, 90);
    }
    w.Ue(0).Ue(d.chromaFormatIdc);
    if (d.chromaFormatIdc == 3) {
        w.Flag(false);
    }
    w.Ue(d.width).Ue(d.height).Flag(!d.confWin.empty());
    for (uint32_t offset : d.confWin) {
        w.Ue(offset);
    }
    w.Ue(d.bitDepthLumaMinus8).Ue(d.bitDepthLumaMinus8).Ue(4);  // chroma depth, poc lsb 8 bits
    w.Flag(true);                                               // sub-layer ordering info
    for (unsigned int i = 0; i <= d.maxSubLayersMinus1; ++i) {
        w.Ue(4).Ue(2).Ue(0);
    }
    w.Ue(0).Ue(3).Ue(0).Ue(3).Ue(1).Ue(1);  // 8x8 to 64x64 coding blocks, 4x4 to 32x32 transforms
    // Scaling lists present, the 4x4 ones predicted, the others coded (DC from 16x16 on).
    w.Flag(true).Flag(true);
    for (unsigned int sizeId = 0; sizeId < 4; ++sizeId) {
        for (unsigned int m = 0; m < 6; m += (sizeId == 3) ? 3 : 1) {
            if (sizeId == 0) {
                w.Flag(false).Ue(0);
                continue;
            }
            w.Flag(true);
            if (sizeId > 1) {
                w.Se(8);
            }
            for (unsigned int i = 0; i < 64; ++i) {
                w.Se(i % 2 ? 1 : -1);
            }
        }
    }
    w.Flag(true).Flag(true).Flag(true);  // AMP, SAO, PCM
    w.U(4, 7).U(4, 7).Ue(0).Ue(1).Flag(false);
    w.Ue(d.rpsCountOverride != 0 ? d.rpsCountOverride : d.rps.size());
    for (std::size_t i = 0; i < d.rps.size(); ++i) {
        WriteExplicitRps(w, d.rps[i], i != 0);
    }
    w.Flag(true).Ue(2).U(8, 17).Flag(true).U(8, 33).Flag(false);  // two long-term pictures
    w.Flag(true).Flag(true);                                      // TMVP, strong intra smoothing
    w.Flag(d.vui);
    if (d.vui) {
        w.Flag(d.aspectRatioIdc != 0);
        if (d.aspectRatioIdc != 0) {
            w.U(8, d.aspectRatioIdc);
            if (d.aspectRatioIdc == 255) {
                w.U(16, d.sarWidth).U(16, d.sarHeight);
            }
        }
        w.Flag(true).Flag(false);  // overscan
        w.Flag(d.transferCharacteristics >= 0);
        if (d.transferCharacteristics >= 0) {
            w.U(3, 5).Flag(false).Flag(true).U(8, 9).U(8, d.transferCharacteristics).U(8, 9);
        }
        w.Flag(true).Ue(2).Ue(2);  // chroma location
        w.Flag(false).Flag(d.fieldSeq).Flag(d.frameFieldInfo);
        w.Flag(true).Ue(0).Ue(0).Ue(4).Ue(4);  // default display window
        w.Flag(d.numUnitsInTick != 0);
        if (d.numUnitsInTick != 0) {
            w.U(32, d.numUnitsInTick).U(32, d.timeScale).Flag(true).Ue(0);
            // HRD: NAL parameters with sub-picture parameters, two CPB entries per sub-layer.
            w.Flag(true).Flag(true).Flag(true).Flag(true).U(8, 23).U(5, 7);
            w.Flag(true).U(5, 7).U(4, 2).U(4, 3).U(4, 1).U(5, 23).U(5, 23).U(5, 23);
            for (unsigned int i = 0; i <= d.maxSubLayersMinus1; ++i) {
                w.Flag(false).Flag(false).Flag(false).Ue(1);
                for (int j = 0; j < 4; ++j) {  // NAL and VCL, two entries each
                    w.Ue(1000).Ue(2000).Ue(500).Ue(700).Flag(false);
                }
            }
        }
        w.Flag(true).Flag(false).Flag(true).Flag(false).Ue(0).Ue(2).Ue(1).Ue(15).Ue(15);
    }
    w.Flag(false).Trailing();  // no extensions
    Bytes nal{0x42, 0x01};
    const Bytes payload = w.Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

// A PPS NAL unit with the two fields the slice header depends on.
inline Bytes MakePps(bool dependentSliceSegments, unsigned int extraBits) {
    BitWriter w;
    w.Ue(0).Ue(0).Flag(dependentSliceSegments).Flag(false).U(3, extraBits).Flag(true).Flag(false);
    w.Ue(0).Ue(0).Se(0).Flag(false).Flag(false).Trailing();
    Bytes nal{0x44, 0x01};
    const Bytes payload = w.Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

// A slice segment NAL unit of `nalType` with slice_type `sliceType`, for a PPS with `extraBits`
// extra slice header bits, padded to `size` bytes.
inline Bytes MakeSlice(unsigned int nalType, unsigned int sliceType, bool first = true,
                       std::size_t size = 40, unsigned int extraBits = 0) {
    BitWriter w;
    w.Flag(first);
    if (nalType >= 16 && nalType <= 23) {
        w.Flag(false);
    }
    w.Ue(0);
    if (!first) {
        w.U(6, 5);  // slice_segment_address of a 640x360 picture in 64x64 blocks
    }
    w.U(extraBits, 0x7F).Ue(sliceType);
    while (w.BitCount() < (size - 3) * 8) {
        w.U(8, 0xA5);
    }
    Bytes nal{static_cast<uint8_t>(nalType << 1), 0x01};
    const Bytes payload = w.Trailing().Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

// A prefix SEI NAL unit holding the given messages (type, payload), each type and size below 255.
inline Bytes MakeSei(const std::vector<std::pair<unsigned int, Bytes>>& messages) {
    BitWriter w;
    for (const auto& m : messages) {
        w.U(8, m.first).U(8, m.second.size()).Bytes(m.second);
    }
    Bytes nal{0x4E, 0x01};
    const Bytes payload = w.Trailing().Escaped();
    nal.insert(nal.end(), payload.begin(), payload.end());
    return nal;
}

// An access unit in byte-stream form: every unit after a 4-byte start code.
inline Bytes MakeAu(const std::vector<Bytes>& nals) {
    Bytes au;
    for (const Bytes& nal : nals) {
        au.insert(au.end(), {0x00, 0x00, 0x00, 0x01});
        au.insert(au.end(), nal.begin(), nal.end());
    }
    return au;
}

}  // namespace HevcTest
