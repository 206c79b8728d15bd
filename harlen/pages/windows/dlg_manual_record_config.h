// CDlgManualRecordConfig: the window "手动录像": for each of the sixteen
// channels, whether recording is off, manual, by the record schedule or by
// alarm linkage. It has an NVR link of its own, made every time the window is
// shown: it asks for the record-driven section, shows it, and sends the
// edited list back on OK.
//
// Off is sent as mode 0 (the section's "no recording"), so that the choice
// reaches the NVR; a reply clears every box before showing the list. Replies
// come on the link's thread and are handed to the window's thread, as the
// main window does; a link that was dropped delivers nothing more.
#pragma once

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/main/window_link.h"
#include "harlen/link/sections/channel_cfg.h"

struct NvrReply;

class CDlgManualRecordConfig : public CRgbDialog {
 public:
  enum { IDD = 120 };
  // The rows of the grid, in the order of their boxes' ids.
  enum Row { kOff = 0, kManual = 1, kSchedule = 2, kAlarm = 3 };
  static constexpr int kRows = 4;
  static constexpr int kChannels = 16;
  // The "全" box of each row.
  static const int kAllIds[kRows];

  explicit CDlgManualRecordConfig(QWidget* parent = nullptr);
  ~CDlgManualRecordConfig() override;

  // The box of `row` for channel `channel` (0 to 15).
  static int BoxId(int row, int channel);

  // Connects to the NVR of the library's settings and asks for the section,
  // every time the window is shown.
  void ConnectNvr();

  BOOL OnInitDialog() override;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void OnOK() override;
  void OnCancel() override;

  const RecordDrivenList& List() const { return m_list; }
  CNVRMCInf* GetLink() const { return m_link.Get(); }

 private:
  void HandleReply(const NvrReply& reply);
  void ShowList();
  void OnChannel(int row, int channel);
  void OnAll(int row);

  WindowLink m_link{this};
  RecordDrivenList m_list = {};
};
