// The library's exported functions and its module state.
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstring>
#include <type_traits>

#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/harlen_api.h"
#include "harlen/link/main/upgrade_session.h"
#include "harlen/link/xml/field_text.h"

QPointer<CDlgMain> g_pDlgMain;
QPointer<CDlgIpChannelConfig> g_pDlgIpChannel;
QPointer<CDlgManualRecordConfig> g_pDlgManualRecord;
char g_szNvrHost[kHarlenTextWidth] = {};
uint16_t g_nNvrPort = 0;
char g_szLoginUser[kHarlenTextWidth] = {};
std::atomic<bool> g_bHarlenInited{false};

namespace {

constexpr const char* kEnglishLibrary = "Lorvan_En.dll";

// A text that fits a 260-byte field with its zero.
bool FitsField(const char* text) { return text != nullptr && std::strlen(text) < kHarlenTextWidth; }

void StoreLogin(const char* userName, const char* host, unsigned short port) {
  CopyFieldText(g_szNvrHost, host);
  g_nNvrPort = port;
  CopyFieldText(g_szLoginUser, userName);
  g_bHarlenInited = true;
}

void Centre(QWidget* window) {
  QScreen* screen = window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window->frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window->move(frame.topLeft());
}

void ShowPopup(QWidget* window) {
  window->show();
  Centre(window);
  window->raise();
  window->activateWindow();
}

// The window singleton, made from its template on the first call (`prepare`
// runs before that).
template <class T>
T* MadeOnce(QPointer<T>& window, std::type_identity_t<void (*)(T*)> prepare = nullptr) {
  if (window == nullptr) {
    auto* dlg = new T;
    if (prepare != nullptr) prepare(dlg);
    dlg->Create(T::IDD);
    window = dlg;
  }
  return window;
}

// Takes the address of the latest call (also for a window made earlier),
// connects, and shows the window in the form it was made in.
void ConnectAndShowMain() {
  g_pDlgMain->SetNvrAddress(g_szNvrHost, g_nNvrPort);
  g_pDlgMain->ConnectNvr();
  if (g_pDlgMain == nullptr) return;  // the host destroyed it while the connection message was up
  if (g_pDlgMain->IsEmbedded()) {
    g_pDlgMain->show();
  } else {
    ShowPopup(g_pDlgMain);
  }
}

// Closing set, link stopped and deleted, window destroyed, global cleared.
void DestroyMainWindow() {
  CDlgMain* dlg = g_pDlgMain;
  g_pDlgMain = nullptr;
  if (dlg == nullptr) return;
  dlg->DeleteLink();
  delete dlg;
}

template <class T>
void DestroyWindow(QPointer<T>& window) {
  T* dlg = window;
  window = nullptr;
  delete dlg;
}

}  // namespace

HL_API int HL_Init(char* userName, char* host, unsigned short port, void* upgradeCallback, void* userData) {
  if (!FitsField(userName) || !FitsField(host)) return 0;
  TheUpgradeSession().SetCallback(reinterpret_cast<UpgradeCallback>(upgradeCallback), userData);
  StoreLogin(userName, host, port);
  return 1;
}

HL_API int HL_LoadLanguage(Language_Code code) {
  if (code != HL_LANGUAGE_ENGLISH) return 0;
  return harlenres::LoadLanguageLibrary(kEnglishLibrary) ? 1 : 0;
}

HL_API int HL_ShowConfigByVemo(char* userName, char* host, unsigned short port, QWidget* parent) {
  if (!FitsField(userName) || !FitsField(host) || parent == nullptr) return 0;
  StoreLogin(userName, host, port);
  if (g_pDlgMain == nullptr) {
    CDlgMain* dlg = MadeOnce(g_pDlgMain, [](CDlgMain* made) { made->SetEmbedded(true); });
    // A borderless child of the host's widget, its border hidden just outside the parent's client area.
    const QRect own = dlg->frameGeometry();
    dlg->setParent(parent, Qt::Widget);
    dlg->setGeometry(-2, -2, own.width() + 4, own.height() + 4);
  }
  ConnectAndShowMain();
  return 1;
}

HL_API int HL_HideConfigByVemo() {
  DestroyMainWindow();
  return 1;
}

HL_API int HL_Harlen() {
  if (!g_bHarlenInited) return 0;
  MadeOnce(g_pDlgMain);
  ConnectAndShowMain();
  return 1;
}

HL_API int HL_IpChannelConfig() {
  if (!g_bHarlenInited) return 0;
  MadeOnce(g_pDlgIpChannel)->SetNvrAddress(g_szNvrHost, g_nNvrPort);
  g_pDlgIpChannel->ConnectNvr();
  if (g_pDlgIpChannel != nullptr) ShowPopup(g_pDlgIpChannel);
  return 1;
}

HL_API int HL_ManualRecConfig() {
  if (!g_bHarlenInited) return 0;
  MadeOnce(g_pDlgManualRecord)->ConnectNvr();
  if (g_pDlgManualRecord != nullptr) ShowPopup(g_pDlgManualRecord);
  return 1;
}

HL_API int HL_OnUpgradeEvent(int event, int, const char* xml, void*) {
  if (!g_bHarlenInited) return 0;
  return TheUpgradeSession().OnEvent(event, xml);  // 1 when there is no main window (no system page)
}

HL_API int HL_Release() {
  DestroyMainWindow();
  DestroyWindow(g_pDlgIpChannel);
  DestroyWindow(g_pDlgManualRecord);
  return 1;
}
