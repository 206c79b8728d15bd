// The three linkage windows "联动设置": what an alarm sets off.
//
//   CDlgLinkSet       (117) an alarm input: six actions, record channels, PTZ linkage
//   CDlgMoveLinkSet   (123) a channel's motion detection: six actions, record channels
//   CDlgVideoLinkSet  (124) a channel's video loss or occlusion: six actions
//
// Each is given the caller's record before it runs, shows it, and writes the
// controls back into it only on OK (a null record: nothing is shown or
// written). The record channels are stored as all sixteen boxes shown, with
// the channel count set to 16.
#pragma once

#include <array>
#include <cstdint>

#include "harlen/link/controls/rgb_dialog.h"
#include "harlen/link/sections/alarm_linkage.h"

// The ids of one window's controls.
struct LinkSetIds {
  std::array<int, 6> actions;  // VoiceAlarm, MonitorAlarm, Email, SMS, NotifyCenter, TriggerIO
  std::array<int, 4> outputs;  // the four hidden output buttons
  bool channels;               // has the record-channel boxes 1011 to 1026 and "全" 1032
};

// The fields a linkage window edits, wherever the record keeps them.
struct LinkageFields {
  AlarmTriggers* trigger;
  uint8_t* chnNum;
  char (*chnArray)[17];
};

class CLinkSetBase : public CRgbDialog {
 public:
  enum { IDC_CHANNEL_FIRST = 1011, IDC_CHECK_ALL = 1032 };

  BOOL OnInitDialog() override;
  void OnOK() override;

 protected:
  CLinkSetBase(UINT idd, const LinkSetIds& ids, QWidget* parent) : CRgbDialog(idd, parent), m_ids(ids) {}

  virtual bool HasRecord() const = 0;
  virtual LinkageFields Fields() = 0;
  virtual void ShowMore() {}
  virtual void StoreMore() {}

 private:
  void OnCheckAll();

  LinkSetIds m_ids;
};

class CDlgLinkSet : public CLinkSetBase {
 public:
  enum { IDD = 117 };
  enum { IDC_PTZ_CHANNEL = 1110, IDC_PTZ_ACTION = 1111, IDC_PTZ_NUMBER = 1112 };

  explicit CDlgLinkSet(QWidget* parent = nullptr);
  void SetRecord(AlarmPortEntry* record) { m_pRecord = record; }

  BOOL OnInitDialog() override;

 protected:
  bool HasRecord() const override { return m_pRecord != nullptr; }
  LinkageFields Fields() override;
  void ShowMore() override;
  void StoreMore() override;

 private:
  AlarmPortEntry* m_pRecord = nullptr;
};

// A camera alarm's linkage window: 123 with the record channels (motion
// detection), 124 without (video loss, occlusion).
class CChannelLinkSet : public CLinkSetBase {
 public:
  void SetRecord(AlarmChannelEntry* record) { m_pRecord = record; }

 protected:
  CChannelLinkSet(UINT idd, bool channels, QWidget* parent);
  bool HasRecord() const override { return m_pRecord != nullptr; }
  LinkageFields Fields() override;

 private:
  AlarmChannelEntry* m_pRecord = nullptr;
};

class CDlgMoveLinkSet : public CChannelLinkSet {
 public:
  enum { IDD = 123 };
  explicit CDlgMoveLinkSet(QWidget* parent = nullptr) : CChannelLinkSet(IDD, true, parent) {}
};

class CDlgVideoLinkSet : public CChannelLinkSet {
 public:
  enum { IDD = 124 };
  explicit CDlgVideoLinkSet(QWidget* parent = nullptr) : CChannelLinkSet(IDD, false, parent) {}
};
