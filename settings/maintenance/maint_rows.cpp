#include "settings/maintenance/maint_rows.h"

#include <algorithm>

namespace maint {

Status RunningStatus(Transfer t) {
  switch (t) {
    case Transfer::kFirmware: return Status::kFirmwareUploading;
    case Transfer::kConfigUpload: return Status::kConfigUploading;
    case Transfer::kConfigDownload: return Status::kConfigDownloading;
  }
  return Status::kNone;
}

Status FinishedStatus(Transfer t) {
  switch (t) {
    case Transfer::kFirmware: return Status::kUpgrading;
    case Transfer::kConfigUpload: return Status::kConfigUploadSuccess;
    case Transfer::kConfigDownload: return Status::kConfigDownloadSuccess;
  }
  return Status::kNone;
}

Status FailedStatus(Transfer t) {
  switch (t) {
    case Transfer::kFirmware: return Status::kUploadFailed;
    case Transfer::kConfigUpload: return Status::kConfigUploadFailed;
    case Transfer::kConfigDownload: return Status::kConfigDownloadFailed;
  }
  return Status::kNone;
}

namespace {

void End(Row& row, Status status) {
  row.status = status;
  row.percent = -1;
  row.quietTicks = 0;
}

}  // namespace

bool TakeProgress(Row& row, Transfer t, LONG progress) {
  if (progress == 100) {
    End(row, FinishedStatus(t));
    return false;
  }
  if (progress == -1) {
    End(row, FailedStatus(t));
    return false;
  }
  if (progress >= 0 && progress <= 99 && progress > row.percent) {
    row.percent = static_cast<int>(progress);
    row.quietTicks = 0;
    return true;
  }
  if (++row.quietTicks >= kStallTicks) {
    End(row, FailedStatus(t));
    return false;
  }
  return true;
}

bool StillRunning(const std::vector<Row>& rows, Transfer t) {
  return std::any_of(rows.begin(), rows.end(), [t](const Row& row) {
    return row.status == RunningStatus(t) || (t == Transfer::kFirmware && row.status == Status::kUpgrading);
  });
}

}  // namespace maint
