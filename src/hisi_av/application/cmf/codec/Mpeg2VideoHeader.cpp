#include "hisi_av/application/cmf/codec/Mpeg2VideoHeader.h"

namespace Cmf {

namespace {

constexpr uint8_t LAST_SLICE_VALUE = 0xAF;

}  // namespace

Mpeg2VideoHeader::ScValue_e Mpeg2VideoHeader::GetScValueFromValueByte(uint8_t valueByte) {
    if (valueByte == 0) {
        return PICTURE_SC;
    }
    if (valueByte <= LAST_SLICE_VALUE) {
        return SLICE_SC;
    }
    if (valueByte <= GROUP_SC) {
        return static_cast<ScValue_e>(valueByte);
    }
    return SYSTEM_SC;
}

Mpeg2VideoHeader::ScValue_e Mpeg2VideoHeader::GetStartCodeValue() const {
    if (m_Data.GetSize() < START_CODE_BYTES) {
        return SYSTEM_SC;
    }
    const auto* layout = XP::INTERNAL::GetLayout<Mpeg2VideoHeaderUnitHeader_t>(m_Data.GetBegin());
    return GetScValueFromValueByte(static_cast<uint8_t>(layout->startCodeValue_t_.Get()));
}

Mpeg2VideoHeader::ExtensionType_e Mpeg2VideoHeader::GetExtensionStartCodeIdentifier() const {
    if (m_Data.GetSize() <= START_CODE_BYTES) {
        return static_cast<ExtensionType_e>(0);
    }
    const auto* layout = XP::INTERNAL::GetLayout<Mpeg2VideoHeaderUnitHeader_t>(m_Data.GetBegin());
    return static_cast<ExtensionType_e>(layout->extensionStartCodeIdentifier_t_.Get());
}

}  // namespace Cmf
