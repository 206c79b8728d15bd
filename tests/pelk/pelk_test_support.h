// Two relay engines in one test: B serves on 127.0.0.1, A logs in to it. Each
// has a message window that keeps what the library posts to it.
#pragma once

#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "pelk/pelk.h"
#include "pelk/pelk_engine.h"
#include "platform/wnd.h"

// The account both sides know: user "admin", password digest of "123456".
extern const char kTestUser[];
extern const char kTestDigest[];

struct PostedMessage {
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A window that answers WM_RELAY_CHECK_USER like the main window (user name
// without regard to case, password through the verifier) and keeps every
// other message; the records stay the library's until the test gives them back.
class MessageSink : public QWidget, public CWnd {
 public:
  explicit MessageSink(pelk::Engine& engine);
  ~MessageSink() override;

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Waits (running the event loop) for the next message of that number and
  // takes it from the queue.
  bool Take(UINT msg, PostedMessage* out, int limitMs = 10000);
  size_t Count(UINT msg) const;
  // Gives a record back to the engine (and its inner block first).
  void GiveBack(void* record, void* inner = nullptr);
  // The engine is being destroyed before this sink: the sink no longer tells it anything.
  void ForgetEngine() { engine_ = nullptr; }

  // Optional handler that runs before a message is queued; returns true when
  // it took the message (it is then not queued).
  std::function<bool(const PostedMessage&)> handler;
  std::string password = kTestDigest;
  int checks = 0;

 private:
  pelk::Engine* engine_;
  std::deque<PostedMessage> messages_;
};

pelk::EngineOptions FastOptions();

class EnginePair {
 public:
  explicit EnginePair(LONG videoCount = 16, LONG userCount = 8, pelk::EngineOptions options = FastOptions());
  ~EnginePair();

  // Logs A in to B; the login handle, 0 refused.
  LONG Login(const char* user = kTestUser, const char* password = kTestDigest);

  std::unique_ptr<pelk::Engine> a;
  std::unique_ptr<pelk::Engine> b;
  std::unique_ptr<MessageSink> sinkA;
  std::unique_ptr<MessageSink> sinkB;
  int port = 0;
};

// Threads and open descriptors of this process.
int ThreadCount();
int DescriptorCount();
