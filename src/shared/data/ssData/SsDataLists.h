#pragma once

#include "shared/comms/OpTypes.h"
#include "shared/data/ssData/OpIds.h"

// The catalogue's entries, one list per functional group, each row
//   X(name, operation id, index type, value type, use)
// where use says which side uses the id: SET (the controller sends it and the configuration run
// applies it), STATUS (the daemon reports it) or NONE (only catalogued). Every entry has exactly
// one index. The entry objects, the tables and the use lookup are all generated from these lists.

#define KESTREL_AUDIO_OUTPUT_SS_DATA(X)                                    \
    X(audioOutputState, AV_OP_AUDIOOUTPUT_STATE, VT_UINT8, VT_UINT8, SET)  \
    X(audioOutputLevel, AV_OP_AUDIOOUTPUT_LEVEL, VT_UINT8, VT_INT8, SET)   \
    X(audioOutputVolume, AV_OP_AUDIOOUTPUT_VOLUME, VT_UINT8, VT_INT8, SET) \
    X(audioOutputDownmix, AV_OP_AUDIOSRV_DOWNMIX_OP, VT_UINT8, VT_INT8, SET)

#define KESTREL_SELECTED_SERVICE_SS_DATA(X)                                                        \
    X(selectedserviceVideoPid, AV_OP_SELECTEDSERVICE_VIDEO_PID, VT_UINT8, VT_INT16, STATUS)        \
    X(selectedserviceVideoType, AV_OP_SELECTEDSERVICE_VIDEO_TYPE, VT_UINT8, VT_UINT8, STATUS)      \
    X(selectedserviceVideoPidPresence, AV_OP_SELECTEDSERVICE_VIDEO_PID_PRESENCE, VT_UINT8,         \
      VT_UINT8, NONE)                                                                              \
    X(selectedservicePcrPid, AV_OP_SELECTEDSERVICE_PCR_PID, VT_UINT8, VT_INT16, NONE)              \
    X(selectedservicePcrPidPresence, AV_OP_SELECTEDSERVICE_PCR_PID_PRESENCE, VT_UINT8, VT_UINT8,   \
      NONE)                                                                                        \
    X(selectedserviceServiceNum, AV_OP_SELECTEDSERVICE_PROGRAM_NUM, VT_UINT8, VT_UINT16, STATUS)   \
    X(selectedserviceServiceName, AV_OP_SELECTEDSERVICE_SERVICE_NAME, VT_UINT8, VT_STRING, STATUS) \
    X(selectedserviceServicePresence, AV_OP_SELECTEDSERVICE_SERVICE_PRESENCE, VT_UINT8, VT_UINT8,  \
      NONE)                                                                                        \
    X(selectedserviceTuneCount, AV_OP_SELECTEDSERVICE_TUNE_COUNT, VT_UINT8, VT_UINT16, NONE)       \
    X(selectedserviceVideoSyncStatus, AV_OP_SELECTEDSERVICE_VIDEO_SYNC_STATUS, VT_UINT8, VT_UINT8, \
      STATUS)                                                                                      \
    X(selectedservicePcrSyncStatus, AV_OP_SELECTEDSERVICE_PCR_SYNC_STATUS, VT_UINT8, VT_UINT8, NONE)

#define KESTREL_ANALOG_AUDIO_SS_DATA(X)                                                 \
    X(analogaudioPort, AV_OP_ANALOGAUDIO_PORT, VT_UINT8, VT_UINT8, SET)                 \
    X(analogaudioDiscreteChannel, AV_OP_ANALOGAUDIO_DISCRETE, VT_UINT8, VT_UINT8, NONE) \
    X(analogaudioOutputLevel, AV_OP_ANALOGAUDIO_OUTPUT_LEVEL, VT_UINT8, VT_INT8, SET)

#define KESTREL_SERVICE_SELECTION_SS_DATA(X)                                                       \
    X(serviceselectionSource, AV_OP_SERVICESELECTION_SOURCE, VT_UINT8, VT_UINT16, NONE)            \
    X(serviceselectionMode, AV_OP_SERVICESELECTION_MODE, VT_UINT8, VT_UINT8, NONE)                 \
    X(serviceselectionBackupState, AV_OP_SERVICESELECTION_BACKUP_STATE, VT_UINT8, VT_UINT8, NONE)  \
    X(serviceselectionCurrentInput, AV_OP_SERVICESELECTION_CURRENT_INPUT, VT_UINT8, VT_UINT8,      \
      NONE)                                                                                        \
    X(serviceselectionVideoCodecType, AV_OP_SERVICESELECTION_VIDEO_CODEC_TYPE, VT_UINT8, VT_UINT8, \
      SET)                                                                                         \
    X(serviceselectionAudioCodecType1, AV_OP_SERVICESELECTION_AUDIO_CODEC_TYPE1, VT_UINT8,         \
      VT_UINT8, SET)                                                                               \
    X(serviceselectionAudioCodecType2, AV_OP_SERVICESELECTION_AUDIO_CODEC_TYPE2, VT_UINT8,         \
      VT_UINT8, NONE)                                                                              \
    X(serviceselectionPcr, AV_OP_SERVICESELECTION_PCR, VT_UINT8, VT_UINT16, SET)                   \
    X(serviceselectionVideo, AV_OP_SERVICESELECTION_VIDEO, VT_UINT8, VT_UINT16, SET)               \
    X(serviceselectionAudio1, AV_OP_SERVICESELECTION_AUDIO1, VT_UINT8, VT_UINT16, SET)             \
    X(serviceselectionAudio2, AV_OP_SERVICESELECTION_AUDIO2, VT_UINT8, VT_UINT16, SET)             \
    X(serviceselectionServiceName, AV_OP_SERVICESELECTION_SERVICE_NAME, VT_UINT8, VT_STRING, NONE) \
    X(serviceselectionServiceNum, AV_OP_SERVICESELECTION_SERVICE_NUM, VT_UINT8, VT_UINT16, NONE)

#define KESTREL_SELECTED_AUDIO_SS_DATA(X)                                                   \
    X(selectedaudioPid, AV_OP_SELECTEDAUDIO_PID, VT_UINT8, VT_INT16, STATUS)                \
    X(selectedaudioType, AV_OP_SELECTEDAUDIO_TYPE, VT_UINT8, VT_UINT8, STATUS)              \
    X(selectedaudioPidPresence, AV_OP_SELECTEDAUDIO_PID_PRESENCE, VT_UINT8, VT_UINT8, NONE) \
    X(selectedaudioSyncStatus, AV_OP_SELECTEDAUDIO_SYNC_STATUS, VT_UINT8, VT_UINT8, STATUS)

#define KESTREL_DECODER_ADVANCE_SETTING_SS_DATA(X)                                                \
    X(decoderadvancesettingAudioDigitalMode, AV_OP_AUDIO_DIGITAL_MODE, VT_UINT8, VT_UINT8, NONE)  \
    X(decoderadvancesettingDecoderSyncMode, AV_OP_DECODER_SYNC_MODE, VT_UINT8, VT_UINT8, SET)     \
    X(decoderadvancesettingFFmpegControlMode, AV_OP_FFMPEG_CONTROL_MODE, VT_UINT8, VT_UINT8, SET) \
    X(decoderadvancesettingInjectPktNum, AV_OP_INJECT_PKT_NUM, VT_UINT8, VT_UINT16, SET)

#define KESTREL_RADU_VA_SUBSYSTEM_SS_DATA(X)                                                       \
    X(hisisystemReset, HISI_OP_SYSTEM_RESET_EVENT, VT_UINT8, VT_INT8, STATUS)                      \
    X(hisisystemHeartBeatCount, HISI_OP_SYSTEM_HEART_BEAT, VT_UINT8, VT_INT8, STATUS)              \
    X(hisisystemSoftwareVersion, HISI_OP_SYSTEM_SOFTWARE_VERSION, VT_UINT32, VT_UINT32, STATUS)    \
    X(hisisystemReady, HISI_OP_SYSTEM_READY, VT_UINT8, VT_INT8, STATUS)                            \
    X(hisisystemStatusEnable, HISI_OP_SYSTEM_STATUS_ENABLED, VT_UINT8, VT_UINT8, SET)              \
    X(hisisystemStatusUpdate, HISI_OP_SYSTEM_STATUS_UPDATE, VT_UINT8, VT_UINT8, NONE)              \
    X(hisisystemUpdate, HISI_OP_SYSTEM_UPDATE, VT_UINT8, VT_UINT8, SET)                            \
    X(hisisystemCheckReady, HISI_OP_SYSTEM_CHECK_READY, VT_UINT8, VT_UINT8, SET)                   \
    X(hisisystemStatusClear, HISI_OP_SYSTEM_STATUS_CLEAR, VT_UINT8, VT_UINT8, SET)                 \
    X(hisisystemStatusClearDone, HISI_OP_SYSTEM_STATUS_CLEAR_DONE, VT_UINT8, VT_UINT8, STATUS)     \
    X(hisisystemProductId, HISI_OP_SYSTEM_PRODUCT_ID, VT_UINT8, VT_STRING, SET)                    \
    X(hisisystemStatushisisystemFile, HISI_OP_SYSTEM_STATUS_USB_UPGRADE_FILE, VT_UINT8, VT_STRING, \
      STATUS)                                                                                      \
    X(hisisystemSetDecoderIndex, HISI_OP_SYSTEM_DECODER_INDEX, VT_UINT8, VT_UINT8, SET)

#define KESTREL_VIDEO_OUTPUT_SS_DATA(X)                                                            \
    X(videooutputInterface, AV_OP_VIDEOOUTPUT_INTERFACE, VT_UINT8, VT_UINT8, SET)                  \
    X(videooutputFormatMode, AV_OP_VIDEOOUTPUT_FORMAT_MODE, VT_UINT8, VT_UINT8, SET)               \
    X(videooutputFormatModeCvbs, AV_OP_VIDEOOUTPUT_FORMAT_MODE_CVBS, VT_UINT8, VT_UINT8, SET)      \
    X(videooutputRasterColor, AV_OP_VIDEOOUTPUT_RASTER_COLOR, VT_UINT8, VT_UINT8, NONE)            \
    X(videooutputRasterMode, AV_OP_VIDEOOUTPUT_RASTER_MODE, VT_UINT8, VT_UINT8, NONE)              \
    X(videooutputManualFormat, AV_OP_VIDEOOUTPUT_MANUAL_FORMAT, VT_UINT8, VT_UINT32, SET)          \
    X(videooutputCurrentOutputFormat, AV_OP_VIDEOOUTPUT_CURRENT_OUTPUT_FORMAT, VT_UINT8,           \
      VT_UINT32, STATUS)                                                                           \
    X(videooutputManualFormatCvbs, AV_OP_VIDEOOUTPUT_MANUAL_FORMAT_CVBS, VT_UINT8, VT_UINT32, SET) \
    X(videooutputAutoFormatStatus, AV_OP_VIDEOOUTPUT_AUTO_FORMAT_STATUS, VT_UINT8, VT_UINT8,       \
      STATUS)                                                                                      \
    X(videooutputAfdCode, AV_OP_ANC_OUTPUT_AFD_CODE, VT_UINT8, VT_UINT8, NONE)                     \
    X(videooutputAfdCodeDesc, AV_OP_ANC_OUTPUT_AFD_CODE_DESC, VT_UINT8, VT_STRING, NONE)           \
    X(videooutputDecode, AV_OP_VIDEOOUTPUT_DECODE, VT_UINT8, VT_UINT8, STATUS)

#define KESTREL_SELECTED_OTHER_SS_DATA(X) \
    X(selectedotherPid, AV_OP_SELECTEDOTHER_PID, VT_UINT8, VT_INT16, NONE)

#define KESTREL_AV_SS_CONFIG_SS_DATA(X)                                                            \
    X(avssconfigAudioCountAnalog, AV_OP_AVSSCONFIG_AUDIO_COUNT_ANALOG, VT_UINT8, VT_UINT8, NONE)   \
    X(avssconfigAudioCountDigital, AV_OP_AVSSCONFIG_AUDIO_COUNT_DIGITAL, VT_UINT8, VT_UINT8, NONE) \
    X(avssconfigAudioDecodeCount, AV_OP_AVSSCONFIG_AUDIO_DECODE_COUNT, VT_UINT8, VT_UINT8, NONE)   \
    X(avssconfigGenlockAvail, AV_OP_AVSSCONFIG_GENLOCK_AVAIL, VT_UINT8, VT_BOOL, NONE)             \
    X(avssconfigDecoderReset, AV_OP_AVSSCONFIG_DECODER_RESET, VT_UINT8, VT_UINT8, NONE)            \
    X(avssconfigDecoderResetEvent, AV_OP_AVSSCONFIG_DECODER_RESET_EVENT, VT_UINT8, VT_UINT8, NONE) \
    X(avssHeartBeat, AV_OP_HEART_BEAT, VT_UINT8, VT_UINT32, NONE)                                  \
    X(avssconfigDisableDecoderReset, AV_OP_AVSSCONFIG_DISABLE_DECODER_RESET, VT_UINT8, VT_UINT8,   \
      NONE)                                                                                        \
    X(avssconfigScte35ProcessingAvail, AV_OP_AVSSCONFIG_SCTE35_PROCESSING_AVAIL, VT_UINT8,         \
      VT_UINT8, NONE)                                                                              \
    X(avssconfigAvSyncSetting, AV_OP_AVSSCONFIG_AV_SYNC_SETTING, VT_UINT8, VT_INT16, SET)

#define KESTREL_VIDEO_SS_DATA(X)                                                       \
    X(videoWidth, AV_OP_VIDEO_WIDTH, VT_UINT8, VT_UINT16, STATUS)                      \
    X(videoHeight, AV_OP_VIDEO_HEIGHT, VT_UINT8, VT_UINT16, STATUS)                    \
    X(videoAspectRatio, AV_OP_VIDEO_ASPECT_RATIO, VT_UINT8, VT_UINT8, STATUS)          \
    X(videoFrameRate, AV_OP_VIDEO_FRAME_RATE, VT_UINT8, VT_UINT16, STATUS)             \
    X(videoScanType, AV_OP_VIDEO_SCAN_TYPE, VT_UINT8, VT_UINT8, STATUS)                \
    X(videoProfile, AV_OP_VIDEO_PROFILE, VT_UINT8, VT_UINT8, STATUS)                   \
    X(videoLevel, AV_OP_VIDEO_LEVEL, VT_UINT8, VT_UINT8, STATUS)                       \
    X(videoInputSupported, AV_OP_VIDEO_INPUT_SUPPORTED, VT_UINT8, VT_UINT8, STATUS)    \
    X(videoPcrDisconStatus, AV_OP_VIDEO_PCR_DISCON_STATUS, VT_UINT8, VT_UINT8, STATUS) \
    X(videoChromaFormat, AV_OP_VIDEO_CHROMA_FORMAT, VT_UINT8, VT_UINT8, STATUS)        \
    X(videoAverageBitrate, AV_OP_VIDEO_AVERAGE_BITRATE, VT_UINT8, VT_UINT32, STATUS)   \
    X(videoResolutionType, AV_OP_VIDEO_RESOLUTION_TYPE, VT_UINT8, VT_UINT8, STATUS)    \
    X(videoChromaBitDepth, AV_OP_VIDEO_CHROMA_BIT_DEPTH, VT_UINT8, VT_UINT8, STATUS)

#define KESTREL_SERVICE_LOCK_SS_DATA(X)                                                         \
    X(servicelockLockMode, AV_OP_SERVICELOCK_LOCK_MODE, VT_UINT8, VT_UINT8, NONE)               \
    X(servicelockServiceName, AV_OP_SERVICELOCK_SERVICE_NAME, VT_UINT8, VT_STRING, NONE)        \
    X(servicelockServiceNum, AV_OP_SERVICELOCK_SERVICE_NUM, VT_UINT8, VT_UINT16, NONE)          \
    X(servicelockBackupLockMode, AV_OP_SERVICELOCK_BACKUP_LOCK_MODE, VT_UINT8, VT_UINT8, NONE)  \
    X(servicelockBackupServiceName, AV_OP_SERVICELOCK_BACKUP_SERVICE_NAME, VT_UINT8, VT_STRING, \
      NONE)                                                                                     \
    X(servicelockBackupServiceNum, AV_OP_SERVICELOCK_BACKUP_SERVICE_NUM, VT_UINT8, VT_UINT16, NONE)

#define KESTREL_USB_UPGRADE_SS_DATA(X)                                                             \
    X(usbupgradeProductId, HISI_OP_SYSTEM_PRODUCT_ID, VT_UINT8, VT_STRING, SET)                    \
    X(usbupgradeStatusUsbUpgradeFile, HISI_OP_SYSTEM_STATUS_USB_UPGRADE_FILE, VT_UINT8, VT_STRING, \
      STATUS)

#define KESTREL_COMPOSITE_SS_DATA(X)                                                        \
    X(compositeNtscPedestal, AV_OP_COMPOSITE_NTSC_PEDESTAL_STATE, VT_UINT8, VT_UINT8, NONE) \
    X(composite525Std, AV_OP_COMPOSITE_525_STD, VT_UINT8, VT_UINT8, SET)                    \
    X(composite625Std, AV_OP_COMPOSITE_625_STD, VT_UINT8, VT_UINT8, SET)                    \
    X(compositeVideoLossMode, AV_OP_COMPOSITE_VIDEO_LOSS_MODE, VT_UINT8, VT_UINT8, NONE)    \
    X(compositeLine21Cc, AV_OP_COMPOSITE_LINE21_CC, VT_UINT8, VT_UINT8, SET)

#define KESTREL_PID_LOCK_SS_DATA(X)                                                           \
    X(pidlockPcrPid, AV_OP_PIDLOCK_PCR_PID, VT_UINT8, VT_INT16, NONE)                         \
    X(pidlockVideoPid, AV_OP_PIDLOCK_VIDEO_PID, VT_UINT8, VT_INT16, NONE)                     \
    X(pidlockVideoType, AV_OP_PIDLOCK_VIDEO_TYPE, VT_UINT8, VT_UINT8, NONE)                   \
    X(pidlockBackupPcrPid, AV_OP_PIDLOCK_BACKUP_PCR_PID, VT_UINT8, VT_INT16, NONE)            \
    X(pidlockBackupVideoPid, AV_OP_PIDLOCK_BACKUP_VIDEO_PID, VT_UINT8, VT_INT16, NONE)        \
    X(pidlockBackupVideoType, AV_OP_PIDLOCK_BACKUP_VIDEO_TYPE, VT_UINT8, VT_UINT8, NONE)      \
    X(pidlockVideoTypeMismatchPresence, AV_OP_PIDLOCK_VIDEO_TYPE_MISMATCH_PRESENCE, VT_UINT8, \
      VT_UINT8, NONE)

#define KESTREL_AUDIO_SRV_SS_DATA(X)                                                           \
    X(audiosrvOperationalMode, AV_OP_AUDIOSRV_OPERATIONAL_MODE, VT_UINT8, VT_UINT8, NONE)      \
    X(audiosrvDownmixOp, AV_OP_AUDIOSRV_DOWNMIX_OP, VT_UINT8, VT_UINT8, SET)                   \
    X(audiosrvDynamicRangeState, AV_OP_AUDIOSRV_DYNAMIC_RANGE_STATE, VT_UINT8, VT_UINT8, NONE) \
    X(audiosrvAudioFormatMode, AV_OP_AUDIOSRV_AUDIO_FORMAT_MODE, VT_UINT8, VT_UINT8, NONE)     \
    X(audiosrvBitDepth, AV_OP_AUDIOSRV_BIT_DEPTH, VT_UINT8, VT_UINT8, NONE)                    \
    X(audiosrvBitrate, AV_OP_AUDIOSRV_BITRATE, VT_UINT8, VT_UINT32, STATUS)                    \
    X(audiosrvSamplingRate, AV_OP_AUDIOSRV_SAMPLING_RATE, VT_UINT8, VT_UINT32, STATUS)         \
    X(audiosrvBitsPerSample, AV_OP_AUDIOSRV_BITS_PER_SAMPLE, VT_UINT8, VT_UINT32, STATUS)      \
    X(audiosrvChannelCoding, AV_OP_AUDIOSRV_CHANNEL_CODING, VT_UINT8, VT_UINT8, STATUS)        \
    X(audiosrvDialNormValue, AV_OP_AUDIOSRV_DIAL_NORM_VALUE, VT_UINT8, VT_INT8, STATUS)        \
    X(audiosrvEncodedType, AV_OP_AUDIOSRV_ENCODED_TYPE, VT_UINT8, VT_UINT8, STATUS)            \
    X(audiosrvDecoding, AV_OP_AUDIOSRV_DECODING, VT_UINT8, VT_UINT8, STATUS)                   \
    X(audiosrvClean, AV_OP_CLENA_AUDIO_BUFF, VT_UINT8, VT_UINT8, STATUS)

#define KESTREL_OVERLAY_SS_DATA(X)                                                                \
    X(overlayType, AV_OP_OVERLAY_TYPE, VT_UINT8, VT_UINT8, SET)                                   \
    X(overlayCcType, AV_OP_OVERLAY_CC_TYPE, VT_UINT8, VT_UINT8, SET)                              \
    X(overlayNtscCcDataType, AV_OP_OVERLAY_NTSC_CC_DATA_TYPE, VT_UINT8, VT_UINT8, SET)            \
    X(overlayDtvCcDataType, AV_OP_OVERLAY_DTV_CC_DATA_TYPE, VT_UINT8, VT_UINT8, SET)              \
    X(overlayDvbSubtitleLanguage, AV_OP_OVERLAY_DVB_SUBTITLE_LANGUAGE, VT_UINT8, VT_STRING, NONE) \
    X(overlayDvbSubtitlePid, AV_OP_OVERLAY_DVB_SUBTITLE_PID, VT_UINT8, VT_UINT16, SET)            \
    X(overlayDvbSubtitleCompositionPageId, AV_OP_OVERLAY_DVB_SUBTITLE_COMPOSITION_PAGE_ID,        \
      VT_UINT8, VT_UINT16, SET)                                                                   \
    X(overlayDvbSubtitleAncillaryPageId, AV_OP_OVERLAY_DVB_SUBTITLE_ANCILLARY_PAGE_ID, VT_UINT8,  \
      VT_UINT16, SET)                                                                             \
    X(overlayTeletextPage, AV_OP_OVERLAY_TELETEXT_PAGE, VT_UINT8, VT_STRING, NONE)                \
    X(overlayImageTriggerMode, AV_OP_OVERLAY_IMAGE_TRIGGER_MODE, VT_UINT8, VT_UINT8, NONE)        \
    X(overlayImageScte35EventId, AV_OP_OVERLAY_IMAGE_SCTE35_EVENT_ID, VT_UINT8, VT_UINT32, NONE)  \
    X(overlayImageDithering, AV_OP_OVERLAY_IMAGE_DITHERING, VT_UINT8, VT_UINT8, NONE)             \
    X(overlayImageTransition, AV_OP_OVERLAY_IMAGE_TRANSITION, VT_UINT8, VT_UINT8, NONE)

#define KESTREL_AUDIO_PID_LOCK_SS_DATA(X)                                                     \
    X(audiopidlockPid, AV_OP_AUDIOPIDLOCK_PID, VT_UINT8, VT_INT16, NONE)                      \
    X(audiopidlockType, AV_OP_AUDIOPIDLOCK_TYPE, VT_UINT8, VT_UINT8, NONE)                    \
    X(audiopidlockBackupPid, AV_OP_AUDIOPIDLOCK_BACKUP_PID, VT_UINT8, VT_INT16, NONE)         \
    X(audiopidlockBackupType, AV_OP_AUDIOPIDLOCK_BACKUP_TYPE, VT_UINT8, VT_UINT8, NONE)       \
    X(audiopidlockAudioTypeMismatchPresence, AV_OP_AUDIOPIDLOCK_AUDIO_TYPE_MISMATCH_PRESENCE, \
      VT_UINT8, VT_UINT8, NONE)

// The tables the daemon's map is filled from, in filling order: where two tables hold the same id,
// the later one wins (73 resolves to "audioOutputDownmix", VT_INT8).
#define KESTREL_DAEMON_SS_DATA_TABLES(X)                         \
    X(audioPidLockSsData, KESTREL_AUDIO_PID_LOCK_SS_DATA)        \
    X(audioSrvSsData, KESTREL_AUDIO_SRV_SS_DATA)                 \
    X(raduVaSubsystemSsData, KESTREL_RADU_VA_SUBSYSTEM_SS_DATA)  \
    X(pidLockSsData, KESTREL_PID_LOCK_SS_DATA)                   \
    X(selectedAudioSsData, KESTREL_SELECTED_AUDIO_SS_DATA)       \
    X(selectedServiceSsData, KESTREL_SELECTED_SERVICE_SS_DATA)   \
    X(selectedOtherSsData, KESTREL_SELECTED_OTHER_SS_DATA)       \
    X(serviceSelectionSsData, KESTREL_SERVICE_SELECTION_SS_DATA) \
    X(videoOutputSsData, KESTREL_VIDEO_OUTPUT_SS_DATA)           \
    X(videoSsData, KESTREL_VIDEO_SS_DATA)                        \
    X(serviceLockSsData, KESTREL_SERVICE_LOCK_SS_DATA)           \
    X(analogAudioSsData, KESTREL_ANALOG_AUDIO_SS_DATA)           \
    X(audioOutputSsData, KESTREL_AUDIO_OUTPUT_SS_DATA)           \
    X(compositeSsData, KESTREL_COMPOSITE_SS_DATA)                \
    X(avSsConfigSsData, KESTREL_AV_SS_CONFIG_SS_DATA)            \
    X(overlaySsData, KESTREL_OVERLAY_SS_DATA)                    \
    X(decoderAdvanceSettingSsData, KESTREL_DECODER_ADVANCE_SETTING_SS_DATA)

// Kept out of the daemon's map: its two ids are also in raduVaSubsystemSsData, with the same type.
#define KESTREL_OTHER_SS_DATA_TABLES(X) X(usbUpgradeSsData, KESTREL_USB_UPGRADE_SS_DATA)
