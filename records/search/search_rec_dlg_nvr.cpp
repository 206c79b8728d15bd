// The record search page asks NVRs for their record files and day maps through
// the device-messaging control, and shows the answers.
#include <QComboBox>

#include "core/client_log.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/search/nvr_search_text.h"
#include "records/search/search_rec_dlg.h"
#include "records/search/search_rec_strings.h"
#include "ui/image_button.h"

using namespace searchrec;

int CSearchRecDlg::SearchRemoteRecFile(int page) {
  ClearResults();
  m_lstResult.clear();
  const std::string body = NvrFileSearchBody(ReadForm(), page);
  if (!m_devInfo.pGimbroCtrl) {
    WriteLog(6, "Search remote record file failed. the device GimbroCtrl is NULL.");
    return -1;  // nothing was sent: the caller says so
  }
  const LONG result =
      m_devInfo.pGimbroCtrl->WriteAUXStringEx(m_devInfo.GimbroId, kNvrFileSearchType, kNvrFileSearchCode, 0, body.c_str());
  WriteLog(6, "WriteAUXStringEx: ReturnCode = %d, GimbroId = %ld, MsgType = SYSTEM_CONTROL_MESSAGE, Cmd = %s",
           static_cast<int>(result), static_cast<long>(m_devInfo.GimbroId), body.c_str());
  return result;
}

int CSearchRecDlg::SearchNVRRecByDate(const DevInfo& dev, const RecDayInfo& day, int channel) {
  if (!dev.pGimbroCtrl) {
    WriteLog(6, "SearchNVRRecByDate:Search NVR record file failed. the device GimbroCtrl is NULL.");
    return -1;
  }
  const std::string body = NvrDayQueryBody(channel, day.wYear, day.wMonth, day.byDay);
  return dev.pGimbroCtrl->WriteAUXStringEx(dev.GimbroId, kNvrDayQueryType, kNvrDayQueryCode, 0, body.c_str());
}

LRESULT CSearchRecDlg::OnSearchRemoteRecFileResponse(const std::string& text) {
  WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse(): recv remote rec file response,begin parse...");
  m_bSearching = FALSE;
  NvrFileAnswer answer;
  if (!ParseNvrFileAnswer(text, &answer)) {
    WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse():Parse remote rec file failed.");
    SetStatusText("");
    return -1;
  }
  m_nTotalCount = answer.total;
  WriteLog(6, "CSearchRecDlg::OnSearchRemoteRecFileResponse(): recv remote rec file response,record file count=%d",
           m_nTotalCount);
  if (m_nTotalCount < 1) {
    ShowMsg(IDS_RESULT_EMPTY);
    SetStatusText("");
    return 0;
  }
  m_lstResult.insert(m_lstResult.end(), answer.files.begin(), answer.files.end());
  if (!m_lstResult.empty()) {
    EnableControl(IDC_STOP_DOWNLOAD, true);
    EnableControl(IDC_DOWNLOAD, true);
    ShowResultPage();
  } else {
    SetStatusText("");
  }
  return 0;
}

LRESULT CSearchRecDlg::OnQueryNVRRecFileResponse(LONG gimbroId, const std::string& text) {
  WriteLog(6, "CSearchRecDlg::OnQueryNVRRecFileResponse(): recv remote NVR rec file response,begin parse...");
  NvrDayAnswer answer;
  if (!ParseNvrDayAnswer(text, &answer)) {
    WriteLog(6, "CSearchRecDlg::OnQueryNVRRecFileResponse():Parse remote NVR rec file failed.");
    return -1;
  }
  const DevInfo* dev = nullptr;
  for (const DevInfo& d : g_lstDevInfo) {
    if (d.GimbroId == gimbroId && d.DevType == kDevTypeNvr && d.CurNVRChannel == answer.channel) {
      dev = &d;
      break;
    }
  }
  if (!dev) return 0;
  char key[32];
  SlotDeviceKey(*dev, g_nLoginType != 0, key);
  for (int i = 0; i < kPlaybackSlots; ++i) {
    PlaybackStatus& slot = m_slots.pb[i];
    if (FixedTextView(slot.szDevKey) != FixedTextView(key) || slot.nChannel != answer.channel) continue;
    {
      std::lock_guard<std::mutex> lock(m_csFeed);
      std::memset(slot.day.szDayMap, 0, sizeof(slot.day.szDayMap));
      std::memcpy(slot.day.szDayMap, answer.map.data(), answer.map.size());
    }
    if (m_pTimeBar) {
      m_pTimeBar->ClearRow(i);
      m_pTimeBar->SetRow(slot.day.szDayMap, dev->DevName, i);
      m_pTimeBar->SetRowDate(i, slot.nYear, slot.nMonth, slot.nDay);
    }
    break;
  }
  return 0;
}
