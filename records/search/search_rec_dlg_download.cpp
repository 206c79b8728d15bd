// The record search page downloads the checked rows of its result list: the
// page's side of the download batch (records/search/downloads).
#include "records/search/search_rec_dlg_download.h"

#include <QMetaObject>
#include <QPointer>
#include <cstring>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "pelk/pelk.h"
#include "platform/string_table.h"
#include "platform/thread_handoff.h"
#include "records/search/rec_save_folder.h"
#include "records/search/search_rec_strings.h"
#include "ui/image_button.h"
#include "ui/sort_list_ctrl.h"

using namespace searchrec;

namespace {

constexpr int kCheckShown = 1;  // check boxes the user ticks
constexpr int kCheckFixed = 3;  // shown, clicks change nothing

}  // namespace

// --- the page's side ---

int CSearchRecDlg::DownloadPage::RowCount() const {
  return page_->m_pResultList ? page_->m_pResultList->GetItemCount() : 0;
}

bool CSearchRecDlg::DownloadPage::IsRowChecked(int row) const {
  return page_->m_pResultList && page_->m_pResultList->GetCheck(row);
}

std::string CSearchRecDlg::DownloadPage::RowFile(int row) const {
  return page_->m_pResultList ? std::string(page_->m_pResultList->GetItemText(row, 0)) : std::string();
}

void CSearchRecDlg::DownloadPage::SetRowStatus(int row, const std::string& text) {
  if (page_->m_pResultList && row >= 0 && row < RowCount()) page_->m_pResultList->SetItemText(row, 2, text);
}

void CSearchRecDlg::DownloadPage::LockForm(bool locked) {
  for (int id : {IDC_QUERY, IDC_PRE_PAGE, IDC_NEXT_PAGE}) page_->EnableControl(id, !locked);
  if (page_->m_pResultList) page_->m_pResultList->SetCheckboxes(locked ? kCheckFixed : kCheckShown);
  if (auto* button = dynamic_cast<CImageButton*>(page_->GetDlgItem(IDC_DOWNLOAD))) {
    button->SetCaptionW(LoadStringW(locked ? IDS_STOP_DOWNLOAD : IDS_START_DOWNLOAD).toStdWString());
  }
}

void CSearchRecDlg::DownloadPage::RunProgressTimer(bool on) {
  if (on) {
    page_->SetTimer(kDownloadTimer, 1000);
  } else {
    page_->KillTimer(kDownloadTimer);
  }
}

bool CSearchRecDlg::DownloadPage::PlaysRelayFile(const std::string& name) const {
  for (int p = 0; p < kPlayers; ++p) {
    std::shared_ptr<MorvikEngine> engine;
    {
      std::lock_guard<std::mutex> lock(page_->m_csFeed);
      if (page_->m_szReplayFile[p] != name) continue;
      engine = page_->EngineOf(p);
    }
    if (engine && engine->IsPlaying()) return true;
  }
  return false;
}

bool CSearchRecDlg::DownloadPage::MakeSaveFolder(const std::string& folder) { return CreateSaveFolder(folder); }

// --- the relay library's calls ---

namespace {

struct RelayPrefix {
  LONG login = -1;
  std::string key;
  LONG stream = 0;
  LONG channel = 0;
};

RelayPrefix PrefixOf(const RelayDevice& dev, const CSearchRecDlg::RelayLoginFinder& findLogin) {
  RelayPrefix prefix;
  prefix.login = findLogin ? findLogin(dev.IPAddr, dev.MACAddr) : -1;
  prefix.key = FormatDeviceKey(FixedText(dev.MACAddr).c_str(), FixedText(dev.IPAddr).c_str());
  prefix.stream = dev.nStream;
  if (dev.nType == kRelayKindVideoServer) {
    const size_t length = strnlen(dev.DevName, sizeof(dev.DevName));
    const char last = length ? dev.DevName[length - 1] : '\0';
    prefix.channel = last >= '0' && last <= '9' ? last - '0' : 0;
  }
  return prefix;
}

}  // namespace

LONG CSearchRecDlg::RelayDownloads::Start(const std::string& peerPath) {
  const RelayPrefix prefix = PrefixOf(page_->m_vssDevice, page_->m_findRelayLogin);
  return Pelk_InviteDloadStart(prefix.login, prefix.key.c_str(), prefix.stream, prefix.channel, 1, peerPath.c_str());
}

void CSearchRecDlg::RelayDownloads::Stop(const std::string& peerPath) {
  const RelayPrefix prefix = PrefixOf(page_->m_vssDevice, page_->m_findRelayLogin);
  Pelk_InviteDloadStop(prefix.login, prefix.key.c_str(), prefix.stream, prefix.channel, peerPath.c_str());
}

// --- the page's entry points ---

void CSearchRecDlg::InitDownloads() {
  m_downloadPage = std::make_unique<DownloadPage>(this);
  m_relayDownloads = std::make_unique<RelayDownloads>(this);
  CDownloadBatch::Texts texts;
  texts.downloading = LoadStringA(IDS_DOWNLOADING);
  texts.complete = LoadStringA(IDS_DOWNLOAD_COMPLETE);
  texts.failed = LoadStringA(IDS_DOWNLOAD_FAILED);
  texts.stopped = LoadStringA(IDS_STOP_DOWNLOAD);
  m_download = std::make_unique<CDownloadBatch>(m_downloadPage.get(), std::move(texts));
}

BOOL CSearchRecDlg::IsDownloading() const { return m_download && m_download->IsDownloading(); }

void CSearchRecDlg::OnBnClickedDownload() {
  if (m_download->IsDownloading()) {
    m_download->OnButton(CDownloadBatch::Source{});  // the running batch stops with its own source
    return;
  }
  CDownloadBatch::Source source;
  source.saveFolder = m_strSaveFolder;
  if (m_bVssDevice) {
    source.relay = m_pRelayDownloadsOverride ? m_pRelayDownloadsOverride : m_relayDownloads.get();
  } else {
    // The control and id of the page's copy of the device; kept while the batch runs.
    m_nvrDownloads = std::make_unique<GimbroDownloads>(m_devInfo.pGimbroCtrl, m_devInfo.GimbroId);
    source.nvr = m_nvrDownloads.get();
  }
  m_download->OnButton(source);
}

void CSearchRecDlg::OnDownloadTimer() { m_download->OnProgressTimer(); }

LRESULT CSearchRecDlg::OnFileTransferEvent(LONG gimbroId, LONG transfer) {
  WriteLog(6, "CSearchRecDlg: receive download failed event. GimbroId=%ld", static_cast<long>(gimbroId));
  if (gimbroId != m_devInfo.GimbroId || !m_download->IsDownloading()) return 0;
  m_download->OnTransferFailed(transfer);
  return 0;
}

void CSearchRecDlg::OnDownloadData(const BYTE* data, long length, uint64_t received, uint64_t total,
                                   const char* name) {
  if (!name || length < 0 || (length > 0 && !data)) return;
  // The file and the list belong to the page's thread: the piece is copied and
  // taken there, in the order the pieces came. A page closed meanwhile drops it.
  std::string piece(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
  std::string file(name);
  QPointer<CSearchRecDlg> self(this);
  QueueCall(
      this,
      [self, piece = std::move(piece), file = std::move(file), received, total] {
        if (self && self->m_download) {
          self->m_download->TakeRelayData(file, reinterpret_cast<const BYTE*>(piece.data()), piece.size(), received,
                                          total);
        }
      });
}

void CSearchRecDlg::OnDownloadFinish(const char* name) {
  if (!name) return;
  // Behind every piece handed over before it.
  QPointer<CSearchRecDlg> self(this);
  QueueCall(
      this,
      [self, file = std::string(name)] {
        if (self && self->m_download) self->m_download->TakeRelayFinish(file);
      });
}
