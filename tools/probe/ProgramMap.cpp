#include "probe/ProgramMap.h"

namespace Kestrel {
namespace Probe {

namespace {

constexpr uint8_t TAG_AC3 = 0x6A;
constexpr uint8_t TAG_EAC3 = 0x7A;

bool VideoType(uint8_t streamType, AV_VID_STREAM_TYPE_E& type) {
    switch (streamType) {
        case 0x01:
        case 0x02:
            type = AV_VID_STREAM_TYPE_MPEG2;
            return true;
        case 0x10:
            type = AV_VID_STREAM_TYPE_MPEG4;
            return true;
        case 0x1B:
            type = AV_VID_STREAM_TYPE_H264;
            return true;
        case 0x24:
            type = AV_VID_STREAM_TYPE_HEVC;
            return true;
        default:
            return false;
    }
}

bool AudioType(uint8_t streamType, const uint8_t* descriptors, size_t size,
               AV_AUD_STREAM_TYPE_E& type) {
    switch (streamType) {
        case 0x03:
            type = AV_AUD_STREAM_TYPE_MPGE1;
            return true;
        case 0x04:
            type = AV_AUD_STREAM_TYPE_MPGE2;
            return true;
        case 0x0F:
            type = AV_AUD_STREAM_TYPE_MPEG2_AAC;
            return true;
        case 0x11:
            type = AV_AUD_STREAM_TYPE_MPEG4_AAC;
            return true;
        case 0x81:
            type = AV_AUD_STREAM_TYPE_AC3;
            return true;
        case 0x87:
            type = AV_AUD_STREAM_TYPE_EAC3;
            return true;
        case 0x06:
            // Private data: DVB signals AC-3 and E-AC-3 by descriptor.
            for (size_t i = 0; i + 2 <= size; i += 2 + size_t(descriptors[i + 1])) {
                if (descriptors[i] == TAG_AC3) {
                    type = AV_AUD_STREAM_TYPE_AC3;
                    return true;
                }
                if (descriptors[i] == TAG_EAC3) {
                    type = AV_AUD_STREAM_TYPE_EAC3;
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

}  // namespace

void CProgramMap::OnTs(const uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Streams.complete)
        return;
    for (size_t i = 0; i + 188 <= size; i += 188)
        Packet(data + i);
}

ProgramStreams_t CProgramMap::Get() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Streams;
}

void CProgramMap::Packet(const uint8_t* p) {
    int pid = ((p[1] & 0x1F) << 8) | p[2];
    if (pid != 0 && pid != m_PmtPid)
        return;
    if ((p[1] & 0x80) || !(p[3] & 0x10))
        return;
    size_t offset = 4;
    if (p[3] & 0x20)
        offset += 1 + size_t(p[4]);
    if (offset >= 188)
        return;
    if (p[1] & 0x40) {
        size_t pointer = p[offset];
        offset += 1 + pointer;
        if (offset >= 188)
            return;
        m_Section.clear();
        m_SectionPid = pid;
    } else if (m_SectionPid != pid || m_Section.empty()) {
        return;
    }
    m_Section.insert(m_Section.end(), p + offset, p + 188);
    if (m_Section.size() < 3)
        return;
    size_t total = 3 + (size_t(m_Section[1] & 0x0F) << 8 | m_Section[2]);
    if (m_Section.size() < total)
        return;
    m_Section.resize(total);
    std::vector<uint8_t> section;
    section.swap(m_Section);
    Section(section);
}

void CProgramMap::Section(const std::vector<uint8_t>& s) {
    if (s.size() < 12)
        return;
    size_t end = s.size() - 4;  // CRC
    if (s[0] == 0x00) {
        for (size_t i = 8; i + 4 <= end; i += 4) {
            uint16_t program = uint16_t(s[i] << 8 | s[i + 1]);
            if (program == 0)
                continue;  // network PID
            m_Streams.serviceId = program;
            m_PmtPid = ((s[i + 2] & 0x1F) << 8) | s[i + 3];
            return;
        }
    } else if (s[0] == 0x02) {
        m_Streams.pcrPid = uint16_t((s[8] & 0x1F) << 8 | s[9]);
        size_t i = 12 + (size_t(s[10] & 0x0F) << 8 | s[11]);
        while (i + 5 <= end) {
            uint8_t type = s[i];
            uint16_t pid = uint16_t((s[i + 1] & 0x1F) << 8 | s[i + 2]);
            size_t infoLength = size_t(s[i + 3] & 0x0F) << 8 | s[i + 4];
            if (i + 5 + infoLength > end)
                break;
            AV_VID_STREAM_TYPE_E v;
            AV_AUD_STREAM_TYPE_E a;
            if (m_Streams.videoPid == 0x1FFF && VideoType(type, v)) {
                m_Streams.videoPid = pid;
                m_Streams.videoType = v;
            } else if (m_Streams.audioPid == 0x1FFF && AudioType(type, &s[i + 5], infoLength, a)) {
                m_Streams.audioPid = pid;
                m_Streams.audioType = a;
            }
            i += 5 + infoLength;
        }
        m_Streams.complete = true;
    }
}

}  // namespace Probe
}  // namespace Kestrel
