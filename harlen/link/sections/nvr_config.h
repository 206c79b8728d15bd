// The configuration records of the NVR shown in the main configuration
// window, the whole-configuration load and the texts of save-all.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "harlen/link/sections/alarm_linkage.h"
#include "harlen/link/sections/channel_cfg.h"
#include "harlen/link/sections/loaded_sections.h"
#include "harlen/link/sections/network_cfg.h"
#include "harlen/link/sections/system_cfg.h"
#include "harlen/link/sections/user_cfg.h"

extern ChannelCfg g_ChannelCfg;
extern NetworkCfg g_NetworkCfg;
extern DdnsCfg g_DdnsCfg;
extern NtpCfg g_NtpCfg;
extern EmailCfg g_EmailCfg;
extern ManageHostsCfg g_ManageHostsCfg;
extern SystemParam g_SystemParam;
extern SystemManage g_SystemManage;
extern UserCfg g_UserCfg;
extern CommonCfg g_CommonCfg;
extern AlarmLinkage g_AlarmLinkage;
extern DiskStatus g_DiskStatus;

// The records a whole configuration fills and save-all sends.
struct NvrConfigRecords {
  ChannelCfg* channelCfg;
  NetworkCfg* network;
  DdnsCfg* ddns;
  NtpCfg* ntp;
  EmailCfg* email;
  ManageHostsCfg* manageHosts;
  SystemParam* systemParam;
  SystemManage* systemManage;
  UserCfg* userCfg;
  CommonCfg* commonCfg;
  AlarmLinkage* alarmLinkage;
};

// The module's records (the g_ globals above).
NvrConfigRecords GlobalNvrConfig();

// Loads every section that a whole configuration (section 0) holds into its
// record; a missing section leaves its record as it was, a failing one does
// not stop the others. False, with nothing changed, when the text does not parse.
// `loaded`, when given, marks each section of save-all that the text held
// whether its loader took it; a section the text lacks keeps its mark.
bool LoadWholeConfig(std::string_view text, const NvrConfigRecords& records, NvrLoadedSections* loaded = nullptr);

// The section texts that save-all sends, in its order: 6, 12, 13, 14, 15, 16,
// 2, 17, 1, 8 (systemmanage is never sent).
std::vector<std::pair<int, std::string>> SaveAllSections(const NvrConfigRecords& records);
