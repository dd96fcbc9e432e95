#include "probe/ProbeReport.h"

#include <cstdio>
#include <sstream>

namespace Kestrel {
namespace Probe {

std::string JsonText(const char* text, size_t size) {
    std::string out = "\"";
    for (size_t i = 0; i < size && text[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            // Service names are not necessarily UTF-8: escape every byte outside ASCII.
            char escape[8];
            std::snprintf(escape, sizeof(escape), "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

namespace {

class CObject {
public:
    explicit CObject(std::ostringstream& out) : m_Out(out) { m_Out << '{'; }
    ~CObject() { m_Out << '}'; }
    std::ostringstream& Key(const char* name) {
        if (!m_First)
            m_Out << ',';
        m_First = false;
        m_Out << '"' << name << "\":";
        return m_Out;
    }

private:
    std::ostringstream& m_Out;
    bool m_First = true;
};

void Rational(std::ostringstream& out, const AVRATIONAL_S& r) {
    out << "{\"s32Num\":" << r.s32Num << ",\"s32Den\":" << r.s32Den << '}';
}

void Video(std::ostringstream& out, const VIDEO_STREAM_INFO_S& v) {
    CObject o(out);
    o.Key("u32Pid") << v.u32Pid;
    o.Key("enStreamType") << int(v.enStreamType);
    o.Key("u32Width") << v.u32Width;
    o.Key("u32Height") << v.u32Height;
    Rational(o.Key("stSampleAspectRatio"), v.stSampleAspectRatio);
    Rational(o.Key("stAvgFrameRate"), v.stAvgFrameRate);
    o.Key("eVideoFieldOrder") << int(v.eVideoFieldOrder);
    o.Key("s32Profile") << v.s32Profile;
    o.Key("s32Level") << v.s32Level;
    o.Key("enFormat") << int(v.enFormat);
    o.Key("enBitWidth") << int(v.enBitWidth);
    o.Key("s64BitRate") << v.s64BitRate;
}

void Audio(std::ostringstream& out, const AUDIO_STREAM_INFO_S& a) {
    CObject o(out);
    o.Key("u32Pid") << a.u32Pid;
    o.Key("enStreamType") << int(a.enStreamType);
    o.Key("s32Channels") << a.s32Channels;
    o.Key("enFormat") << int(a.enFormat);
    o.Key("u32SampleRate") << a.u32SampleRate;
    o.Key("s64BitRate") << a.s64BitRate;
}

void Program(std::ostringstream& out, const PROGRAM_INFO_S& p) {
    CObject o(out);
    o.Key("u16ServiceID") << p.u16ServiceID;
    o.Key("s8ServiceName") << JsonText(p.s8ServiceName, sizeof(p.s8ServiceName));
    o.Key("s8serviceProvider") << JsonText(p.s8serviceProvider, sizeof(p.s8serviceProvider));
}

template <typename T, typename F>
void Array(std::ostringstream& out, const T* items, uint32_t count, F print) {
    if (count > AV_STREAM_INFO_MAX_ENTRIES)
        count = AV_STREAM_INFO_MAX_ENTRIES;
    out << '[';
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0)
            out << ',';
        print(out, items[i]);
    }
    out << ']';
}

void VidStatus(std::ostringstream& out, const AV_VID_STATUS_S& v) {
    CObject o(out);
    o.Key("u32DispPicCount") << v.u32DispPicCount;
    o.Key("enDecodeState") << int(v.enDecodeState);
    o.Key("enStreamType") << int(v.enStreamType);
    o.Key("u16FpsInteger") << v.u16FpsInteger;
    o.Key("u16FpsDecimal") << v.u16FpsDecimal;
    o.Key("u32Profile") << v.u32Profile;
    o.Key("u32Level") << v.u32Level;
    o.Key("en3dFormat") << int(v.en3dFormat);
    o.Key("u32EsBufferSize") << v.u32EsBufferSize;
    o.Key("u32EsBufferFreeSize") << v.u32EsBufferFreeSize;
    o.Key("s64Pts") << v.s64Pts;
    o.Key("s64FirstPts") << v.s64FirstPts;
    o.Key("u32Stc") << v.u32Stc;
    o.Key("bInterlaced") << v.bInterlaced;
    o.Key("u32SourceWidth") << v.u32SourceWidth;
    o.Key("u32SouceHeight") << v.u32SouceHeight;
    o.Key("u16Pid") << v.u16Pid;
    o.Key("u32FrameBufTime") << v.u32FrameBufTime;
    o.Key("u32PicNotDecodeCount") << v.u32PicNotDecodeCount;
    o.Key("u32Bps") << v.u32Bps;
    o.Key("enBitWidth") << int(v.enBitWidth);
}

void AudStatus(std::ostringstream& out, const AV_AUD_STATUS_S& a) {
    CObject o(out);
    o.Key("u32PacketCount") << a.u32PacketCount;
    o.Key("u32FrameCount") << a.u32FrameCount;
    o.Key("enDecodeState") << int(a.enDecodeState);
    o.Key("enStreamType") << int(a.enStreamType);
    o.Key("u32SampleRate") << a.u32SampleRate;
    o.Key("u32BitWidth") << a.u32BitWidth;
    o.Key("u32EsBufferSize") << a.u32EsBufferSize;
    o.Key("u32EsBufferFreeSize") << a.u32EsBufferFreeSize;
    o.Key("s64Pts") << a.s64Pts;
    o.Key("s64FirstPts") << a.s64FirstPts;
    o.Key("u32Stc") << a.u32Stc;
    o.Key("u16Pid") << a.u16Pid;
    o.Key("u32FrameBufTime") << a.u32FrameBufTime;
    o.Key("u32Bps") << a.u32Bps;
    o.Key("u32Chanel") << a.u32Chanel;
}

void Buffer(std::ostringstream& out, const BUFFER_ITEM_S& b) {
    out << "{\"size\":" << b.size << ",\"dataLen\":" << b.dataLen
        << ",\"bufferedMs\":" << b.bufferedMs << '}';
}

}  // namespace

std::string ReportJson(const ProbeReport_t& r) {
    std::ostringstream out;
    {
        CObject top(out);
        {
            CObject info(top.Key("stream_info"));
            const AV_STREAM_INFO_S& s = r.streamInfo;
            info.Key("u32VideoNum") << s.u32VideoNum;
            Array(info.Key("stVideoStreamInfo"), s.stVideoStreamInfo, s.u32VideoNum, Video);
            info.Key("u32AudioNum") << s.u32AudioNum;
            Array(info.Key("stAudioStreamInfo"), s.stAudioStreamInfo, s.u32AudioNum, Audio);
            info.Key("u32ProgramNum") << s.u32ProgramNum;
            Array(info.Key("stProgramInfo"), s.stProgramInfo, s.u32ProgramNum, Program);
        }
        {
            CObject status(top.Key("status"));
            status.Key("enRunStatus") << int(r.status.enRunStatus);
            status.Key("bVidStart") << r.status.bVidStart;
            status.Key("bAudStart") << r.status.bAudStart;
            AudStatus(status.Key("stAudStatus"), r.status.stAudStatus);
            VidStatus(status.Key("stVidStatus"), r.status.stVidStatus);
        }
        {
            CObject buffer(top.Key("buffer"));
            Buffer(buffer.Key("videoBuffer"), r.buffer.videoBuffer);
            Buffer(buffer.Key("audioBuffer"), r.buffer.audioBuffer);
        }
        {
            CObject pts(top.Key("pts"));
            const char* names[3] = {"video", "audio", "pcr"};
            for (int i = 0; i < 3; ++i) {
                auto& value = pts.Key(names[i]);
                if (r.ptsValid[i])
                    value << r.pts[i];
                else
                    value << "null";
            }
        }
    }
    return out.str();
}

}  // namespace Probe
}  // namespace Kestrel
