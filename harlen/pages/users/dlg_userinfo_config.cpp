#include "harlen/pages/users/dlg_userinfo_config.h"

void CDlgUserinfoConfig::FillFromConfig() {}

void CDlgUserinfoConfig::FillOnlineUsers(const OnlineUsers&) {}
