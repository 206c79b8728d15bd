#include "platform/window_registry.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace winreg {
namespace {

std::mutex g_mutex;
std::unordered_map<uintptr_t, QWidget*> g_windows;
uintptr_t g_next = 0x10000;

}  // namespace

HWND Register(QWidget* widget) {
  std::lock_guard<std::mutex> lock(g_mutex);
  uintptr_t id = g_next;
  g_next += 4;
  g_windows[id] = widget;
  return reinterpret_cast<HWND>(id);
}

void Unregister(HWND hwnd) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_windows.erase(reinterpret_cast<uintptr_t>(hwnd));
}

QWidget* Widget(HWND hwnd) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == g_windows.end() ? nullptr : it->second;
}

bool WithWidget(HWND hwnd, const std::function<void(QWidget*)>& fn) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = g_windows.find(reinterpret_cast<uintptr_t>(hwnd));
  if (it == g_windows.end()) return false;
  fn(it->second);
  return true;
}

}  // namespace winreg

BOOL IsWindow(HWND hwnd) {
  return hwnd != nullptr && winreg::WithWidget(hwnd, [](QWidget*) {}) ? TRUE : FALSE;
}
