#pragma once

#include <cstddef>
#include <cstdint>

#include "hisi_av/application/cmf/clock/Pcr.h"
#include "xptools/BitField.h"
#include "xptools/Slice.h"

namespace Cmf {

// One MPEG-2 transport stream packet (ISO/IEC 13818-1, 2.4.3.2) held in a byte buffer, with typed
// access to its header fields, its adaptation field and its payload. Every access reads or writes
// the bits in place through the layouts below; nothing is copied or cached, so a packet built over
// a slice of a larger buffer sees (and changes) that buffer.
//
// The buffer normally holds 188 bytes, or 192 for the timed form whose 4 extra bytes carry a time
// stamp. A shorter buffer is not a packet: header getters then read 0 (when fewer than 4 bytes are
// there), and the adaptation field and payload read as absent (when fewer than 188), so nothing is
// ever read or written outside the buffer.
//
// Ownership: the packet shares its slice (and, when the slice owns its bytes, keeps them alive).
// Payload slices share it too. No locks; one thread at a time.
class TsPacket {
public:
    static constexpr std::size_t PACKET_LENGTH = 188;
    static constexpr unsigned char PACKET_SYNC_BYTE = 0x47;
    // Packet followed by 16 Reed-Solomon parity bytes.
    static constexpr std::size_t LARGE_PACKET_LENGTH = 204;
    // Packet followed by a 32-bit big-endian time stamp.
    static constexpr std::size_t TIMED_PACKET_LENGTH = 192;
    static constexpr std::size_t HEADER_LENGTH = 4;
    static constexpr std::size_t MAX_PAYLOAD_LENGTH = PACKET_LENGTH - HEADER_LENGTH;

    enum AdaptationFieldControl_e {
        ADF_CONTROL_RESERVED = 0,
        ADF_CONTROL_NO_ADF = 1,      // payload only
        ADF_CONTROL_NO_PAYLOAD = 2,  // adaptation field only
        ADF_CONTROL_ADF_AND_PAYLOAD = 3,
    };

    // 33-bit base at 90 kHz, 9-bit extension (PCR and OPCR).
    struct ClockReference_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(ClockReference_t);
        XP_BITFIELD(pcrBase, 33, BEGIN);
        XP_BITFIELD(reserved, 6, pcrBase);
        XP_BITFIELD(pcrExtension, 9, reserved);
    };

    struct TransportPrivateData_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(TransportPrivateData_t);
        XP_BITFIELD(privateDataLength, 8, BEGIN);
        XP_BITFIELD_ARRAY(dataByte, 8, privateDataLength, privateDataLength_t_.Get());
    };

    struct AdaptationExtension_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(AdaptationExtension_t);
        XP_BITFIELD(extensionLength, 8, BEGIN);
        XP_BITFIELD_ARRAY(extensionDataByte, 8, extensionLength, extensionLength_t_.Get());
    };

    // The flags byte and the optional fields it announces.
    struct AdaptationFieldData_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(AdaptationFieldData_t);
        XP_BITFIELD(discontinuityIndicator, 1, BEGIN);
        XP_BITFIELD(randomAccessIndicator, 1, discontinuityIndicator);
        XP_BITFIELD(esPriorityIndicator, 1, randomAccessIndicator);
        XP_BITFIELD(pcrFlag, 1, esPriorityIndicator);
        XP_BITFIELD(opcrFlag, 1, pcrFlag);
        XP_BITFIELD(splicingPointFlag, 1, opcrFlag);
        XP_BITFIELD(transportPrivateDataFlag, 1, splicingPointFlag);
        XP_BITFIELD(adaptationFieldExtensionFlag, 1, transportPrivateDataFlag);
        XP_BITFIELD_RECORDS(pcr, ClockReference_t, adaptationFieldExtensionFlag, pcrFlag_t_.Get());
        XP_BITFIELD_RECORDS(opcr, ClockReference_t, pcr, opcrFlag_t_.Get());
        XP_BITFIELD_ARRAY(spliceCountDown, 8, opcr, splicingPointFlag_t_.Get());
        XP_BITFIELD_RECORDS(privateData, TransportPrivateData_t, spliceCountDown,
                            transportPrivateDataFlag_t_.Get());
        XP_BITFIELD_RECORDS(adaptationExtension, AdaptationExtension_t, privateData,
                            adaptationFieldExtensionFlag_t_.Get());
    };

    // Whatever the flags announce beyond the field's own length is not stuffing: the stuffing
    // count never goes below 0.
    struct AdaptationField_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(AdaptationField_t);
        XP_BITFIELD(fieldLength, 8, BEGIN);
        XP_BITFIELD_RECORDS(adaptationFieldData, AdaptationFieldData_t, fieldLength,
                            fieldLength_t_.Get() > 0 ? 1 : 0);
        XP_BITFIELD_ARRAY(stuffingByte, 8, adaptationFieldData, GetStuffingCount());

        std::size_t GetStuffingCount() const {
            const std::size_t length = fieldLength_t_.Get();
            const std::size_t data = adaptationFieldData_t_.CalculateLength();
            return length > data ? length - data : 0;
        }
    };

    // Adaptation field followed by the payload bytes that fill the packet.
    struct AdaptationAndPayload_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(AdaptationAndPayload_t);
        XP_BITFIELD_RECORD(adaptation, AdaptationField_t, BEGIN);
        XP_BITFIELD_ARRAY(payloadByte, 8, adaptation,
                          adaptation_t_->fieldLength_t_.Get() < 183
                              ? 183 - adaptation_t_->fieldLength_t_.Get()
                              : 0);
    };

    struct Payload_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(Payload_t);
        XP_BITFIELD(payloadByte, 8, BEGIN);
    };

    struct TsPacket_t : XP::INTERNAL::CBitFieldSetBase {
        XP_BITFIELD_LAYOUT(TsPacket_t);
        XP_BITFIELD(syncByte, 8, BEGIN);
        XP_BITFIELD(transportErrorIndicator, 1, syncByte);
        XP_BITFIELD(payloadUnitStartIndicator, 1, transportErrorIndicator);
        XP_BITFIELD(transportPriority, 1, payloadUnitStartIndicator);
        XP_BITFIELD(pid, 13, transportPriority);
        XP_BITFIELD(scrambleControl, 2, pid);
        XP_BITFIELD(adaptationFieldControl, 2, scrambleControl);
        XP_BITFIELD(continuityCounter, 4, adaptationFieldControl);
        XP_BITFIELD_RECORDS(adaptationAndPayload, AdaptationAndPayload_t, continuityCounter,
                            adaptationFieldControl_t_.Get() == ADF_CONTROL_ADF_AND_PAYLOAD ? 1 : 0);
        XP_BITFIELD_RECORDS(adaptationField, AdaptationField_t, adaptationAndPayload,
                            adaptationFieldControl_t_.Get() == ADF_CONTROL_NO_PAYLOAD ? 1 : 0);
        XP_BITFIELD_RECORD(payload, Payload_t, adaptationField);
    };

    // A zeroed 188-byte packet of its own.
    TsPacket();
    // Shares `data` (188 bytes, or 192 for the timed form).
    explicit TsPacket(const XP::CBuffer& data);
    virtual ~TsPacket();

    TsPacket(const TsPacket&) = default;
    TsPacket& operator=(const TsPacket&) = default;

    // Read for every packet of the stream: kept inline.
    unsigned char GetSyncByte() const {
        return HasHeader() ? GetTsPacketPointer()->syncByte_t_.Get() : 0;
    }
    void SetSyncByte(unsigned char value);
    bool GetTransportErrorIndicator() const;
    void SetTransportErrorIndicator(bool value);
    bool GetPayloadUnitStartIndicator() const {
        return HasHeader() && GetTsPacketPointer()->payloadUnitStartIndicator_t_.Get() != 0;
    }
    void SetPayloadUnitStartIndicator(bool value);
    bool GetPriority() const;
    void SetPriority(bool value);
    uint16_t GetPid() const { return HasHeader() ? GetTsPacketPointer()->pid_t_.Get() : 0; }
    void SetPid(unsigned int pid);
    unsigned char GetScrambleControl() const;
    void SetScrambleControl(unsigned char value);
    AdaptationFieldControl_e GetAdaptationFieldControl() const {
        return HasHeader() ? static_cast<AdaptationFieldControl_e>(
                                 GetTsPacketPointer()->adaptationFieldControl_t_.Get())
                           : ADF_CONTROL_RESERVED;
    }
    void SetAdaptationFieldControl(AdaptationFieldControl_e value);
    unsigned char GetContinuityCounter() const;
    void SetContinuityCounter(unsigned char value);

    // The adaptation field fields exist only when the control announces an adaptation field;
    // the flags only when its length is at least 1, the PCR only when it is at least 7. Getters
    // of an absent field read 0 (false), setters of an absent field change nothing.
    bool GetPcrFlag() const;
    void SetPcrFlag(bool value);
    unsigned long long GetPcrBase() const;
    void SetPcrBase(unsigned long long base);
    unsigned short GetPcrExtension() const;
    void SetPcrExtension(unsigned short extension);
    // The PCR as a clock value; invalid when the packet carries none.
    Pcr GetPcr() const;
    void SetAdaptationFieldLength(unsigned char length);
    // Clears all eight flags of the adaptation field.
    void InitAdaptationFieldFlag();

    // Bytes of the adaptation field including its length byte, at most 184.
    std::size_t GetAdaptationFieldSize() const;
    std::size_t GetPayloadSize() const;
    // The payload as a slice sharing the packet's bytes (empty when there is none).
    XP::CBuffer GetPayload() const;

    // The 32-bit time stamp after the packet bytes of the timed form (0 when the buffer is
    // shorter); the setter does nothing on a shorter buffer.
    uint32_t GetTimestamp() const;
    void SetTimestamp(uint32_t timestamp);

    // Lays out the packet around `payload`: 184 bytes fill the payload (the control is kept,
    // except that an adaptation field announced by it would not leave room, so it becomes
    // payload only); 1..183 bytes follow an adaptation field of stuffing bytes; none leaves an
    // adaptation field of 183 stuffing bytes. More than 184 is refused.
    void BuildAdaptationFieldAndPayload(const XP::CBuffer& payload);

    XP::CBuffer GetTsPacketHeader() const;
    const XP::CBuffer& GetData() const { return m_Data; }
    void SetData(const XP::CBuffer& data) { m_Data = data; }
    std::size_t GetSize() const { return m_Data.GetSize(); }
    // Copies the other packet's bytes into this packet's buffer (as many as both hold).
    void CopyFrom(const TsPacket& other);

    // The buffer seen as the packet layout. Only meaningful on a full packet.
    const TsPacket_t* GetTsPacketPointer() const {
        return XP::INTERNAL::GetLayout<TsPacket_t>(m_Data.GetBegin());
    }
    TsPacket_t* GetTsPacketPointer() {
        return XP::INTERNAL::GetLayout<TsPacket_t>(m_Data.GetBegin());
    }

private:
    bool HasHeader() const { return m_Data.GetSize() >= HEADER_LENGTH; }
    bool IsComplete() const { return m_Data.GetSize() >= PACKET_LENGTH; }
    // The adaptation field when the control announces one (both forms start at byte 4).
    const AdaptationField_t* FindAdaptationField() const;
    AdaptationField_t* FindAdaptationField();
    const AdaptationFieldData_t* FindAdaptationFieldData() const;
    AdaptationFieldData_t* FindAdaptationFieldData();
    const ClockReference_t* FindPcrField() const;
    ClockReference_t* FindPcrField();
    unsigned GetFieldLength() const;

    XP::CBuffer m_Data;
};

}  // namespace Cmf
