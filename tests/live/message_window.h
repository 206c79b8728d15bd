// A window that records the messages posted to it, reading the owned payload
// of each while it is still alive.
#pragma once

#include <QCoreApplication>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "platform/wnd.h"

struct ReceivedMessage {
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::string text;  // lParam read as a text, for messages that carry one
};

class MessageWindow : public QWidget, public CWnd {
 public:
  MessageWindow() : CWnd(this) {}
  // Messages whose lParam is a heap text.
  std::vector<UINT> textMessages;
  std::vector<ReceivedMessage> received;
  // Called with every message while its payload is alive.
  std::function<void(UINT, WPARAM, LPARAM)> inspect;

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    ReceivedMessage m{msg, wParam, lParam, {}};
    for (UINT t : textMessages) {
      if (t == msg && lParam) m.text = reinterpret_cast<const char*>(lParam);
    }
    received.push_back(m);
    if (inspect) inspect(msg, wParam, lParam);
    return 0;
  }
};

inline void DeliverPosted() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}
