// CDlgCopyTo: the modal window in which the user ticks the channels (or alarm
// inputs) that the settings of the one shown are to be copied to.
//
// It only reports the ticks: on OK flag i of the caller's array of 16 is the
// state of box i + 1. The caller clears the array before the run and copies
// (copy_to_rule.h) only when the run returned IDOK.
#pragma once

#include <cstdint>

#include "harlen/link/controls/rgb_dialog.h"

class CDlgCopyTo : public CRgbDialog {
 public:
  enum { IDD = 104 };
  enum { IDC_CHECK_ALL = 1053 };
  static constexpr int kBoxes = 16;
  // The box ids, box "1" first.
  static const int kBoxIds[kBoxes];

  explicit CDlgCopyTo(QWidget* parent = nullptr) : CRgbDialog(IDD, parent) {}

  void SetResult(int32_t* flags) { m_pResult = flags; }
  // How many boxes are shown (16 unless lowered before the run).
  void SetVisibleCount(int count) { m_nVisible = count; }

  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  void OnCheckAll();

  int32_t* m_pResult = nullptr;
  int m_nVisible = kBoxes;
};
