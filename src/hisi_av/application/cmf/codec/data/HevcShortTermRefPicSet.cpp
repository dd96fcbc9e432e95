#include "hisi_av/application/cmf/codec/data/HevcShortTermRefPicSet.h"

#include "hisi_av/application/cmf/codec/RbspReader.h"
#include "xptools/Print.h"

namespace Cmf {

namespace {

// A derived picture list that would hold more than MAX_DPB_SIZE pictures is corrupt.
bool Append(uint8_t* used, int16_t* deltaPoc, unsigned int& count, int64_t dPoc, uint8_t usedFlag) {
    if (count >= HevcShortTermRefPicSet_t::MAX_DPB_SIZE) {
        return false;
    }
    used[count] = usedFlag;
    deltaPoc[count] = static_cast<int16_t>(dPoc);
    ++count;
    return true;
}

}  // namespace

bool HevcShortTermRefPicSet_t::Parse(RbspReader& reader, unsigned int index, unsigned int count) {
    if (reader.GetBytesRemaining() == 0) {
        XP::MyPrintf("STRPS too small");
        return false;
    }
    if (index >= MAX_ST_REF_PIC_SETS) {
        XP::MyPrintf("Reference Picture Set index %u out of range", index);
        return false;
    }
    const bool interRefPicSetPredictionFlag = index != 0 && reader.GetBit();
    return interRefPicSetPredictionFlag ? ParsePredicted(reader, index, count)
                                        : ParseExplicit(reader, index);
}

bool HevcShortTermRefPicSet_t::ParsePredicted(RbspReader& reader, unsigned int index,
                                              unsigned int count) {
    uint32_t deltaIdxMinus1 = 0;
    if (index == count) {
        deltaIdxMinus1 = reader.Ue();
        if (deltaIdxMinus1 >= index) {
            XP::MyPrintf("deltaIndex too large");
            return false;
        }
    }
    const bool deltaRpsSign = reader.GetBit();
    const int64_t absDeltaRps = int64_t(reader.Ue()) + 1;
    const int64_t deltaRps = deltaRpsSign ? -absDeltaRps : absDeltaRps;
    const Set_t& ref = sets[index - (deltaIdxMinus1 + 1)];

    // One flag pair per picture of the reference set and one for the reference picture itself.
    uint8_t usedByCurrPicFlag[2 * MAX_DPB_SIZE + 1] = {};
    uint8_t useDeltaFlag[2 * MAX_DPB_SIZE + 1] = {};
    for (unsigned int j = 0; j <= ref.numDeltaPocs; ++j) {
        usedByCurrPicFlag[j] = static_cast<uint8_t>(reader.GetBit());
        useDeltaFlag[j] = usedByCurrPicFlag[j] != 0 ? 1 : static_cast<uint8_t>(reader.GetBit());
    }

    // H.265 (7-61) and (7-62).
    Set_t set;
    unsigned int i = 0;
    bool fits = true;
    for (int j = int(ref.numPositivePics) - 1; j >= 0; --j) {
        const int64_t dPoc = ref.deltaPocS1[j] + deltaRps;
        const unsigned int flag = ref.numNegativePics + j;
        if (dPoc < 0 && useDeltaFlag[flag]) {
            fits = fits &&
                   Append(set.usedByCurrPicS0, set.deltaPocS0, i, dPoc, usedByCurrPicFlag[flag]);
        }
    }
    if (deltaRps < 0 && useDeltaFlag[ref.numDeltaPocs]) {
        fits = fits && Append(set.usedByCurrPicS0, set.deltaPocS0, i, deltaRps,
                              usedByCurrPicFlag[ref.numDeltaPocs]);
    }
    for (unsigned int j = 0; j < ref.numNegativePics; ++j) {
        const int64_t dPoc = ref.deltaPocS0[j] + deltaRps;
        if (dPoc < 0 && useDeltaFlag[j]) {
            fits =
                fits && Append(set.usedByCurrPicS0, set.deltaPocS0, i, dPoc, usedByCurrPicFlag[j]);
        }
    }
    set.numNegativePics = static_cast<uint8_t>(i);

    i = 0;
    for (int j = int(ref.numNegativePics) - 1; j >= 0; --j) {
        const int64_t dPoc = ref.deltaPocS0[j] + deltaRps;
        if (dPoc > 0 && useDeltaFlag[j]) {
            fits =
                fits && Append(set.usedByCurrPicS1, set.deltaPocS1, i, dPoc, usedByCurrPicFlag[j]);
        }
    }
    if (deltaRps > 0 && useDeltaFlag[ref.numDeltaPocs]) {
        fits = fits && Append(set.usedByCurrPicS1, set.deltaPocS1, i, deltaRps,
                              usedByCurrPicFlag[ref.numDeltaPocs]);
    }
    for (unsigned int j = 0; j < ref.numPositivePics; ++j) {
        const int64_t dPoc = ref.deltaPocS1[j] + deltaRps;
        const unsigned int flag = ref.numNegativePics + j;
        if (dPoc > 0 && useDeltaFlag[flag]) {
            fits = fits &&
                   Append(set.usedByCurrPicS1, set.deltaPocS1, i, dPoc, usedByCurrPicFlag[flag]);
        }
    }
    set.numPositivePics = static_cast<uint8_t>(i);

    if (!fits) {
        XP::MyPrintf("Num Pics too large.");
        return false;
    }
    set.numDeltaPocs = static_cast<uint8_t>(set.numNegativePics + set.numPositivePics);
    sets[index] = set;
    return true;
}

bool HevcShortTermRefPicSet_t::ParseExplicit(RbspReader& reader, unsigned int index) {
    const uint32_t numNegativePics = reader.Ue();
    const uint32_t numPositivePics = reader.Ue();
    if (numNegativePics > MAX_DPB_SIZE || numPositivePics > MAX_DPB_SIZE) {
        XP::MyPrintf("Num Pics too large.");
        return false;
    }
    Set_t set;
    set.numNegativePics = static_cast<uint8_t>(numNegativePics);
    set.numPositivePics = static_cast<uint8_t>(numPositivePics);
    set.numDeltaPocs = static_cast<uint8_t>(numNegativePics + numPositivePics);
    // (7-63) to (7-66): S0 counts down from the current picture, S1 up.
    int64_t poc = 0;
    for (unsigned int i = 0; i < numNegativePics; ++i) {
        poc -= int64_t(reader.Ue()) + 1;  // delta_poc_s0_minus1
        set.deltaPocS0[i] = static_cast<int16_t>(poc);
        set.usedByCurrPicS0[i] = static_cast<uint8_t>(reader.GetBit());
    }
    poc = 0;
    for (unsigned int i = 0; i < numPositivePics; ++i) {
        poc += int64_t(reader.Ue()) + 1;  // delta_poc_s1_minus1
        set.deltaPocS1[i] = static_cast<int16_t>(poc);
        set.usedByCurrPicS1[i] = static_cast<uint8_t>(reader.GetBit());
    }
    sets[index] = set;
    return true;
}

}  // namespace Cmf
