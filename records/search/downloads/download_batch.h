// The downloads of the record search page: the checked rows of its result
// list are fetched one after another into the device's save folder, from an
// NVR through the device-messaging control or from a relay peer through the
// relay library, with each row's progress and outcome in its "Download
// Status" column.
//
// An NVR download is followed by a poll every second: a progress of 100 ends
// it, and eleven polls in a row without progress (or the control's failure
// event for that transfer) fail it; either way the batch goes on with the next
// checked row. A failure event names its transfer: one that comes late, for a
// row already ended, never ends the row after it. An NVR file never replaces
// a file of the save folder: a taken name gets the file's day in front, or a
// number (downloads::NvrSavePath), and its row says so when it is complete. A
// relay download is driven by the library: its pieces are written into
// "<name>.tmp" and its completion renames that to "<name>.avi" (an existing
// ".avi" is kept, and the download takes "<name>_2.avi" ...), then the next
// row starts.
//
// A relay piece that cannot be written (the ".tmp" cannot be made, a full
// disk) is lost; the next piece tries again, and at the end the row says
// "Download failed" and no ".avi" is made of a file with a hole.
//
// Threads: the batch lives on the page's (UI) thread; every method is called
// there. The relay library's pieces arrive on its own thread: the page copies
// them and hands them over on the UI thread (TakeRelayData), so that the file
// and the list are never touched from two threads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "platform/win_types.h"

class CGimbroCtrl;

// What the batch needs of its page.
class IDownloadPage {
 public:
  virtual ~IDownloadPage() = default;
  virtual int RowCount() const = 0;
  virtual bool IsRowChecked(int row) const = 0;
  virtual std::string RowFile(int row) const = 0;                   // column 0
  virtual void SetRowStatus(int row, const std::string& text) = 0;  // column 2
  // Locked: query and page buttons disabled, check boxes shown but fixed, the
  // button reads "Stop Download"; unlocked: the opposite.
  virtual void LockForm(bool locked) = 0;
  // The 1000 ms progress poll of NVR downloads (OnProgressTimer).
  virtual void RunProgressTimer(bool on) = 0;
  // A player plays the peer file of this name.
  virtual bool PlaysRelayFile(const std::string& name) const = 0;
  virtual bool MakeSaveFolder(const std::string& folder) = 0;
};

// The device-messaging control's download calls for one device.
class INvrDownloads {
 public:
  virtual ~INvrDownloads() = default;
  virtual LONG Start(const std::string& remotePath, const std::string& localPath) = 0;  // 0 started
  virtual LONG Progress() = 0;                                                          // percent, < 1 none
  virtual void Stop() = 0;
  virtual LONG DeviceId() const = 0;  // for the log
  // The number of the download just started: its failure event names it.
  virtual LONG Transfer() = 0;
};

// The relay library's download calls for the page's relay channel.
class IRelayDownloads {
 public:
  virtual ~IRelayDownloads() = default;
  virtual LONG Start(const std::string& peerPath) = 0;  // non-zero: accepted
  virtual void Stop(const std::string& peerPath) = 0;
};

// An INvrDownloads of a device registered with a control.
class GimbroDownloads : public INvrDownloads {
 public:
  GimbroDownloads(CGimbroCtrl* ctrl, LONG gimbroId) : ctrl_(ctrl), id_(gimbroId) {}
  LONG Start(const std::string& remotePath, const std::string& localPath) override;
  LONG Progress() override;
  void Stop() override;
  LONG DeviceId() const override { return id_; }
  LONG Transfer() override;

 private:
  CGimbroCtrl* ctrl_;
  LONG id_;
};

class CDownloadBatch {
 public:
  struct Texts {
    std::string downloading;  // "Downloading..."
    std::string complete;     // "Download complete"
    std::string failed;       // "Download failed"
    std::string stopped;      // "Stop Download"
  };
  // The text of a complete row: "Download complete", and the name the file was
  // kept under when that is not its own ("Download complete (x.avi)").
  static std::string CompleteText(const std::string& complete, const std::string& keptAs);
  // Polls without progress that are waited out; the next one fails the download.
  static constexpr int kMaxProgressFails = 10;
  // Relay progress texts change at most this often.
  static constexpr uint64_t kRelayProgressMs = 800;
  static constexpr size_t kRelayNameMax = 259;
  static constexpr size_t kRemotePathMax = 1023;

  // nowMs: a millisecond clock (steady by default).
  CDownloadBatch(IDownloadPage* page, Texts texts, std::function<uint64_t()> nowMs = {});
  ~CDownloadBatch();  // closes a relay file being received
  CDownloadBatch(const CDownloadBatch&) = delete;
  CDownloadBatch& operator=(const CDownloadBatch&) = delete;

  // Where a batch fetches from, taken when it starts: an NVR, or (relay set)
  // a relay peer; not owned, and kept while the batch runs.
  struct Source {
    INvrDownloads* nvr = nullptr;
    IRelayDownloads* relay = nullptr;
    std::string saveFolder;  // ends in a backslash
  };
  // The download button: starts a batch when none runs, else stops it.
  void OnButton(const Source& source);
  // Timer: the NVR progress poll.
  void OnProgressTimer();
  // The control reported that the page device's download `transfer` failed;
  // only the row of that transfer ends.
  void OnTransferFailed(LONG transfer);
  // A piece of the relay file `name` (received and total in bytes so far).
  void TakeRelayData(const std::string& name, const BYTE* data, size_t length, uint64_t received, uint64_t total);
  // The relay file `name` is complete.
  void TakeRelayFinish(const std::string& name);

  bool IsDownloading() const { return downloading_; }
  bool IsRelay() const { return source_.relay != nullptr; }
  int Row() const { return row_; }
  const std::string& RelayFile() const { return file_; }
  int ProgressFails() const { return fails_; }

 private:
  enum class After { kTimeout, kCompletion, kFailure };
  void Lock();
  void Unlock();
  int NextRow() const;
  bool StartNvr(int row, LONG* result);
  void NextNvrRow(After after);
  void CloseRelayFile();

  IDownloadPage* page_;
  Texts texts_;
  std::function<uint64_t()> nowMs_;
  Source source_;
  bool downloading_ = false;
  int row_ = -1;
  std::string file_;       // the relay file in transfer (column 0)
  FILE* relayFile_ = nullptr;
  std::string relayPath_;
  bool relayLost_ = false;  // a piece of this transfer could not be written: the file is not kept
  int fails_ = 0;
  uint64_t lastProgressMs_ = 0;
  LONG transfer_ = -1;     // the NVR download under way; -1 none
  std::string keptAs_;     // the name it goes under when that is not its own
};
