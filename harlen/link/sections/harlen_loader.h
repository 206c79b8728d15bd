// CHarlenLoader: the section loaders. Each takes the section's element and a
// record, clears the record and fills it from the element: 0, or -1 when a
// required element or value is missing or invalid (the fields read by then
// stay filled). Every loader writes trace lines; no password goes into them.
#pragma once

#include "harlen/link/sections/alarm_linkage.h"
#include "harlen/link/sections/channel_cfg.h"
#include "harlen/link/sections/ipc_channel.h"
#include "harlen/link/sections/loaded_sections.h"
#include "harlen/link/sections/network_cfg.h"
#include "harlen/link/sections/system_cfg.h"
#include "harlen/link/sections/user_cfg.h"

class TiXmlElement;

class CHarlenLoader {
 public:
  // channelcfg (section 6) and its parts; RecordDriven is also section 18.
  int LoadChannelCfg(const TiXmlElement* channelcfg, ChannelCfg& cfg);
  int LoadDisplayCfg(const TiXmlElement* displaycfg, ChannelCfg& cfg);
  int LoadVideoCfg(const TiXmlElement* videocfg, ChannelCfg& cfg);
  int LoadRecordConfig(const TiXmlElement* recordConfig, ChannelCfg& cfg);
  int LoadRecordDriven(const TiXmlElement* recordDriven, RecordDrivenList& list);
  int LoadRecordParam(const TiXmlElement* recordParam, RecordParamList& list);
  int LoadPictureParam(const TiXmlElement* pictureParam, PictureParamList& list);
  int LoadSchedList(const TiXmlElement* scheme, SchedList& list);

  // networkparam of the whole configuration, and its children (sections 12 to
  // 16); `loaded`, when given, marks each child read whether its loader took it.
  int LoadNetworkParam(const TiXmlElement* networkparam, NetworkCfg& network, DdnsCfg& ddns, NtpCfg& ntp,
                       EmailCfg& email, ManageHostsCfg& hosts, NvrLoadedSections* loaded = nullptr);
  int LoadConfNetwork(const TiXmlElement* network, NetworkCfg& cfg);
  int LoadConfDdns(const TiXmlElement* ddns, DdnsCfg& cfg);
  int LoadConfNtp(const TiXmlElement* ntp, NtpCfg& cfg);
  int LoadConfEmail(const TiXmlElement* email, EmailCfg& cfg);
  int LoadConfManageHosts(const TiXmlElement* managehosts, ManageHostsCfg& cfg);

  // systemparam (section 2), systemmanage, common (section 1).
  int LoadSystemParam(const TiXmlElement* systemparam, SystemParam& cfg);
  int LoadSystemManage(const TiXmlElement* systemmanage, SystemManage& cfg);
  int LoadCommon(const TiXmlElement* common, CommonCfg& cfg);

  // AlarmLinkage (section 8).
  int LoadAlarmLinkage(const TiXmlElement* alarmLinkage, AlarmLinkage& cfg);

  // usercfg (section 17).
  int LoadUserCfg(const TiXmlElement* usercfg, UserCfg& cfg);

  // IPCChannelParam (section 5), and the cameras of a search reply (its root element).
  int LoadConfIPCChannel(const TiXmlElement* ipcChannelParam, IpcChannelTable& table);
  int LoadAllFindroHeadInfo(const TiXmlElement* root, IpcSearchList& list);
  int LoadFindroHeadInfo(const TiXmlElement* ipcheadinfo, IpcHeadInfo& info);
};
