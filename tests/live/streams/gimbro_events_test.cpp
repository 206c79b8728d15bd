// The device-messaging sink: which event becomes which message for which window.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "core/app_data.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "live/streams/gimbro_events.h"
#include "live/live_messages.h"
#include "tests/live/message_window.h"

namespace {

enum Target { kMain, kMaint, kRecordSearch, kPtz };
enum Payload { kValue, kText, kMaintRecord, kAlarm };

struct Row {
  const char* name;
  std::function<void(CGimbroEvents&)> raise;
  Target target;
  UINT msg;
  WPARAM wParam;
  Payload payload;
  LPARAM lParam;  // kValue only
  const char* text;  // kText and kMaintRecord
};

constexpr LONG kId = 77;

class GimbroEventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<UINT> texts = {WM_DEVCHANNELSCHANGED, WM_DEVSTATEREPORT, WM_PTZ_RESPONSE,
                                     WM_REMOTE_RECFILE_RESPONSE, WM_NVR_RECDAY_RESPONSE};
    for (auto& w : windows_) {
      w = std::make_unique<MessageWindow>();
      w->textMessages = texts;
    }
    sink_.SetMainWindow(windows_[kMain]->GetSafeHwnd());
    sink_.SetMaintenancePage(windows_[kMaint]->GetSafeHwnd());
    sink_.SetRecordSearchPage(windows_[kRecordSearch]->GetSafeHwnd());
    sink_.SetPtzPanel(windows_[kPtz]->GetSafeHwnd());
    CsLock lock(&g_csAppData);
    saved_.swap(g_lstDevInfo);
    DevInfo dev;
    dev.GimbroId = kId;
    g_lstDevInfo.push_back(dev);
  }
  void TearDown() override {
    CsLock lock(&g_csAppData);
    saved_.swap(g_lstDevInfo);
  }

  std::unique_ptr<MessageWindow> windows_[4];
  CGimbroEvents sink_;
  std::list<DevInfo> saved_;
};

TEST_F(GimbroEventsTest, EachEventPostsItsMessageToItsWindow) {
  GimbroAlarmRecord alarm;
  alarm.year = 2026;
  alarm.type = 9;
  alarm.reserved[131] = 0x5A;
  const std::vector<Row> rows = {
      {"status 15", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 15, "x"); }, kMaint, WM_FILE_TRANSFER_EVENT, kId, kValue, 15, nullptr},
      {"status 17 maint", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 17, "12"); }, kMaint, WM_FILE_TRANSFER_EVENT, kId, kValue, 17, nullptr},
      // The record search page learns which transfer failed; a text that names
      // none gives 0.
      {"status 17 search", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 17, "12"); }, kRecordSearch, WM_FILE_TRANSFER_EVENT, kId, kValue, 12, nullptr},
      {"status 17 search unnamed", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 17, "12x"); }, kRecordSearch, WM_FILE_TRANSFER_EVENT, kId, kValue, 0, nullptr},
      {"status 26", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 26, "4"); }, kMain, WM_DEVCHANNELSCHANGED, kId, kText, 0, "4"},
      {"status 27", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 27, "0101"); }, kMain, WM_DEVSTATEREPORT, kId, kText, 0, "0101"},
      {"status other", [](CGimbroEvents& s) { s.DevStatusResponse(kId, 4, "online"); }, kMain, WM_DEVSTATUSRESPONSE, kId, kValue, 4, nullptr},
      {"ptz", [](CGimbroEvents& s) { s.PTZResponse(kId, GimbroPackResponse(1, 33), "ptz ok"); }, kPtz, WM_PTZ_RESPONSE, kId, kText, 0, "ptz ok"},
      {"aux 1021", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 1021), "files"); }, kRecordSearch, WM_REMOTE_RECFILE_RESPONSE, 0, kText, 0, "files"},
      {"aux 3001", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 3001), "days"); }, kRecordSearch, WM_NVR_RECDAY_RESPONSE, kId, kText, 0, "days"},
      {"aux 1012", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 1012), "v1.2"); }, kMaint, WM_MAINT_RESPONSE, 1012, kMaintRecord, 0, "v1.2"},
      {"aux 1014", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(2, 1014), "info"); }, kMaint, WM_MAINT_RESPONSE, 1014, kMaintRecord, 0, "info"},
      {"aux 1002", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 1002), ""); }, kMaint, WM_MAINT_RESPONSE, 1002, kValue, kId, nullptr},
      {"aux 1009 ok", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 1009), ""); }, kMaint, WM_MAINT_RESPONSE, 20001, kValue, kId, nullptr},
      {"aux 1009 failed", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(3, 1009), ""); }, kMaint, WM_MAINT_RESPONSE, 20002, kValue, kId, nullptr},
      {"aux 1017", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(5, 1017), ""); }, kMaint, WM_STORAGE_FORMAT_RESPONSE, 5, kValue, kId, nullptr},
      {"aux 1018", [](CGimbroEvents& s) { s.AUXResponse(kId, GimbroPackResponse(0, 1018), ""); }, kMaint, WM_STORAGE_UNMOUNT_RESPONSE, 0, kValue, kId, nullptr},
      {"alarm", [&](CGimbroEvents& s) { s.AlarmRecv(kId, &alarm); }, kMain, WM_DEVALARM, kId, kAlarm, 0, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (auto& w : windows_) w->received.clear();
    MessageWindow& target = *windows_[row.target];
    std::string recordText;
    LONG recordId = 0, recordWord = 0;
    GimbroAlarmRecord gotAlarm;
    target.inspect = [&](UINT msg, WPARAM wParam, LPARAM lParam) {
      if (msg == WM_MAINT_RESPONSE && (wParam == 1012 || wParam == 1014)) {
        const auto* record = reinterpret_cast<const MaintResponse*>(lParam);
        recordText = record->text;
        recordId = record->gimbroId;
        recordWord = record->response;
      }
      if (msg == WM_DEVALARM) gotAlarm = *reinterpret_cast<const GimbroAlarmRecord*>(lParam);
    };
    row.raise(sink_);
    DeliverPosted();
    target.inspect = nullptr;
    ASSERT_EQ(target.received.size(), 1u);
    const ReceivedMessage& got = target.received[0];
    EXPECT_EQ(got.msg, row.msg);
    EXPECT_EQ(got.wParam, row.wParam);
    if (row.payload == kValue) {
      EXPECT_EQ(got.lParam, row.lParam);
    }
    if (row.payload == kText) {
      EXPECT_EQ(got.text, row.text);
    }
    if (row.payload == kMaintRecord) {
      EXPECT_EQ(recordText, row.text);
      EXPECT_EQ(recordId, kId);
      EXPECT_EQ(GimbroResponseCode(recordWord), static_cast<LONG>(row.wParam));
    }
    if (row.payload == kAlarm) {
      EXPECT_EQ(std::memcmp(&gotAlarm, &alarm, sizeof(alarm)), 0);
    }
    size_t others = 0;
    for (int t = 0; t < 4; ++t) {
      if (t != row.target) others += windows_[t]->received.size();
    }
    // Status 17 goes to two windows; every other row to its one window.
    EXPECT_EQ(others, std::string(row.name).rfind("status 17", 0) == 0 ? 1u : 0u);
  }
  EXPECT_EQ(MaintResponse::LiveCount(), 0);
}

TEST_F(GimbroEventsTest, DroppedEventsPostNothing) {
  GimbroAlarmRecord alarm;
  sink_.AlarmRecv(kId + 1, &alarm);                                  // unknown device
  sink_.AUXResponse(kId, GimbroPackResponse(1, 1021), "x");          // failed answers
  sink_.AUXResponse(kId, GimbroPackResponse(1, 3001), "x");
  sink_.AUXResponse(kId, GimbroPackResponse(1, 1002), "x");          // failed restore
  sink_.AUXResponse(kId, GimbroPackResponse(0, 4444), "x");          // unknown code
  DeliverPosted();
  for (auto& w : windows_) EXPECT_TRUE(w->received.empty());
}

TEST_F(GimbroEventsTest, RecordSearchEventsBeforeThePageExistsAreDropped) {
  int calls = 0;
  sink_.SetReplayHandlers([&](LONG, const BYTE*, LONG, const BYTE*, uint32_t) { ++calls; },
                          [&](LONG, std::string, LONG) { ++calls; },
                          [&](LONG, LONG, LONG) { ++calls; });
  sink_.SetRecordSearchPage(nullptr);
  const BYTE data[4] = {1, 2, 3, 4};
  sink_.MediaDataRecv(kId, data, 4, data, GIMBRO_MEDIA_NVR_REPLAY);
  sink_.MediaParamRecv(kId, "p", GIMBRO_MEDIA_NVR_REPLAY);
  sink_.ReplayStatus(kId, 1, 2);
  sink_.AUXResponse(kId, GimbroPackResponse(0, 1021), "files");
  sink_.DevStatusResponse(kId, 17, "");
  DeliverPosted();
  EXPECT_EQ(calls, 0);
  EXPECT_TRUE(windows_[kRecordSearch]->received.empty());
  EXPECT_EQ(windows_[kMaint]->received.size(), 1u);  // status 17 still reaches maintenance
}

TEST_F(GimbroEventsTest, DirectCallsReachTheirHandlers) {
  std::vector<std::string> calls;
  sink_.SetTalkHandlers([&](LONG id, const BYTE*, LONG length, const BYTE*) {
                          calls.push_back("talkdata " + std::to_string(id) + " " + std::to_string(length));
                        },
                        [&](LONG id, std::string text) { calls.push_back("talkparam " + std::to_string(id) + " " + text); });
  sink_.SetReplayHandlers(
      [&](LONG id, const BYTE*, LONG length, const BYTE*, uint32_t word) {
        calls.push_back("replaydata " + std::to_string(id) + " " + std::to_string(length) + " " + std::to_string(word));
      },
      [&](LONG id, std::string text, LONG kind) {
        calls.push_back("replayparam " + std::to_string(id) + " " + text + " " + std::to_string(kind));
      },
      [&](LONG id, LONG state, LONG value) {
        calls.push_back("state " + std::to_string(id) + " " + std::to_string(state) + " " + std::to_string(value));
      });
  const BYTE data[3] = {9, 9, 9};
  const BYTE header[16] = {0x01, 0x02, 0, 0};
  sink_.MediaDataRecv(kId, data, 3, header, GIMBRO_MEDIA_TALK);
  sink_.MediaDataRecv(kId, data, 3, header, GIMBRO_MEDIA_NVR_REPLAY);
  sink_.MediaDataRecv(kId, data, 3, header, 9);  // other kinds: ignored
  sink_.MediaParamRecv(kId, "talk", GIMBRO_MEDIA_TALK);
  sink_.MediaParamRecv(kId, "nvr", GIMBRO_MEDIA_NVR_REPLAY);
  sink_.MediaParamRecv(kId, "ipc", 7);
  sink_.MediaParamRecv(kId, "", 7);  // empty: refused
  sink_.ReplayStatus(kId, 5, 6);
  const std::vector<std::string> expected = {
      "talkdata 77 3", "replaydata 77 3 513", "talkparam 77 talk", "replayparam 77 nvr 4",
      "replayparam 77 ipc 1", "state 77 5 6"};
  EXPECT_EQ(calls, expected);

  // Without a main window the talk handlers are not called.
  calls.clear();
  windows_[kMain].reset();
  sink_.MediaDataRecv(kId, data, 3, header, GIMBRO_MEDIA_TALK);
  sink_.MediaParamRecv(kId, "talk", GIMBRO_MEDIA_TALK);
  EXPECT_TRUE(calls.empty());
}

TEST_F(GimbroEventsTest, PayloadIsFreedWhenTheTargetWindowIsGone) {
  sink_.AUXResponse(kId, GimbroPackResponse(0, 1012), "posted, never delivered");
  EXPECT_EQ(MaintResponse::LiveCount(), 1);
  windows_[kMaint].reset();  // gone before delivery
  DeliverPosted();
  EXPECT_EQ(MaintResponse::LiveCount(), 0);
  sink_.AUXResponse(kId, GimbroPackResponse(0, 1014), "to a dead handle");
  EXPECT_EQ(MaintResponse::LiveCount(), 0);
  sink_.SetMaintenancePage(nullptr);
  sink_.AUXResponse(kId, GimbroPackResponse(0, 1014), "to no window");
  EXPECT_EQ(MaintResponse::LiveCount(), 0);
}

}  // namespace
