#include "harlen/link/main/upgrade_session.h"

#include <tinyxml.h>

#include <cstdlib>

#include "platform/post_message.h"

namespace {

long long AttrLongLong(const TiXmlElement* element, const char* name) {
  const char* text = element->Attribute(name);
  return text != nullptr ? std::strtoll(text, nullptr, 10) : 0;
}

}  // namespace

int UpgradePercent(long long start, long long fileSize) {
  if (start <= 0 || fileSize <= 0) return -1;
  if (start >= fileSize) return 100;
  return static_cast<int>(start * 100 / fileSize);  // 64-bit: no overflow for any real file size
}

void UpgradeSession::SetCallback(UpgradeCallback callback, void* userData) {
  std::lock_guard<std::mutex> lock(mutex_);
  callback_ = callback;
  userData_ = userData;
}

bool UpgradeSession::HasCallback() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return callback_ != nullptr;
}

void UpgradeSession::AttachPage(HWND page) {
  std::lock_guard<std::mutex> lock(mutex_);
  page_ = page;
}

void UpgradeSession::DetachPage(HWND page) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (page_ == page) page_ = nullptr;
}

bool UpgradeSession::HasPage() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return page_ != nullptr;
}

bool UpgradeSession::Uploading() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return uploading_;
}

bool UpgradeSession::Start(const std::string& firmwarePath) {
  UpgradeCallback callback;
  void* userData;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (callback_ == nullptr || uploading_ || firmwarePath.empty()) return false;
    uploading_ = true;
    firmwarePath_ = firmwarePath;
    callback = callback_;
    userData = userData_;
  }
  callback(firmwarePath.c_str(), kUpgradeOpStart, userData);
  return true;
}

bool UpgradeSession::Cancel() {
  UpgradeCallback callback;
  void* userData;
  std::string path;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (callback_ == nullptr || !uploading_ || firmwarePath_.empty()) return false;
    uploading_ = false;
    callback = callback_;
    userData = userData_;
    path = firmwarePath_;
  }
  callback(path.c_str(), kUpgradeOpCancel, userData);
  return true;
}

int UpgradeSession::OnEvent(int event, const char* xml) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (page_ == nullptr) return 1;
  switch (event) {
    case kUpgradeEventProgress: {
      TiXmlDocument doc;
      doc.Parse(xml != nullptr ? xml : "", nullptr, TIXML_ENCODING_UNKNOWN);
      const TiXmlElement* root = doc.RootElement();
      if (root == nullptr || !uploading_) return 0;
      const int percent = UpgradePercent(AttrLongLong(root, "start"), AttrLongLong(root, "filesize"));
      if (percent < 0) return 0;
      PostMessage(page_, WM_UPGRADE_PROGRESS, static_cast<WPARAM>(percent), 0);
      return 1;
    }
    case kUpgradeEventFinished:
      if (!uploading_) return 0;
      uploading_ = false;
      PostMessage(page_, WM_UPGRADE_PROGRESS, 100, 0);
      return 1;
    case kUpgradeEventFailed:
      uploading_ = false;
      PostMessage(page_, WM_UPGRADE_FAILED, 0, 0);
      return 1;
    default:
      return 1;
  }
}

UpgradeSession& TheUpgradeSession() {
  static UpgradeSession session;
  return session;
}
