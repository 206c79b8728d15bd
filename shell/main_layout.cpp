#include "shell/main_layout.h"

namespace {
constexpr int kColumnX = 10;
constexpr int kColumnWidth = 219;
constexpr int kButtonHeight = 23;
}  // namespace

RECT RectXYWH(int x, int y, int width, int height) { return RECT{x, y, x + width, y + height}; }

MainLayout MainLayout::ForScreen(int width, int height) {
  MainLayout layout;
  layout.W = width;
  layout.H = height;
  layout.T = height * 52 / 768;
  return layout;
}

RECT MainLayout::PageRect() const { return RECT{235, T + 39, W - 8, H - 10}; }

RECT MainLayout::CloseButton() const { return RectXYWH(W - 32, 2, 26, 17); }
RECT MainLayout::MinimiseButton() const { return RectXYWH(W - 58, 2, 26, 17); }
RECT MainLayout::SettingsButton() const { return RectXYWH(W - 84, 2, 26, 17); }

RECT MainLayout::NavigationBar() const { return RectXYWH(0, T - 35, W, 34); }
RECT MainLayout::VideoToolbar() const { return RectXYWH(kColumnX, T - 1, W - 18, 40); }
RECT MainLayout::LogToolPanel() const { return RectXYWH(kColumnX, T - 1, W, 40); }
RECT MainLayout::ConfigManager() const { return RECT{kColumnX, T - 1, W - 8, H - 10}; }
RECT MainLayout::PtzPanel() const { return RectXYWH(kColumnX, H - 333, kColumnWidth, 300); }
RECT MainLayout::AlarmListPanel() const { return RectXYWH(kColumnX, H - 310, kColumnWidth, 277); }

RECT MainLayout::DevicePanelLive() const { return RectXYWH(kColumnX, T + 39, kColumnWidth, H - T - 95); }
RECT MainLayout::DevicePanelShort() const { return RectXYWH(kColumnX, T + 39, kColumnWidth, H - T - 395); }
RECT MainLayout::DevicePanelFull() const { return RectXYWH(kColumnX, T + 39, kColumnWidth, H - T - 49); }

RECT MainLayout::ColumnButton(int top) { return RectXYWH(kColumnX, top, kColumnWidth, kButtonHeight); }

RECT MainLayout::TabUnderline() const { return RECT{15, T - 4, W, T - 1}; }
