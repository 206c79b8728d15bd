#include "records/search/downloads/download_batch.h"

#include <chrono>

#include "core/client_log.h"
#include "gimbro/gimbro.h"
#include "platform/file_api.h"
#include "records/search/downloads/download_files.h"

namespace {

uint64_t SteadyMs() {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::string Cut(std::string text, size_t max) {
  if (text.size() > max) text.resize(max);
  return text;
}

}  // namespace

LONG GimbroDownloads::Start(const std::string& remotePath, const std::string& localPath) {
  return ctrl_ ? ctrl_->DownloadFile(id_, 0, remotePath.c_str(), localPath.c_str()) : GIMBRO_ERR_UNKNOWN_DEVICE;
}

LONG GimbroDownloads::Progress() { return ctrl_ ? ctrl_->GetDownloadProgress(id_) : -1; }

void GimbroDownloads::Stop() {
  if (ctrl_) ctrl_->StopDownload(id_);
}

LONG GimbroDownloads::Transfer() { return ctrl_ ? ctrl_->GetDownloadTransfer(id_) : 0; }

std::string CDownloadBatch::CompleteText(const std::string& complete, const std::string& keptAs) {
  return keptAs.empty() ? complete : complete + " (" + keptAs + ")";
}

CDownloadBatch::CDownloadBatch(IDownloadPage* page, Texts texts, std::function<uint64_t()> nowMs)
    : page_(page), texts_(std::move(texts)), nowMs_(nowMs ? std::move(nowMs) : SteadyMs) {}

CDownloadBatch::~CDownloadBatch() { CloseRelayFile(); }

void CDownloadBatch::Lock() {
  downloading_ = true;
  page_->LockForm(true);
}

void CDownloadBatch::Unlock() {
  downloading_ = false;
  page_->LockForm(false);
}

int CDownloadBatch::NextRow() const {
  for (int row = row_ + 1; row < page_->RowCount(); ++row) {
    if (page_->IsRowChecked(row)) return row;
  }
  return -1;
}

void CDownloadBatch::CloseRelayFile() {
  if (relayFile_) std::fclose(relayFile_);
  relayFile_ = nullptr;
  relayPath_.clear();
}

void CDownloadBatch::OnButton(const Source& source) {
  if (downloading_) {
    // Stop: the row in transfer says so; a relay ".tmp" stays as written.
    if (source_.relay) {
      Unlock();
      page_->SetRowStatus(row_, texts_.stopped);
      source_.relay->Stop(file_);
      CloseRelayFile();
    } else {
      downloading_ = false;
      page_->RunProgressTimer(false);
      if (source_.nvr) source_.nvr->Stop();
      Unlock();
      page_->SetRowStatus(row_, texts_.stopped);
    }
    return;
  }
  source_ = source;
  fails_ = 0;
  if (source_.relay) {
    // The first checked row that no player plays is asked for, once.
    for (int row = 0; row < page_->RowCount(); ++row) {
      if (!page_->IsRowChecked(row)) continue;
      const std::string name = Cut(page_->RowFile(row), kRelayNameMax);
      if (page_->PlaysRelayFile(name)) continue;
      file_ = name;
      CloseRelayFile();
      relayLost_ = false;
      if (source_.relay->Start(name) != 0) {
        Lock();
        row_ = row;
        page_->MakeSaveFolder(source_.saveFolder);
      }
      break;
    }
    return;
  }
  for (int row = 0; row < page_->RowCount(); ++row) {
    if (!page_->IsRowChecked(row)) continue;
    LONG result = 0;
    const bool started = StartNvr(row, &result);
    if (started) {
      Lock();
      page_->RunProgressTimer(true);
      WriteLog(6, "Download success. RemoteFilePath = %s", Cut(page_->RowFile(row), kRemotePathMax).c_str());
    } else {
      WriteLog(6, "Download failed. GimbroId=%ld, ret=%d, RemoteFilePath = %s",
               static_cast<long>(source_.nvr ? source_.nvr->DeviceId() : 0), static_cast<int>(result),
               Cut(page_->RowFile(row), kRemotePathMax).c_str());
    }
    break;
  }
}

bool CDownloadBatch::StartNvr(int row, LONG* result) {
  const std::string remote = Cut(page_->RowFile(row), kRemotePathMax);
  const std::string own = downloads::NvrLocalPath(source_.saveFolder, remote);
  const std::string local = downloads::NvrSavePath(source_.saveFolder, remote);
  if (local != own) {
    WriteLog(6, local.empty() ? "CSearchRecDlg: every name for %s is taken in %s." : "CSearchRecDlg: %s is kept as %s.",
             remote.c_str(), local.empty() ? source_.saveFolder.c_str() : local.c_str());
  }
  *result = source_.nvr ? source_.nvr->Start(remote, local) : GIMBRO_ERR_UNKNOWN_DEVICE;
  row_ = row;
  keptAs_ = local != own ? downloads::BaseName(local) : std::string();
  transfer_ = *result == 0 && source_.nvr ? source_.nvr->Transfer() : -1;
  return *result == 0;
}

void CDownloadBatch::NextNvrRow(After after) {
  const int next = NextRow();
  if (next < 0) {
    page_->RunProgressTimer(false);
    Unlock();
    return;
  }
  LONG result = 0;
  const bool started = StartNvr(next, &result);
  const std::string remote = Cut(page_->RowFile(next), kRemotePathMax);
  if (after == After::kTimeout) {
    WriteLog(6, "Download file, ret=%d. RemoteFilePath = %s", static_cast<int>(result), remote.c_str());
  } else if (started) {
    WriteLog(6, "Download success. RemoteFilePath = %s", remote.c_str());
  } else {
    WriteLog(6, "Download failed. RemoteFilePath = %s", remote.c_str());
  }
  // A start that failed is not retried: the polls find no progress and the
  // time-out moves on.
}

void CDownloadBatch::OnProgressTimer() {
  if (!downloading_ || source_.relay || !source_.nvr) return;
  const LONG progress = source_.nvr->Progress();
  if (progress < 1) {
    if (++fails_ <= kMaxProgressFails) return;
    fails_ = 0;
    WriteLog(6, "CSearchRecDlg: get download progress error more than 10 sec.");
    source_.nvr->Stop();
    page_->SetRowStatus(row_, texts_.failed);
    NextNvrRow(After::kTimeout);
    return;
  }
  fails_ = 0;
  if (progress < 100) {
    page_->SetRowStatus(row_, downloads::ProgressText(texts_.downloading, static_cast<int>(progress)));
    return;
  }
  source_.nvr->Stop();
  page_->SetRowStatus(row_, CompleteText(texts_.complete, keptAs_));
  NextNvrRow(After::kCompletion);
}

void CDownloadBatch::OnTransferFailed(LONG transfer) {
  if (!downloading_ || source_.relay || !source_.nvr) return;
  if (transfer != transfer_) {
    WriteLog(6, "CSearchRecDlg: the failed download %ld is not the one under way (%ld); the row goes on.",
             static_cast<long>(transfer), static_cast<long>(transfer_));
    return;
  }
  source_.nvr->Stop();
  page_->SetRowStatus(row_, texts_.failed);
  fails_ = 0;
  NextNvrRow(After::kFailure);
}

void CDownloadBatch::TakeRelayData(const std::string& name, const BYTE* data, size_t length, uint64_t received,
                                   uint64_t total) {
  if (!downloading_ || !source_.relay || name != file_) return;
  if (!relayFile_) {
    const std::string path = downloads::RelayTmpPath(source_.saveFolder, name);
    relayFile_ = fileapi::Open(path, "w+b");
    if (!relayFile_) {
      relayLost_ = true;  // this piece is lost; the next one tries again
      return;
    }
    relayPath_ = path;
  }
  // Each piece goes to the file at once: what arrived is on disk, also after a stop.
  if (length && (std::fwrite(data, 1, length, relayFile_) != length || std::fflush(relayFile_) != 0)) {
    relayLost_ = true;
    WriteLog(6, "CSearchRecDlg: download file write failed. File = %s", relayPath_.c_str());
  }
  const uint64_t now = nowMs_();
  if (now - lastProgressMs_ > kRelayProgressMs) {
    lastProgressMs_ = now;
    page_->SetRowStatus(row_, downloads::ProgressText(texts_.downloading, downloads::Percent(received, total)));
  }
}

void CDownloadBatch::TakeRelayFinish(const std::string& name) {
  // A completion that comes after the user stopped the batch starts nothing.
  if (!downloading_ || !source_.relay || name != file_) return;
  // A file that lost pieces is no recording: it is not kept under the ".avi"
  // name, and the row says it failed.
  bool kept = !relayLost_ && (!relayFile_ || std::fflush(relayFile_) == 0);
  std::string keptAs;
  if (relayFile_) {
    const std::string path = relayPath_;
    CloseRelayFile();
    if (kept) {
      // A file of the same name stays; the download then takes a numbered name.
      const std::string saved = downloads::FinishRelayFile(path);
      const std::string own = path.substr(0, path.find_last_of('.')) + ".avi";
      kept = !saved.empty();
      if (!kept) WriteLog(6, "CSearchRecDlg: download file cannot be kept. File = %s", path.c_str());
      if (kept && saved != own) keptAs = downloads::BaseName(saved);
    } else {
      WriteLog(6, "CSearchRecDlg: download file write failed. File = %s", path.c_str());
      fileapi::Remove(path);
    }
  }
  page_->SetRowStatus(row_, kept ? CompleteText(texts_.complete, keptAs) : texts_.failed);
  const int next = NextRow();
  if (next < 0) {
    Unlock();
    return;
  }
  file_ = Cut(page_->RowFile(next), kRelayNameMax);
  relayLost_ = false;
  if (source_.relay->Start(file_) != 0) row_ = next;
}
