// The state of the library, one set per process: its windows (each at most
// once), the NVR's address and the user logged in to it.
#pragma once

#include <QPointer>
#include <atomic>
#include <cstdint>

#include "harlen/link/main/dlg_main.h"
#include "harlen/pages/windows/dlg_ip_channel_config.h"
#include "harlen/pages/windows/dlg_manual_record_config.h"

constexpr size_t kHarlenTextWidth = 260;  // the host and user name fields: 259 bytes and a zero

// Null when there is none; a window the host destroyed with its parent clears itself.
extern QPointer<CDlgMain> g_pDlgMain;
extern QPointer<CDlgIpChannelConfig> g_pDlgIpChannel;
extern QPointer<CDlgManualRecordConfig> g_pDlgManualRecord;

extern char g_szNvrHost[kHarlenTextWidth];
extern uint16_t g_nNvrPort;
extern char g_szLoginUser[kHarlenTextWidth];
extern std::atomic<bool> g_bHarlenInited;
