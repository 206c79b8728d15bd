#include "harlen/link/sections/nvr_config.h"

#include <tinyxml.h>

#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/xml/whole_config.h"

ChannelCfg g_ChannelCfg;
NetworkCfg g_NetworkCfg;
DdnsCfg g_DdnsCfg;
NtpCfg g_NtpCfg;
EmailCfg g_EmailCfg;
ManageHostsCfg g_ManageHostsCfg;
SystemParam g_SystemParam;
SystemManage g_SystemManage;
UserCfg g_UserCfg;
CommonCfg g_CommonCfg;
AlarmLinkage g_AlarmLinkage;
DiskStatus g_DiskStatus;

NvrConfigRecords GlobalNvrConfig() {
  return NvrConfigRecords{&g_ChannelCfg,  &g_NetworkCfg,   &g_DdnsCfg,      &g_NtpCfg,
                          &g_EmailCfg,    &g_ManageHostsCfg, &g_SystemParam, &g_SystemManage,
                          &g_UserCfg,     &g_CommonCfg,    &g_AlarmLinkage};
}

bool LoadWholeConfig(std::string_view text, const NvrConfigRecords& r, NvrLoadedSections* loaded) {
  TiXmlDocument doc;
  WholeConfigParts parts;
  if (!SplitWholeConfig(text, doc, parts)) return false;
  auto mark = [loaded](int section, int result) {
    if (loaded != nullptr) loaded->Mark(section, result == 0);
  };
  CHarlenLoader loader;
  if (parts.channelcfg != nullptr) mark(NVR_SECTION_CHANNELCFG, loader.LoadChannelCfg(parts.channelcfg, *r.channelCfg));
  if (parts.networkparam != nullptr) {
    loader.LoadNetworkParam(parts.networkparam, *r.network, *r.ddns, *r.ntp, *r.email, *r.manageHosts, loaded);
  }
  if (parts.systemparam != nullptr) {
    mark(NVR_SECTION_SYSTEMPARAM, loader.LoadSystemParam(parts.systemparam, *r.systemParam));
  }
  if (parts.systemmanage != nullptr) loader.LoadSystemManage(parts.systemmanage, *r.systemManage);
  if (parts.usercfg != nullptr) mark(NVR_SECTION_USERCFG, loader.LoadUserCfg(parts.usercfg, *r.userCfg));
  if (parts.common != nullptr) mark(NVR_SECTION_COMMON, loader.LoadCommon(parts.common, *r.commonCfg));
  if (parts.alarmLinkage != nullptr) {
    mark(NVR_SECTION_ALARMLINKAGE, loader.LoadAlarmLinkage(parts.alarmLinkage, *r.alarmLinkage));
  }
  return true;
}

std::vector<std::pair<int, std::string>> SaveAllSections(const NvrConfigRecords& r) {
  CHarlenSaveString saver;
  std::vector<std::pair<int, std::string>> texts;
  auto add = [&](int section, auto save) {
    std::string text;
    save(text);
    if (!text.empty()) texts.emplace_back(section, std::move(text));
  };
  add(NVR_SECTION_CHANNELCFG, [&](std::string& t) { saver.SaveConfChannel(*r.channelCfg, t); });
  add(NVR_SECTION_NETWORK, [&](std::string& t) { saver.SaveConfNetwork(*r.network, t); });
  add(NVR_SECTION_DDNS, [&](std::string& t) { saver.SaveConfDdns(*r.ddns, t); });
  add(NVR_SECTION_NTP, [&](std::string& t) { saver.SaveConfNtp(*r.ntp, t); });
  add(NVR_SECTION_EMAIL, [&](std::string& t) { saver.SaveConfEmail(*r.email, t); });
  add(NVR_SECTION_MANAGEHOSTS, [&](std::string& t) { saver.SaveConfManageHosts(*r.manageHosts, t); });
  add(NVR_SECTION_SYSTEMPARAM, [&](std::string& t) { saver.SaveConfSystemParam(*r.systemParam, t); });
  add(NVR_SECTION_USERCFG, [&](std::string& t) { saver.SaveConfUserCfg(*r.userCfg, t); });
  add(NVR_SECTION_COMMON, [&](std::string& t) { saver.SaveConfCommon(*r.commonCfg, t); });
  add(NVR_SECTION_ALARMLINKAGE, [&](std::string& t) { saver.SaveConfAlarmLinkage(*r.alarmLinkage, t); });
  return texts;
}
