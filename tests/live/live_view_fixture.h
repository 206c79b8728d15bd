// Devices for the pane and grid tests: records of g_lstDevInfo with their two
// stream objects on one pull control, a host that records what the panes and
// grids ask of the main window, and the program folder in a temp folder.
#pragma once

#include <gtest/gtest.h>

#include <QWidget>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_host.h"
#include "platform/dialog_template.h"
#include "platform/paths.h"
#include "streva/streva_ctrl.h"

struct RecordingHost : IVideoHost {
  void SetActiveVideoManager(CVideoManagerDlg* grid) override { activeGrid = grid; }
  void SetToolButtonPicture(int buttonId, int pictureId, int) override { pictures[buttonId] = pictureId; }
  void UpdateDevIcons() override { ++iconUpdates; }
  std::string VideoFolder() override { return videoFolder; }
  long InvitePatrolRelayVideo(CVideoManagerDlg*, int pane, const std::string& key) override {
    relayInvites.push_back(std::to_string(pane) + ":" + key);
    return 0;
  }
  CVideoManagerDlg* activeGrid = nullptr;
  std::vector<std::string> relayInvites;  // "pane:key" of each patrol point asked of the relay
  std::map<int, int> pictures;
  int iconUpdates = 0;
  std::string videoFolder;
};

class LiveViewFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    // The program's code runs in a folder of its own; its templates, strings and pictures stay.
    dlgtemplate::SetFolder(dlgtemplate::Folder());
    paths::SetProgramFolder(folder_.Path());
    SetVideoHost(&host_);
    ctrl_ = std::make_unique<CStrevaCtrl>();
    window_.resize(800, 600);
    window_.show();
  }
  void TearDown() override {
    SetVideoHost(nullptr);
    for (auto& objects : objects_) {
      for (auto& events : objects) {
        events->StopAllThread();
        ctrl_->Unadvise(events.get());
      }
    }
    g_lstDevInfo.clear();
    objects_.clear();
    ctrl_.reset();
    paths::SetProgramFolder("");
    dlgtemplate::SetFolder("");
  }

  // A camera at 127.0.0.1:port (its streams "/mpeg4" and "/mpeg4cif"), put into g_lstDevInfo.
  DevInfo& AddCamera(const std::string& name, int port, const char* resolution = "") {
    DevInfo dev;
    std::snprintf(dev.DevName, sizeof(dev.DevName), "%s", name.c_str());
    std::snprintf(dev.DevId, sizeof(dev.DevId), "id-%s", name.c_str());
    std::snprintf(dev.IPAddr, sizeof(dev.IPAddr), "127.0.0.1");
    std::snprintf(dev.Resolution, 20, "%s", resolution);
    dev.VideoPort = port;
    dev.VisitMod = 0;
    dev.DevType = 1;
    dev.RtpOverRtsp = 1;
    dev.nOnline = 1;
    std::vector<std::unique_ptr<CRtspEvents>> objects;
    for (int i = 0; i < 2; ++i) {
      objects.push_back(std::make_unique<CRtspEvents>(nullptr, ctrl_.get()));
      ctrl_->Advise(objects.back().get());
    }
    dev.pRtspEvent1 = objects[0].get();
    dev.pRtspEvent2 = objects[1].get();
    objects_.push_back(std::move(objects));
    g_lstDevInfo.push_back(dev);
    return g_lstDevInfo.back();
  }

  TempFolder folder_;
  RecordingHost host_;
  std::unique_ptr<CStrevaCtrl> ctrl_;
  QWidget window_;
  std::vector<std::vector<std::unique_ptr<CRtspEvents>>> objects_;
};
