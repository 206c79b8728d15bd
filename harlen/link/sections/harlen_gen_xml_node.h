// CHarlenGenXMLNode: the element builders, record in, new element out (the
// caller links it into a document). Attributes are written in the order the
// NVR reads them; builders do not fail.
#pragma once

#include "harlen/link/sections/alarm_linkage.h"
#include "harlen/link/sections/channel_cfg.h"
#include "harlen/link/sections/ipc_channel.h"
#include "harlen/link/sections/network_cfg.h"
#include "harlen/link/sections/system_cfg.h"
#include "harlen/link/sections/user_cfg.h"

class TiXmlElement;

class CHarlenGenXMLNode {
 public:
  TiXmlElement* GenChannelCfg(const ChannelCfg& cfg);
  TiXmlElement* GenRecordDriven(const RecordDrivenList& list);
  TiXmlElement* GenNetwork(const NetworkCfg& cfg);
  TiXmlElement* GenDdns(const DdnsCfg& cfg);
  TiXmlElement* GenNtp(const NtpCfg& cfg);
  TiXmlElement* GenEmail(const EmailCfg& cfg);
  TiXmlElement* GenManageHosts(const ManageHostsCfg& cfg);
  TiXmlElement* GenSystemParam(const SystemParam& cfg);
  TiXmlElement* GenCommon(const CommonCfg& cfg);
  TiXmlElement* GenAlarmLinkage(const AlarmLinkage& cfg);
  TiXmlElement* GenUserCfg(const UserCfg& cfg);
  TiXmlElement* GenIPCChannel(const IpcChannelTable& table);
  TiXmlElement* GenCtrlFormatDisk(const char* disk);
  TiXmlElement* GenCtrlSetTime(const DeviceTime& time);
};
