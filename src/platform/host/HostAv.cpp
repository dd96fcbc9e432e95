// The AV player entry points of the host platform: one CHostPlayer per AV handle over one input
// and one TS buffer shared by every handle, as the board has one tuner input.

#include <log4cpp/Category.hh>

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "platform/host/HostInput.h"
#include "platform/host/HostPlatform.h"
#include "platform/host/HostPlayer.h"
#include "platform/host/HostStreamInfo.h"
#include "platform/host/HostTsRing.h"
#include "shared/system/Endpoints.h"
#include "stb/stb_av.h"

namespace Kestrel {
namespace Host {

namespace {

log4cpp::Category& Log() {
    return log4cpp::Category::getInstance("host.platform");
}

constexpr STB_STATUS ERR_NOT_INIT = 0x80010002u;
constexpr STB_STATUS ERR_BAD_HANDLE = 0x80010003u;
constexpr STB_STATUS ERR_NULL = 0x80010004u;
constexpr STB_STATUS ERR_INPUT = 0x80010005u;
constexpr STB_STATUS ERR_NO_VALUE = 0x80010006u;

// About 2.5 s of a 20 Mbit/s stream.
constexpr size_t TS_RING_PACKETS = 7 * 4096;
constexpr HANDLE FIRST_AV_HANDLE = 0x00A70000u;

// Threads: every member is guarded by mutex; players are handed out as shared pointers so a call
// in progress keeps its player alive across av_destory.
struct AvState {
    std::mutex mutex;
    bool initialised = false;
    std::map<HANDLE, std::shared_ptr<CHostPlayer>> players;
    HANDLE nextHandle = FIRST_AV_HANDLE;
    std::unique_ptr<CHostInput> input;
    std::unique_ptr<CHostTsRing> ring;
    std::string inputSource;
    bool loop = false;
};

AvState& State() {
    static AvState s_State;
    return s_State;
}

std::shared_ptr<CHostPlayer> FindPlayer(HANDLE handle) {
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.players.find(handle);
    if (it == s.players.end())
        return nullptr;
    return it->second;
}

#define HOST_PLAYER_OR_FAIL(player, handle)                                               \
    std::shared_ptr<CHostPlayer> player = FindPlayer(handle);                             \
    if (!player) {                                                                        \
        Log().warn("%s: unknown AV handle %#x", __func__, static_cast<unsigned>(handle)); \
        return ERR_BAD_HANDLE;                                                            \
    }

}  // namespace

void SetHostInput(const std::string& source, bool loop) {
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.inputSource = source;
    s.loop = loop;
}

bool IsInputRunning() {
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.input && s.input->IsRunning();
}

uint64_t TsBufferDroppedPackets() {
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.ring ? s.ring->DroppedPackets() : 0;
}

}  // namespace Host
}  // namespace Kestrel

using namespace Kestrel::Host;

extern "C" {

STB_STATUS av_init(const AV_INIT_S* pstInit) {
    (void)pstInit;
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.initialised) {
        s.ring.reset(new CHostTsRing(TS_RING_PACKETS));
        AddTsTap(s.ring.get());
        s.initialised = true;
    }
    return STB_SUCCESS;
}

STB_STATUS av_create(HANDLE* phAv, const AV_CREATE_S* pstCreate) {
    if (phAv == nullptr || pstCreate == nullptr)
        return ERR_NULL;
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.initialised) {
        Log().error("av_create before av_init");
        return ERR_NOT_INIT;
    }
    if (pstCreate->enStreamType != AV_STREAM_TYPE_TS) {
        Log().warn("av_create: stream type %d is played as a transport stream",
                   pstCreate->enStreamType);
    }
    HANDLE handle = s.nextHandle++;
    s.players[handle] = std::make_shared<CHostPlayer>(handle);
    *phAv = handle;
    return STB_SUCCESS;
}

STB_STATUS av_prepare(const AV_PREPARE_S* pstPrepare) {
    if (pstPrepare == nullptr)
        return ERR_NULL;
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.initialised)
        return ERR_NOT_INIT;
    std::string source = s.inputSource;
    bool loop = s.loop;
    if (source.empty()) {
        source = Kestrel::Sys::HostEndpoints().tsInput;
        const char* env = std::getenv("KESTREL_TS_LOOP");
        loop = loop || (env != nullptr && std::strcmp(env, "1") == 0);
    }
    char group[sizeof(pstPrepare->multiAddr) + 1] = {};
    std::memcpy(group, pstPrepare->multiAddr, sizeof(pstPrepare->multiAddr));
    Log().info("av_prepare: stream %s:%u is received from %s here", group,
               static_cast<unsigned>(pstPrepare->u16Port), source.c_str());
    if (!s.input)
        s.input.reset(new CHostInput());
    s.ring->Clear();
    StartStreamInfo();
    return s.input->Start(source, loop) ? STB_SUCCESS : ERR_INPUT;
}

STB_STATUS av_destory(HANDLE hAv) {
    std::shared_ptr<CHostPlayer> player;
    {
        AvState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        auto it = s.players.find(hAv);
        if (it == s.players.end())
            return ERR_BAD_HANDLE;
        player = it->second;
        s.players.erase(it);
    }
    return STB_SUCCESS;  // the player goes with the last reference, outside the lock
}

STB_STATUS av_deinit(void) {
    std::unique_ptr<CHostInput> input;
    std::unique_ptr<CHostTsRing> ring;
    std::map<HANDLE, std::shared_ptr<CHostPlayer>> players;
    {
        AvState& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        input.swap(s.input);
        ring.swap(s.ring);
        players.swap(s.players);
        s.initialised = false;
    }
    if (input)
        input->Stop();
    if (ring)
        RemoveTsTap(ring.get());
    StopStreamInfo();
    return STB_SUCCESS;
}

STB_STATUS av_set_config(HANDLE hAv, const AV_SETTING_S* pstSetting) {
    if (pstSetting == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->SetConfig(*pstSetting);
    return STB_SUCCESS;
}

STB_STATUS av_get_config(HANDLE hAv, AV_SETTING_S* pstSetting) {
    if (pstSetting == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    *pstSetting = player->GetConfig();
    return STB_SUCCESS;
}

STB_STATUS av_start(HANDLE hAv) {
    HOST_PLAYER_OR_FAIL(player, hAv);
    return player->Start();
}

STB_STATUS av_stop(HANDLE hAv) {
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->Stop();
    return STB_SUCCESS;
}

STB_STATUS av_stop_audio(HANDLE hAv) {
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->StopAudio();
    return STB_SUCCESS;
}

STB_STATUS av_stop_video(HANDLE hAv) {
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->StopVideo();
    return STB_SUCCESS;
}

STB_STATUS av_reset(HANDLE hAv, uint32_t u32ResetMode) {
    (void)u32ResetMode;
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->Reset();
    return STB_SUCCESS;
}

// Synchronisation attributes are kept as given; the model always presents against the PCR.
STB_STATUS av_get_sync(HANDLE hAv, AV_SYNC_ATTR_S* pstSyncAttr) {
    if (pstSyncAttr == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    std::memset(pstSyncAttr, 0, sizeof(*pstSyncAttr));
    pstSyncAttr->enSyncRef = player->GetConfig().enAvSyncMode;
    return STB_SUCCESS;
}

STB_STATUS av_set_sync(HANDLE hAv, const AV_SYNC_ATTR_S* pstSyncAttr) {
    if (pstSyncAttr == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    return STB_SUCCESS;
}

STB_STATUS av_set_inject_packet_num(uint32_t u32PacketNum) {
    (void)u32PacketNum;
    return STB_SUCCESS;
}

STB_STATUS av_set_event_config(HANDLE hAv, const AV_EVENT_CONFIG_PARAMS_S* pstEventConfig) {
    if (pstEventConfig == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->SetEventConfig(*pstEventConfig);
    return STB_SUCCESS;
}

STB_STATUS av_get_status_info(HANDLE hAv, AV_STATUS_S* pstStatus) {
    if (pstStatus == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    std::memset(pstStatus, 0, sizeof(*pstStatus));
    player->GetStatus(*pstStatus);
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.ring) {
        size_t capacity = s.ring->CapacityBytes(), used = s.ring->UsedBytes();
        pstStatus->u32TsBufferSize = static_cast<uint32_t>(capacity);
        pstStatus->u32TsBufferFreeSize = static_cast<uint32_t>(capacity - used);
        pstStatus->u32DmxBufSize = static_cast<uint32_t>(capacity);
        pstStatus->u32DmxUsedSize = static_cast<uint32_t>(used);
        pstStatus->sTsThresholdSize = capacity;
        pstStatus->sTsUsageSize = used;
    }
    pstStatus->u32TsPacketSize = CHostTsRing::PACKET_SIZE;
    return STB_SUCCESS;
}

STB_STATUS av_get_current_pts(HANDLE hAv, AV_SYNC_PTS_CHAN_E enChannel, int64_t* ps64Pts) {
    if (ps64Pts == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    int64_t pts = 0;
    if (!player->GetPts(enChannel, pts))
        return ERR_NO_VALUE;
    *ps64Pts = pts;
    return STB_SUCCESS;
}

STB_STATUS av_get_stream_info(HANDLE hAv, AV_STREAM_INFO_S* pstStreamInfo) {
    if (pstStreamInfo == nullptr)
        return ERR_NULL;
    HOST_PLAYER_OR_FAIL(player, hAv);
    return FillStreamInfo(pstStreamInfo);
}

STB_STATUS av_get_buffer_stat(HANDLE hAv, AV_BUFFER_STAT_S* pstBufferStat, bool* pbVideoStarted,
                              bool* pbAudioStarted) {
    if (pstBufferStat == nullptr || pbVideoStarted == nullptr || pbAudioStarted == nullptr) {
        return ERR_NULL;
    }
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->GetBufferStat(*pstBufferStat, *pbVideoStarted, *pbAudioStarted);
    return STB_SUCCESS;
}

STB_STATUS av_set_pause_time(HANDLE hAv, uint32_t u32PauseUs) {
    HOST_PLAYER_OR_FAIL(player, hAv);
    player->PauseFor(u32PauseUs);
    return STB_SUCCESS;
}

int32_t av_get_ts_buffer(HANDLE hAv, uint8_t* pu8Buffer, uint32_t u32Size) {
    if (pu8Buffer == nullptr)
        return -1;
    if (!FindPlayer(hAv))
        return -1;
    AvState& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.ring)
        return -1;
    return static_cast<int32_t>(s.ring->Read(pu8Buffer, u32Size));
}

}  // extern "C"
