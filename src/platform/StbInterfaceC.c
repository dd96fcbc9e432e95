/*
 * Compiled as C11 with -pedantic-errors: the platform interface must stay usable from C, the
 * language of the board's library. Nothing here is called.
 */

#include "stb/stb_module.h"

static int32_t OnEvent(HANDLE hAv, AV_EVENT_E enEvt, const void* pData) {
    (void)hAv;
    (void)pData;
    return enEvt == AV_VID_EVT_NEW_PICTURE_DECODED ? 0 : -1;
}

/* A registration record as a C caller fills it. */
const AV_EVENT_CONFIG_PARAMS_S kestrel_stb_c_event_config = {AM_EVT_DTV_SUBTITLE, OnEvent, TRUE, 0};
