// CHarlenSaveString: one record to its section's XML text (the declaration,
// then the section's root element, tab-indented), and the control texts (the
// element alone). Every save gives a text and returns 0.
#pragma once

#include <string>

#include "harlen/link/sections/harlen_gen_xml_node.h"

class CHarlenSaveString : public CHarlenGenXMLNode {
 public:
  int SaveConfChannel(const ChannelCfg& cfg, std::string& text);          // section 6
  int SaveConfRecordDriven(const RecordDrivenList& list, std::string& text);  // section 18
  int SaveConfNetwork(const NetworkCfg& cfg, std::string& text);          // section 12
  int SaveConfDdns(const DdnsCfg& cfg, std::string& text);                // section 13
  int SaveConfNtp(const NtpCfg& cfg, std::string& text);                  // section 14
  int SaveConfEmail(const EmailCfg& cfg, std::string& text);              // section 15
  int SaveConfManageHosts(const ManageHostsCfg& cfg, std::string& text);  // section 16
  int SaveConfSystemParam(const SystemParam& cfg, std::string& text);     // section 2
  int SaveConfUserCfg(const UserCfg& cfg, std::string& text);             // section 17
  int SaveConfCommon(const CommonCfg& cfg, std::string& text);            // section 1
  int SaveConfAlarmLinkage(const AlarmLinkage& cfg, std::string& text);   // section 8
  int SaveConfIPCChannel(const IpcChannelTable& table, std::string& text);  // section 5

  int SaveCtrlFormatDisk(const char* disk, std::string& text);    // control code 1
  int SaveCtrlSetTime(const DeviceTime& time, std::string& text);  // control code 3
};
