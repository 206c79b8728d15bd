// A set of the configuration records on the heap, as the whole configuration
// and save-all see them.
#pragma once

#include <memory>

#include "harlen/link/sections/nvr_config.h"

struct Records {
  std::unique_ptr<ChannelCfg> channel = std::make_unique<ChannelCfg>();
  std::unique_ptr<NetworkCfg> network = std::make_unique<NetworkCfg>();
  std::unique_ptr<DdnsCfg> ddns = std::make_unique<DdnsCfg>();
  std::unique_ptr<NtpCfg> ntp = std::make_unique<NtpCfg>();
  std::unique_ptr<EmailCfg> email = std::make_unique<EmailCfg>();
  std::unique_ptr<ManageHostsCfg> hosts = std::make_unique<ManageHostsCfg>();
  std::unique_ptr<SystemParam> system = std::make_unique<SystemParam>();
  std::unique_ptr<SystemManage> manage = std::make_unique<SystemManage>();
  std::unique_ptr<UserCfg> users = std::make_unique<UserCfg>();
  std::unique_ptr<CommonCfg> common = std::make_unique<CommonCfg>();
  std::unique_ptr<AlarmLinkage> alarm = std::make_unique<AlarmLinkage>();

  NvrConfigRecords Refs() {
    return {channel.get(), network.get(), ddns.get(),  ntp.get(),    email.get(), hosts.get(),
            system.get(),  manage.get(),  users.get(), common.get(), alarm.get()};
  }
};
