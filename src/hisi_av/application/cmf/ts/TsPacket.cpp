#include "hisi_av/application/cmf/ts/TsPacket.h"

#include <algorithm>

#include "xptools/Print.h"

namespace Cmf {
namespace {

// Flags byte plus the 6 bytes of the PCR.
constexpr unsigned PCR_FIELD_MIN_LENGTH = 7;
// An adaptation field of this length fills the packet behind the header.
constexpr unsigned FULL_ADAPTATION_LENGTH = 183;

}  // namespace

TsPacket::TsPacket() : m_Data(PACKET_LENGTH) {}

TsPacket::TsPacket(const XP::CBuffer& data) : m_Data(data) {}

TsPacket::~TsPacket() = default;

void TsPacket::SetSyncByte(unsigned char value) {
    if (HasHeader()) {
        GetTsPacketPointer()->syncByte_t_.Set(value);
    }
}

bool TsPacket::GetTransportErrorIndicator() const {
    return HasHeader() && GetTsPacketPointer()->transportErrorIndicator_t_.Get() != 0;
}

void TsPacket::SetTransportErrorIndicator(bool value) {
    if (HasHeader()) {
        GetTsPacketPointer()->transportErrorIndicator_t_.Set(value ? 1 : 0);
    }
}

void TsPacket::SetPayloadUnitStartIndicator(bool value) {
    if (HasHeader()) {
        GetTsPacketPointer()->payloadUnitStartIndicator_t_.Set(value ? 1 : 0);
    }
}

bool TsPacket::GetPriority() const {
    return HasHeader() && GetTsPacketPointer()->transportPriority_t_.Get() != 0;
}

void TsPacket::SetPriority(bool value) {
    if (HasHeader()) {
        GetTsPacketPointer()->transportPriority_t_.Set(value ? 1 : 0);
    }
}

void TsPacket::SetPid(unsigned int pid) {
    if (HasHeader()) {
        GetTsPacketPointer()->pid_t_.Set(pid);
    }
}

unsigned char TsPacket::GetScrambleControl() const {
    return HasHeader() ? GetTsPacketPointer()->scrambleControl_t_.Get() : 0;
}

void TsPacket::SetScrambleControl(unsigned char value) {
    if (HasHeader()) {
        GetTsPacketPointer()->scrambleControl_t_.Set(value);
    }
}

void TsPacket::SetAdaptationFieldControl(AdaptationFieldControl_e value) {
    if (HasHeader()) {
        GetTsPacketPointer()->adaptationFieldControl_t_.Set(static_cast<uint32_t>(value));
    }
}

unsigned char TsPacket::GetContinuityCounter() const {
    return HasHeader() ? GetTsPacketPointer()->continuityCounter_t_.Get() : 0;
}

void TsPacket::SetContinuityCounter(unsigned char value) {
    if (HasHeader()) {
        GetTsPacketPointer()->continuityCounter_t_.Set(value);
    }
}

const TsPacket::AdaptationField_t* TsPacket::FindAdaptationField() const {
    if (!IsComplete()) {
        return nullptr;
    }
    const TsPacket_t* pPacket = GetTsPacketPointer();
    switch (pPacket->adaptationFieldControl_t_.Get()) {
        case ADF_CONTROL_ADF_AND_PAYLOAD:
            return pPacket->adaptationAndPayload_t_->adaptation_t_.operator->();
        case ADF_CONTROL_NO_PAYLOAD:
            return pPacket->adaptationField_t_.operator->();
        default:
            return nullptr;
    }
}

TsPacket::AdaptationField_t* TsPacket::FindAdaptationField() {
    return const_cast<AdaptationField_t*>(
        static_cast<const TsPacket*>(this)->FindAdaptationField());
}

const TsPacket::AdaptationFieldData_t* TsPacket::FindAdaptationFieldData() const {
    const AdaptationField_t* pField = FindAdaptationField();
    if (pField == nullptr || pField->fieldLength_t_.Get() == 0) {
        return nullptr;
    }
    return pField->adaptationFieldData_t_.operator->();
}

TsPacket::AdaptationFieldData_t* TsPacket::FindAdaptationFieldData() {
    return const_cast<AdaptationFieldData_t*>(
        static_cast<const TsPacket*>(this)->FindAdaptationFieldData());
}

const TsPacket::ClockReference_t* TsPacket::FindPcrField() const {
    const AdaptationField_t* pField = FindAdaptationField();
    if (pField == nullptr || pField->fieldLength_t_.Get() < PCR_FIELD_MIN_LENGTH) {
        return nullptr;
    }
    // The PCR comes first after the flags, so its place does not depend on the other flags.
    return pField->adaptationFieldData_t_->pcr_t_.operator->();
}

TsPacket::ClockReference_t* TsPacket::FindPcrField() {
    return const_cast<ClockReference_t*>(static_cast<const TsPacket*>(this)->FindPcrField());
}

unsigned TsPacket::GetFieldLength() const {
    const AdaptationField_t* pField = FindAdaptationField();
    return pField != nullptr ? pField->fieldLength_t_.Get() : 0;
}

bool TsPacket::GetPcrFlag() const {
    const AdaptationFieldData_t* pData = FindAdaptationFieldData();
    return pData != nullptr && pData->pcrFlag_t_.Get() != 0;
}

void TsPacket::SetPcrFlag(bool value) {
    AdaptationFieldData_t* pData = FindAdaptationFieldData();
    if (pData != nullptr) {
        pData->pcrFlag_t_.Set(value ? 1 : 0);
    }
}

unsigned long long TsPacket::GetPcrBase() const {
    const ClockReference_t* pPcr = FindPcrField();
    return pPcr != nullptr && GetPcrFlag() ? pPcr->pcrBase_t_.Get() : 0;
}

void TsPacket::SetPcrBase(unsigned long long base) {
    ClockReference_t* pPcr = FindPcrField();
    if (pPcr != nullptr) {
        pPcr->pcrBase_t_.Set(base);
    }
}

unsigned short TsPacket::GetPcrExtension() const {
    const ClockReference_t* pPcr = FindPcrField();
    return pPcr != nullptr && GetPcrFlag() ? pPcr->pcrExtension_t_.Get() : 0;
}

void TsPacket::SetPcrExtension(unsigned short extension) {
    ClockReference_t* pPcr = FindPcrField();
    if (pPcr != nullptr) {
        pPcr->pcrExtension_t_.Set(extension);
    }
}

Pcr TsPacket::GetPcr() const {
    const ClockReference_t* pPcr = FindPcrField();
    if (pPcr == nullptr || !GetPcrFlag()) {
        return Pcr();
    }
    return Pcr(pPcr->pcrBase_t_.Get(), pPcr->pcrExtension_t_.Get());
}

void TsPacket::SetAdaptationFieldLength(unsigned char length) {
    AdaptationField_t* pField = FindAdaptationField();
    if (pField != nullptr) {
        pField->fieldLength_t_.Set(length);
    }
}

void TsPacket::InitAdaptationFieldFlag() {
    AdaptationFieldData_t* pData = FindAdaptationFieldData();
    if (pData != nullptr) {
        // The eight one-bit flags make up the first byte of the field data.
        *pData->discontinuityIndicator_t_.GetBegin() = 0;
    }
}

std::size_t TsPacket::GetAdaptationFieldSize() const {
    if (!IsComplete()) {
        return 0;
    }
    switch (GetAdaptationFieldControl()) {
        case ADF_CONTROL_ADF_AND_PAYLOAD: {
            const std::size_t length = GetFieldLength();
            return length < MAX_PAYLOAD_LENGTH ? length + 1 : MAX_PAYLOAD_LENGTH;
        }
        case ADF_CONTROL_NO_PAYLOAD:
            return MAX_PAYLOAD_LENGTH;
        default:
            return 0;
    }
}

std::size_t TsPacket::GetPayloadSize() const {
    if (!IsComplete()) {
        return 0;
    }
    switch (GetAdaptationFieldControl()) {
        case ADF_CONTROL_ADF_AND_PAYLOAD: {
            const std::size_t length = GetFieldLength();
            return length < MAX_PAYLOAD_LENGTH ? FULL_ADAPTATION_LENGTH - length : 0;
        }
        case ADF_CONTROL_NO_ADF:
            return MAX_PAYLOAD_LENGTH;
        default:
            return 0;
    }
}

XP::CBuffer TsPacket::GetPayload() const {
    if (!IsComplete()) {
        return XP::CBuffer();
    }
    switch (GetAdaptationFieldControl()) {
        case ADF_CONTROL_NO_ADF:
            return m_Data.Subslice(HEADER_LENGTH, MAX_PAYLOAD_LENGTH);
        case ADF_CONTROL_ADF_AND_PAYLOAD: {
            const std::size_t offset = HEADER_LENGTH + GetAdaptationFieldSize();
            if (offset >= PACKET_LENGTH) {
                return XP::CBuffer();
            }
            return m_Data.Subslice(offset, PACKET_LENGTH - offset);
        }
        default:
            return XP::CBuffer();
    }
}

uint32_t TsPacket::GetTimestamp() const {
    if (m_Data.GetSize() < TIMED_PACKET_LENGTH) {
        return 0;
    }
    const unsigned char* p = m_Data.GetBegin() + PACKET_LENGTH;
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void TsPacket::SetTimestamp(uint32_t timestamp) {
    if (m_Data.GetSize() < TIMED_PACKET_LENGTH) {
        return;
    }
    unsigned char* p = m_Data.GetBegin() + PACKET_LENGTH;
    p[0] = static_cast<unsigned char>(timestamp >> 24);
    p[1] = static_cast<unsigned char>(timestamp >> 16);
    p[2] = static_cast<unsigned char>(timestamp >> 8);
    p[3] = static_cast<unsigned char>(timestamp);
}

void TsPacket::BuildAdaptationFieldAndPayload(const XP::CBuffer& payload) {
    const std::size_t n = payload.GetSize();
    if (n > MAX_PAYLOAD_LENGTH || !IsComplete()) {
        XP::DebugPrintf("Invalid TS Packet Size");
        return;
    }
    if (n == MAX_PAYLOAD_LENGTH) {
        const AdaptationFieldControl_e control = GetAdaptationFieldControl();
        if (control == ADF_CONTROL_NO_PAYLOAD || control == ADF_CONTROL_ADF_AND_PAYLOAD) {
            SetAdaptationFieldControl(ADF_CONTROL_NO_ADF);
        }
        std::copy(payload.GetBegin(), payload.GetEnd(), &GetTsPacketPointer()->payload_t_);
        return;
    }
    SetAdaptationFieldControl(n == 0 ? ADF_CONTROL_NO_PAYLOAD : ADF_CONTROL_ADF_AND_PAYLOAD);
    const unsigned fieldLength = static_cast<unsigned>(FULL_ADAPTATION_LENGTH - n);
    SetAdaptationFieldLength(static_cast<unsigned char>(fieldLength));
    unsigned char* pField = m_Data.GetBegin() + HEADER_LENGTH;
    if (fieldLength > 0) {
        InitAdaptationFieldFlag();
        // Length byte and flags byte, then stuffing up to the payload.
        std::fill(pField + 2, pField + 1 + fieldLength, 0xFF);
    }
    std::copy(payload.GetBegin(), payload.GetEnd(), pField + 1 + fieldLength);
}

XP::CBuffer TsPacket::GetTsPacketHeader() const {
    return m_Data.Subslice(0, std::min(HEADER_LENGTH, m_Data.GetSize()));
}

void TsPacket::CopyFrom(const TsPacket& other) {
    if (other.m_Data.GetBegin() == m_Data.GetBegin()) {
        return;
    }
    const std::size_t count = std::min(m_Data.GetSize(), other.m_Data.GetSize());
    std::copy(other.m_Data.GetBegin(), other.m_Data.GetBegin() + count, m_Data.GetBegin());
}

}  // namespace Cmf
