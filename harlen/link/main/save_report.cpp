#include "harlen/link/main/save_report.h"

#include <QStringList>

#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/protocol/nvr_protocol.h"

namespace {

QString Names(const std::vector<int>& sections) {
  QStringList names;
  for (int section : sections) {
    const UINT id = SectionNameId(section);
    names << (id != 0 ? harlenres::LoadString(id) : QString::number(section));
  }
  return names.join(harlenres::LoadString(IDS_LIST_SEPARATOR));
}

}  // namespace

UINT SectionNameId(int section) {
  switch (section) {
    case NVR_SECTION_CHANNELCFG: return IDS_SECTION_CHANNELS;
    case NVR_SECTION_NETWORK: return IDS_SECTION_NETWORK;
    case NVR_SECTION_DDNS: return IDS_SECTION_DDNS;
    case NVR_SECTION_NTP: return IDS_SECTION_NTP;
    case NVR_SECTION_EMAIL: return IDS_SECTION_EMAIL;
    case NVR_SECTION_MANAGEHOSTS: return IDS_SECTION_PLATFORMS;
    case NVR_SECTION_SYSTEMPARAM: return IDS_SECTION_SYSTEM;
    case NVR_SECTION_USERCFG: return IDS_SECTION_USERS;
    case NVR_SECTION_COMMON: return IDS_SECTION_COMMON;
    case NVR_SECTION_ALARMLINKAGE: return IDS_SECTION_ALARMS;
    default: return 0;
  }
}

QString SaveReportText(const SaveOutcome& outcome) {
  std::vector<int> unsaved = outcome.unsent;
  unsaved.insert(unsaved.end(), outcome.unanswered.begin(), outcome.unanswered.end());
  QStringList parts;
  if (!outcome.refused.empty()) parts << harlenres::LoadString(IDS_MSG_SAVE_REFUSED) + '\n' + Names(outcome.refused);
  if (!unsaved.empty()) parts << harlenres::LoadString(IDS_MSG_SAVE_FAILED) + '\n' + Names(unsaved);
  if (!outcome.unread.empty()) parts << harlenres::LoadString(IDS_MSG_SAVE_SKIPPED) + '\n' + Names(outcome.unread);
  return parts.join(QStringLiteral("\n\n"));
}
