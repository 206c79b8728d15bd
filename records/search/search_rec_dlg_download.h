// The record search page's side of its downloads: the result list and form
// that the download batch works on, and the relay library's download calls
// for the page's relay channel. Included by the page's own files only.
#pragma once

#include <string>

#include "records/search/downloads/download_batch.h"
#include "records/search/search_rec_dlg.h"

class CSearchRecDlg::DownloadPage : public IDownloadPage {
 public:
  explicit DownloadPage(CSearchRecDlg* page) : page_(page) {}
  int RowCount() const override;
  bool IsRowChecked(int row) const override;
  std::string RowFile(int row) const override;
  void SetRowStatus(int row, const std::string& text) override;
  void LockForm(bool locked) override;
  void RunProgressTimer(bool on) override;
  bool PlaysRelayFile(const std::string& name) const override;
  bool MakeSaveFolder(const std::string& folder) override;

 private:
  CSearchRecDlg* page_;
};

// Each call carries the relay request prefix of the page's relay channel:
// the login of the server that lists it, its key, stream word and channel.
class CSearchRecDlg::RelayDownloads : public IRelayDownloads {
 public:
  explicit RelayDownloads(CSearchRecDlg* page) : page_(page) {}
  LONG Start(const std::string& peerPath) override;
  void Stop(const std::string& peerPath) override;

 private:
  CSearchRecDlg* page_;
};
