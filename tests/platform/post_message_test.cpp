#include <gtest/gtest.h>

#include <QThread>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/post_message.h"
#include "platform/window_registry.h"
#include "platform/wnd.h"
#include "tests/platform/event_wait.h"

namespace {

struct Received {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool onUiThread;
};

class RecordingWindow : public QWidget, public CWnd {
 public:
  RecordingWindow() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    bool ui = QThread::currentThread() == QCoreApplication::instance()->thread();
    received.push_back({msg, wParam, lParam, ui});
    if (msg == WM_USER + 2) texts.emplace_back(reinterpret_cast<const char*>(lParam));
    return static_cast<LRESULT>(wParam) * 2;
  }
  std::vector<Received> received;
  std::vector<std::string> texts;
};

std::atomic<int> g_released{0};
void CountRelease(LPARAM p) {
  ++g_released;
  delete reinterpret_cast<int*>(p);
}

}  // namespace

TEST(PostMessage, MessagesFromManyThreadsArriveOnTheUiThreadInOrderPerThread) {
  RecordingWindow window;
  HWND hwnd = window.GetSafeHwnd();
  constexpr int kThreads = 4, kPerThread = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([hwnd, t] {
      for (int i = 0; i < kPerThread; ++i) EXPECT_TRUE(PostMessage(hwnd, WM_USER + 1, t, i));
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(WaitUntil([&] { return window.received.size() == kThreads * kPerThread; }));
  std::vector<LPARAM> next(kThreads, 0);
  for (const Received& r : window.received) {
    EXPECT_TRUE(r.onUiThread);
    EXPECT_EQ(r.msg, WM_USER + 1u);
    EXPECT_EQ(r.lParam, next[r.wParam]++) << "out of order for thread " << r.wParam;
  }
}

TEST(PostMessage, OwnedBlockIsReleasedOnceAfterDelivery) {
  g_released = 0;
  RecordingWindow window;
  ASSERT_TRUE(PostMessage(window.GetSafeHwnd(), WM_USER + 3, 1, reinterpret_cast<LPARAM>(new int(7)),
                          CountRelease));
  EXPECT_EQ(g_released, 0);
  ASSERT_TRUE(WaitUntil([&] { return !window.received.empty(); }));
  EXPECT_EQ(g_released, 1);
  ASSERT_TRUE(PostText(window.GetSafeHwnd(), WM_USER + 2, 0, "设备 text"));
  ASSERT_TRUE(WaitUntil([&] { return window.texts.size() == 1; }));
  EXPECT_EQ(window.texts[0], "设备 text");
}

TEST(PostMessage, OwnedBlockToAWindowDestroyedBeforeDeliveryIsReleasedOnce) {
  g_released = 0;
  auto window = std::make_unique<RecordingWindow>();
  HWND hwnd = window->GetSafeHwnd();
  std::thread poster([hwnd] {
    for (int i = 0; i < 10; ++i) {
      PostMessage(hwnd, WM_USER + 3, 0, reinterpret_cast<LPARAM>(new int(i)), CountRelease);
    }
  });
  poster.join();
  window.reset();
  EXPECT_EQ(g_released, 10);
  RunEventsFor(20);
  EXPECT_EQ(g_released, 10);

  // The handle is stale now: the post fails and still frees the block.
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, WM_USER + 3, 0, reinterpret_cast<LPARAM>(new int(1)), CountRelease));
  EXPECT_EQ(g_released, 11);
  EXPECT_FALSE(PostMessage(hwnd, WM_USER + 1));
  EXPECT_FALSE(PostMessage(nullptr, WM_USER + 1));
  EXPECT_FALSE(PostText(hwnd, WM_USER + 2, 0, "x"));
}

TEST(PostMessage, HandlesAreNotReusedAfterAWindowGoes) {
  HWND old;
  {
    RecordingWindow first;
    old = first.GetSafeHwnd();
  }
  RecordingWindow second;
  EXPECT_NE(second.GetSafeHwnd(), old);
  EXPECT_EQ(CWnd::FromHandle(second.GetSafeHwnd()), &second);
  EXPECT_EQ(CWnd::FromHandle(old), nullptr);
}

TEST(SendMessage, ReturnsTheResultDirectlyOrFromAnotherThread) {
  RecordingWindow window;
  HWND hwnd = window.GetSafeHwnd();
  EXPECT_EQ(SendMessage(hwnd, WM_USER + 5, 21), 42);
  ASSERT_EQ(window.received.size(), 1u);

  std::atomic<LRESULT> result{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    result = SendMessage(hwnd, WM_USER + 5, 50);
    done = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return done.load(); }));
  sender.join();
  EXPECT_EQ(result, 100);
  EXPECT_TRUE(window.received.back().onUiThread);
}

TEST(SendMessage, AWindowGoneBeforeHandlingAnswersZero) {
  auto window = std::make_unique<RecordingWindow>();
  HWND hwnd = window->GetSafeHwnd();
  std::atomic<LRESULT> result{-1};
  std::thread sender([&] { result = SendMessage(hwnd, WM_USER + 5, 50); });
  // No events run here: the message stays queued (or is not posted yet) until
  // the window goes, and the waiting sender is answered 0 either way.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  window.reset();
  sender.join();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(SendMessage(hwnd, WM_USER + 5, 50), 0);
}
