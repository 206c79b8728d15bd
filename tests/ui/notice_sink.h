// A parent window that records the messages its controls send it.
#pragma once

#include <QWidget>
#include <vector>

#include "platform/wnd.h"

struct Notice {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

class NoticeSink : public QWidget, public CWnd {
 public:
  NoticeSink() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    notices.push_back(Notice{msg, wParam, lParam});
    return 0;
  }
  std::vector<Notice> notices;
};
