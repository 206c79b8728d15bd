#include <gtest/gtest.h>

#include <cstring>

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <cstdio>
#include <string>
#include <vector>

#include "core/dev_info_store.h"
#include "live/live_messages.h"
#include "pelk/pelk_engine.h"
#include "platform/post_message.h"
#include "platform/wnd.h"
#include "relay/relay_message_handler.h"
#include "relay/relay_messages.h"

namespace {

class RelayMessageHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_.swap(g_lstDevInfo);
    AddDevice("A", 7);
    AddDevice("B", 7);
    AddDevice("C", 8);
    host_.UpdateDevItem = [this](const char* name) { updated_.push_back(name); };
    host_.devices.UpdateDevIcons = [this] { ++iconUpdates_; };
    host_.StopStartThread = [this] { ++startThreadStops_; };
  }
  void TearDown() override { g_lstDevInfo.swap(saved_); }

  static void AddDevice(const char* name, int gimbroId) {
    DevInfo& dev = g_lstDevInfo.emplace_back();
    std::snprintf(dev.DevName, sizeof dev.DevName, "%s", name);
    dev.GimbroId = gimbroId;
    dev.DevType = 1;  // cameras: each reports its own status
  }
  static std::vector<int> Online() {
    std::vector<int> online;
    for (const DevInfo& dev : g_lstDevInfo) online.push_back(dev.nOnline);
    return online;
  }

  std::list<DevInfo> saved_;
  RelayHost host_;
  std::vector<std::string> updated_;
  int startThreadStops_ = 0;
  int iconUpdates_ = 0;
};

// A main window that hands its messages to the handler.
class HostWindow : public QWidget, public CWnd {
 public:
  explicit HostWindow(CRelayMessageHandler& handler) : CWnd(this), handler_(handler) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (handler_.HandleMessage(msg, wParam, lParam, &result)) ++handled;
    return result;
  }
  int handled = 0;

 private:
  CRelayMessageHandler& handler_;
};

int g_released = 0;
void CountRelease(LPARAM p) {
  ++g_released;
  delete[] reinterpret_cast<char*>(p);
}

}  // namespace

TEST_F(RelayMessageHandlerTest, DeviceStatusSetsOnlineOfEveryCameraWithTheIdAndRefreshesTheIcons) {
  const struct {
    LONG code;
    int before;
    int after;
  } cases[] = {{4, 0, 1}, {2, 1, 0}, {3, 1, 0}, {5, 1, 0}};
  for (const auto& c : cases) {
    for (DevInfo& dev : g_lstDevInfo) dev.nOnline = c.before;
    iconUpdates_ = 0;
    CRelayMessageHandler handler(host_);
    EXPECT_TRUE(handler.HandleMessage(WM_DEVSTATUSRESPONSE, 7, c.code));
    EXPECT_EQ(Online(), (std::vector<int>{c.after, c.after, c.before})) << c.code;
    EXPECT_EQ(iconUpdates_, 2) << c.code;
  }
}

TEST_F(RelayMessageHandlerTest, OtherStatusCodesAndUnknownIdsChangeNothing) {
  CRelayMessageHandler handler(host_);
  EXPECT_TRUE(handler.HandleMessage(WM_DEVSTATUSRESPONSE, 7, 26));
  EXPECT_TRUE(handler.HandleMessage(WM_DEVSTATUSRESPONSE, 9, 4));
  EXPECT_TRUE(handler.HandleMessage(WM_DEVSTATUSRESPONSE, 0, 4));
  EXPECT_EQ(Online(), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(iconUpdates_, 0);
}

TEST_F(RelayMessageHandlerTest, StartThreadDoneStopsTheStartThread) {
  CRelayMessageHandler handler(host_);
  EXPECT_TRUE(handler.HandleMessage(WM_STARTTHREAD_DONE, 0, 0));
  EXPECT_EQ(startThreadStops_, 1);
}

// Every record the library hands over comes back to it, whatever the handler
// makes of it (zeroed records: no device, no list, no text).
TEST_F(RelayMessageHandlerTest, EveryRelayLibraryRecordIsGivenBack) {
  CRelayMessageHandler handler(host_);
  pelk::RecordStore& records = pelk::Engine::Default().Records();
  const size_t before = records.Outstanding();
  const UINT withoutRecord[] = {WM_RELAY_SERVER_CLOSED, WM_RELAY_CHECK_USER, WM_RELAY_GET_DEVICE_LIST,
                                WM_RELAY_DEVICE_LIST_CHANGED};
  int relayMessages = 0;
  for (UINT msg = WM_RELAY_FIRST; msg <= WM_RELAY_LAST; ++msg) {
    const bool none = std::find(std::begin(withoutRecord), std::end(withoutRecord), msg) != std::end(withoutRecord);
    // The largest record: every handler finds its own layout inside it, zeroed.
    void* record = none ? nullptr : records.NewRecord<RelayPresetListAnswer>();
    void* second = msg == WM_RELAY_ALARM ? records.NewRecord<RelayAlarmRecord>() : nullptr;
    const WPARAM wParam = msg == WM_RELAY_CHECK_USER ? reinterpret_cast<WPARAM>("") : reinterpret_cast<WPARAM>(record);
    LRESULT result = 0;
    if (handler.HandleMessage(msg, wParam, reinterpret_cast<LPARAM>(second), &result)) {
      ++relayMessages;
    } else {  // a number between the library's messages: not the handler's
      records.Delete(record, PELK_DELETE_RECORD);
    }
    if (msg == WM_RELAY_CHECK_USER) {
      EXPECT_EQ(result, 1);  // no user, no proof: refused
    }
    EXPECT_EQ(records.Outstanding(), before) << msg;
  }
  EXPECT_EQ(relayMessages, 34);  // the library's named messages
  EXPECT_FALSE(handler.HandleMessage(WM_RELAY_SERVER_CLOSED + 1, 0, 0));
  EXPECT_FALSE(handler.HandleMessage(WM_USER + 1, 0, 0));
}

// A peer's alarm reaches the alarm panel's hook with its key ended by its zero
// (a peer may fill the key field to the brim) and its nine words.
TEST_F(RelayMessageHandlerTest, APeersAlarmGoesToTheAlarmPanel) {
  std::vector<std::string> keys;
  std::vector<LONG> types;
  host_.AddRemoteAlarm = [&](const char* key, const RelayAlarmRecord* alarm) {
    keys.push_back(key);
    types.push_back(alarm->nType);
  };
  CRelayMessageHandler handler(host_);
  pelk::RecordStore& records = pelk::Engine::Default().Records();
  const size_t before = records.Outstanding();
  auto* key = records.NewRecord<RelayAlarmKeyRecord>();
  std::memset(key->szDevKey, 'k', sizeof key->szDevKey);
  key->szDevKey[3] = ':';
  auto* alarm = records.NewRecord<RelayAlarmRecord>();
  alarm->nType = 14;
  EXPECT_TRUE(handler.HandleMessage(WM_RELAY_ALARM, reinterpret_cast<WPARAM>(key), reinterpret_cast<LPARAM>(alarm)));
  EXPECT_EQ(keys, (std::vector<std::string>{"kkk:" + std::string(PELK_KEY_SIZE - 4, 'k')}));
  EXPECT_EQ(types, (std::vector<LONG>{14}));
  EXPECT_EQ(records.Outstanding(), before);
}

TEST_F(RelayMessageHandlerTest, EveryPostedTextIsFreedOnce) {
  CRelayMessageHandler handler(host_);
  HostWindow window(handler);
  g_released = 0;
  const UINT messages[] = {WM_DEVCHANNELSCHANGED,   WM_DEVSTATEREPORT,
                           WM_SESSION_REPLAY_END,   WM_SESSION_DOWNLOAD_END,
                           WM_SESSION_REPLAY_BY_DATE_END, WM_UDP_LOGIN_STATUS,
                           WM_UDP_DEVICE_LIST};
  for (UINT msg : messages) {
    ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), msg, 7, reinterpret_cast<LPARAM>(new char[16]{}), CountRelease));
  }
  QCoreApplication::processEvents();
  // The UDP login's two messages are the main window's: the handler leaves
  // them, and their texts are freed with the messages all the same.
  EXPECT_EQ(window.handled, 5);
  EXPECT_EQ(g_released, 7);
  EXPECT_FALSE(handler.HandleMessage(WM_UDP_LOGIN_STATUS, 6, 0));
  EXPECT_FALSE(handler.HandleMessage(WM_UDP_DEVICE_LIST, 2, 0));
}
