// The record search page with an NVR: the fake device plays an NVR whose
// recordings are record files of the client's own recorder (NvrRecordTree),
// registered with a device-messaging control whose events reach the page as
// they do in the program (answers posted to the page, replay media handed to
// its players). Two channels of the NVR are in the device list.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QWidget>
#include <list>
#include <memory>
#include <string>

#include "core/dev_info.h"
#include "fake_device_process.h"
#include "gimbro/gimbro.h"
#include "h264_clip.h"
#include "live/streams/gimbro_events.h"
#include "records/search/nvr_record_tree.h"
#include "records/search/rec_tree.h"
#include "records/search/search_rec_dlg.h"

struct RecSchemeInfo;

class NvrPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;
  // How the fake device is started: playing an NVR with the tree's files.
  virtual QStringList DeviceArguments() const;

  // A file of the clip on the NVR; its device path.
  std::string Record(int channel, const char* kind, int hour, int minute, int second, int seconds = 4,
                     bool withAudio = false);
  void Click(int id);
  void SetCombo(int id, int index);
  void SetSpan(int day);  // 2024-01-<day>, the whole day
  // The page's message box text (and closes it); "" when none shows.
  std::string Message();
  std::string Status();
  // Chooses the channel and runs the query with the front-end source and a
  // media choice (0 video, 1 audio and video) over 2024-01-05 and the days
  // after it up to `lastDay`; waits for the answer.
  bool SearchNvr(DevInfo* channel, int media = 0, int lastDay = 5);
  // The fake device's last request body of a code ("AUX <code> ...").
  std::string TakeRequest(int code);

  static TempFolder* clipFolder_;
  static H264Clip* clip_;
  NvrRecordTree tree_;
  RecTree storage_;  // the page's save folder lies in it
  std::unique_ptr<FakeDeviceProcess> device_;
  std::unique_ptr<CGimbroCtrl> ctrl_;
  CGimbroEvents events_;
  std::list<RecSchemeInfo*> savedSchemes_;
  QWidget main_;
  CSearchRecDlg* page_ = nullptr;  // owned by main_
  DevInfo* ch1_ = nullptr;
  DevInfo* ch2_ = nullptr;
  LONG id_ = 0;
};
