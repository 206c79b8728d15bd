#include "core/app_title.h"

#include <mutex>

namespace {

std::mutex& TitleMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<CString()>& TitleSource() {
  static std::function<CString()> source;
  return source;
}

}  // namespace

void SetAppTitleSource(std::function<CString()> source) {
  std::lock_guard<std::mutex> lock(TitleMutex());
  TitleSource() = std::move(source);
}

CString GetAppTitle() {
  std::function<CString()> source;
  {
    std::lock_guard<std::mutex> lock(TitleMutex());
    source = TitleSource();
  }
  return source ? source() : CString();
}
