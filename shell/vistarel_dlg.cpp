// The main window: construction, start-up, the module windows, the module
// switches, the left column and painting. Timers and messages are in
// vistarel_dlg_timers.cpp, the menu and the exit in vistarel_dlg_exit.cpp, the
// services to other windows in vistarel_dlg_services.cpp.
#include "shell/vistarel_dlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QNetworkInterface>
#include <QPainter>
#include <QScreen>
#include <cstdlib>
#include <cstring>

#include "alarm_map_wall/alarm/alarm_list_dlg.h"
#include "alarm_map_wall/alarm/alm_act_dlg.h"
#include "alarm_map_wall/tvwall/draw_tvwall_dlg.h"
#include "alarm_map_wall/emap/map_manager_dlg.h"
#include "alarm_map_wall/alarm/search/search_alarm_dlg.h"
#include "alarm_map_wall/tvwall/tv_wall_manager.h"
#include "alarm_map_wall/emap/map_dlg.h"
#include "alarm_map_wall/emap/map_video_dlg.h"
#include "core/client_log.h"
#include "core/log_tool_dlg.h"
#include "core/start_thread.h"
#include "core/res_msg_dlg.h"
#include "core/sur_status_store.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "records/recording/rec_file_manager.h"
#include "records/recording/rec_scheme_manager.h"
#include "live/patrol/config_patrol_dlg.h"
#include "live/patrol/grid_patrol_plans.h"
#include "live/patrol/grid_patrol_step.h"
#include "live/ptz/ptz_dlg.h"
#include "live/audio/audio_codec.h"
#include "live/audio/broadcast_dlg.h"
#include "live/ptz/ptz_plugin.h"
#include "live/keyboard/serial_keyboard.h"
#include "live/keyboard/keyboard_params.h"
#include "live/toolbar/video_toolbar_buttons.h"
#include "live/grid/video_manager_dlg.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "maker/pelk/pelk.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "records/search/search_rec_dlg.h"
#include "relay/sessions/remote_session_registry.h"
#include "relay/relay_callbacks.h"
#include "relay/relay_message_handler.h"
#include "shell/relay_record_page_adapter.h"
#include "relay/remote_dev_info.h"
#include "relay/servers/relay_pane_keys.h"
#include "relay/login/vemo2_login.h"
#include "relay/servers/relay_viewer.h"
#include "settings/local/sys_setting_dlg.h"
#include "shell/cfg_manager_dlg.h"
#include "shell/cfg_module_page.h"
#include "shell/dev_tree_images.h"
#include "shell/device_list_dlg.h"
#include "shell/module_rights.h"
#include "shell/page_dlg.h"
#include "shell/view_state.h"
#include "ui/gdi_manager.h"
#include "ui/image_button.h"
#include "ui/skin_colors.h"

CVistarelDlg* g_pMainDlg = nullptr;

namespace {

void Place(QWidget* widget, const RECT& rect) {
  if (widget != nullptr) widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void Show(QWidget* widget, bool show) {
  if (widget != nullptr) widget->setVisible(show);
}

}  // namespace

CVistarelDlg::CVistarelDlg(MainWindowEnv env, QWidget* parent)
    : CDialog(IDD, parent),
      m_env(std::move(env)),
      m_layout(MainLayout::ForScreen(m_env.screenWidth, m_env.screenHeight)),
      m_pGdiManager(std::make_unique<CGdiManger>()),
      m_pSessionRegistry(std::make_unique<CRemoteSessionRegistry>()) {
  m_pPtzPlugin = std::make_unique<CPtzProtocolPlugin>();
  m_pPatrolPlans = std::make_unique<CPatrolPlanSource>([this] {
    if (m_pSysSettingDlg == nullptr || m_pSysSettingDlg->PatrolPage() == nullptr) return std::vector<PatrolPlan>{};
    return m_pSysSettingDlg->PatrolPage()->GetPlans();
  });
  RelayHost relayHost;
  relayHost.UpdateDevItem = [this](const char* devName) { UpdateDevItem(devName); };
  relayHost.StopStartThread = [this] {
    delete m_pStartThread;  // stops and waits for its thread
    m_pStartThread = nullptr;
  };
  relayHost.StopVemo2Login = [this] {
    if (m_pVemo2Login == nullptr) return;
    m_pVemo2Login->Stop();
    delete m_pVemo2Login;
    m_pVemo2Login = nullptr;
  };
  relayHost.LocalMac = [this] { return std::string(m_szAdapterAddr); };
  relayHost.IsClosing = [this] { return m_bClosing != FALSE; };
  relayHost.RefreshDevList = [this] { RefreshDevList(); };
  relayHost.PlaceRelayVideo = [this](const std::string& paneKey, const RelayDevice& device, DWORD mainId,
                                     DWORD subId, const BYTE* video, const BYTE* audio) {
    PlaceRelayVideo(paneKey, device, mainId, subId, video, audio);
  };
  relayHost.CloseRelayPane = [this](const RelayDevice& device) { ClosePanesShowing(device, false, false, true); };
  relayHost.ResetRelayPanes = [this](const RelayDevice& device) { ClosePanesShowing(device, false, false, false); };
  relayHost.StopVemo2Watch = [this](const RelayDevice& device) {
    WriteLog(6, "CVistarelDlg::StopVemo2Watch(): Begin...");
    ClosePanesShowing(device, true, true, true);
    WriteLog(6, "CVistarelDlg::StopVemo2Watch(): End.");
  };
  relayHost.MainWindow = [this] { return GetSafeHwnd(); };
  relayHost.pSessions = m_pSessionRegistry.get();
  relayHost.pRecordPage = &m_relayPageGate;
  relayHost.ptzPlugin = RelayPtzPluginOf();
  FillDeviceStateHost(relayHost.devices);
  FillRelayHost(relayHost);
  m_pRelayHandler = std::make_unique<CRelayMessageHandler>(relayHost);
  m_pRelayViewer = std::make_unique<CRelayViewer>();
  m_pCascade = std::make_unique<CCascadeInvites>();
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  setWindowIcon(QIcon(codepage::ToQString(paths::ProgramFolder() + "Images/Vemo.png")));
}

CVistarelDlg::~CVistarelDlg() {
  qApp->removeEventFilter(this);
  // The record threads walk the global lists: without the exit sequence they
  // end with the window at the latest, never during the program's own end.
  delete m_pRecSchemeManager;
  m_pRecSchemeManager = nullptr;
  delete m_pRecFileManager;
  m_pRecFileManager = nullptr;
  StopWorkerThreads();  // a window destroyed without its close path still ends its threads
  m_pSessionRegistry->RemoveAll();  // the served sessions send through the relay handler
  DestroyActiveDlg();
  for (ScreenInfo* screen : m_lstScreenInfo) delete screen;
  m_lstScreenInfo.clear();
  if (g_pMainDlg == this) g_pMainDlg = nullptr;
}

BOOL CVistarelDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  g_pMainDlg = this;
  setGeometry(0, 0, m_layout.W, m_layout.H);

  ReadAdapterAddress();

  m_btnClose = ReplaceDlgItem(IDC_BTN_CLOSE, new CImageButton(this));
  m_btnMin = ReplaceDlgItem(IDC_BTN_MIN, new CImageButton(this));
  m_btnSetting = ReplaceDlgItem(IDC_BTN_SETTING, new CImageButton(this));
  m_btnPtz = ReplaceDlgItem(IDC_BTN_PTZ, new CImageButton(this));
  m_btnAlarmList = ReplaceDlgItem(IDC_BTN_ALARMLIST, new CImageButton(this));
  m_btnPtz->SetImageResource(161, "PNG");
  m_btnPtz->SetCaptionW(LoadStringW(250).toStdWString());
  m_btnAlarmList->SetImageResource(162, "PNG");
  m_btnAlarmList->SetCaptionW(LoadStringW(251).toStdWString());
  OnClicked(IDC_BTN_CLOSE, [this] { OnBnClickedBtnClose(); });
  OnClicked(IDC_BTN_MIN, [this] {
    m_bMinimized = 1;
    showMinimized();
  });
  OnClicked(IDC_BTN_SETTING, [this] { OnBnClickedBtnSetting(); });
  OnClicked(IDC_BTN_PTZ, [this] { OnBnClickedPtz(); });
  OnClicked(IDC_BTN_ALARMLIST, [this] { OnBnClickedAlarmList(); });

  EnumerateMonitors();
  LoadRecoverInfo();
  CreateActiveDlg();
  InitKeyboard();
  Show(m_pVideoManagerDlg, true);

  setWindowTitle(codepage::ToQString(g_strTitle));
  StartTimer(TIMER_DEVTREE, 500);
  if (!g_strDispInfo.empty()) StartTimer(TIMER_CAPTION, 200);
  if (m_env.hideSplash) m_env.hideSplash();

  g_nCfgPage = -1;  // the configuration module opens on its first page
  OpenFirstModule();
  RegisterWithRelay();
  m_pVemo2Login = nullptr;
  m_pUdpLogin = nullptr;
  StartTimer(TIMER_VSS_LOGIN, 3000);
  StartTimer(TIMER_CASCADE, 5000);
  if (g_nLoginType != 0) StartTimer(TIMER_UDP_LOGIN, 5000);
  StartTimer(TIMER_START_THREAD, 10000);
  StartTimer(TIMER_ARP, 60000);
  setProperty(m_env.appProperty, true);
  qApp->installEventFilter(this);
  return TRUE;
}

// This client's own network adapter address: the hardware address of the
// first adapter that has one (the loopback has none).
void CVistarelDlg::ReadAdapterAddress() {
  m_szAdapterAddr[0] = '\0';
  // Two clients on one machine share its adapter: each may be given an
  // address of its own (its relay identity) in VEMO_LOCAL_MAC.
  if (const char* given = std::getenv("VEMO_LOCAL_MAC"); given != nullptr && *given && !std::strchr(given, ':')) {
    snprintf(m_szAdapterAddr, sizeof m_szAdapterAddr, "%s", given);
    return;
  }
  for (const QNetworkInterface& adapter : QNetworkInterface::allInterfaces()) {
    if (adapter.flags() & QNetworkInterface::IsLoopBack) continue;
    const QStringList bytes = adapter.hardwareAddress().split(':');
    if (bytes.size() != 6) continue;
    const QString text = bytes.join('-').toUpper();
    snprintf(m_szAdapterAddr, sizeof m_szAdapterAddr, "%s", text.toLatin1().constData());
    return;
  }
}

// Every monitor other than the primary one becomes an extension monitor.
void CVistarelDlg::EnumerateMonitors() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect monitor = screen->geometry();
    const QRect work = screen->availableGeometry();
    const DWORD flags = screen == primary ? 1 : 0;
    WriteLog(6, "DirectXEnumCallback: %s, %s", screen->name().toUtf8().constData(),
             screen->model().toUtf8().constData());
    WriteLog(6,
             "DirectXEnumCallback: work.left=%d, work.top=%d,work.right=%d, work.bottom=%d;  "
             "monitor.left=%d,monitor.top=%d, monitor.right=%d, monitor.bottom=%d, dwFlags=%d",
             work.left(), work.top(), work.right() + 1, work.bottom() + 1, monitor.left(), monitor.top(),
             monitor.right() + 1, monitor.bottom() + 1, static_cast<int>(flags));
    if (flags != 0) continue;
    auto* info = new ScreenInfo;
    info->dwFlags = flags;
    info->rcMonitor = RECT{monitor.left(), monitor.top(), monitor.right() + 1, monitor.bottom() + 1};
    info->rcWork = RECT{work.left(), work.top(), work.right() + 1, work.bottom() + 1};
    m_lstScreenInfo.push_back(info);
  }
}

void CVistarelDlg::CreateActiveDlg() {
  WriteLog(6, "CVistarelDlg::CreateActiveDlg():Begin create active dialog...");
  const RECT page = m_layout.PageRect();
  // The panels and pages stand on the skin's dark pictures: their labels are
  // light. Set before they are made, for the pages that colour their own
  // controls from their labels' colour.
  skin::UseLabelsOnDark(this);

  // The broadcast page (in the settings window) stops the toolbar's broadcast
  // when its list is replaced, and speaks through the main window's message box.
  BroadcastPageHost broadcastHost;
  broadcastHost.broadcastRun = [this]() -> CBroadcastRun* {
    return m_pVideoToolbarDlg ? m_pVideoToolbarDlg->BroadcastRun() : nullptr;
  };
  broadcastHost.broadcastStopped = [this] {
    if (m_pVideoToolbarDlg) m_pVideoToolbarDlg->ResetBroadcast();
  };
  broadcastHost.showMessage = [this](const CStringW& text, int type) { ShowResMsg(text, type); };
  broadcastHost.treeImages = [] { return MakeDevTreeImages(); };
  CDlgBroadcast::SetHost(std::move(broadcastHost));

  m_pSysSettingDlg = new CSysSettingDlg([this] { return m_pPTZKeyboardCtrl; }, this);
  m_pSysSettingDlg->SetHost(this);
  m_pSysSettingDlg->Create(CSysSettingDlg::IDD, this);
  m_pSysSettingDlg->hide();

  m_pAlmActDlg = new CAlmActDlg(nullptr);
  m_pAlmActDlg->SetHost(MakeAlarmHost());
  m_pAlmActDlg->Create(CAlmActDlg::IDD, nullptr);
  m_pAlmActDlg->hide();

  m_btnClose->SetImageResource(150, "PNG");
  m_btnClose->SetToolTipTextW(LoadStringW(255).toStdWString());
  Place(m_btnClose, m_layout.CloseButton());
  m_btnMin->SetImageResource(152, "PNG");
  m_btnMin->SetToolTipTextW(LoadStringW(256).toStdWString());
  Place(m_btnMin, m_layout.MinimiseButton());
  m_btnSetting->SetImageResource(151, "PNG");
  m_btnSetting->SetToolTipTextW(LoadStringW(257).toStdWString());
  Place(m_btnSetting, m_layout.SettingsButton());

  m_pPageDlg = new CPageDlg(this, this);
  m_pPageDlg->Create(CPageDlg::IDD, this);
  Place(m_pPageDlg, m_layout.NavigationBar());
  m_pPageDlg->show();

  m_pVideoToolbarDlg = new CVideoToolbarDlg(this, vtb::kPageLive, this);
  m_pVideoToolbarDlg->Create(CVideoToolbarDlg::IDD, this);
  Place(m_pVideoToolbarDlg, m_layout.VideoToolbar());
  m_pVideoToolbarDlg->show();

  m_pLogToolDlg = new CLogToolDlg(this);
  m_pLogToolDlg->Create(CLogToolDlg::IDD, this);
  Place(m_pLogToolDlg, m_layout.LogToolPanel());
  m_pLogToolDlg->hide();

  m_pDeviceListDlg = new CDeviceListDlg(this, this);
  m_pDeviceListDlg->Create(CDeviceListDlg::IDD, this);
  m_pDeviceListDlg->SetHostCode(0);
  Place(m_pDeviceListDlg, m_layout.DevicePanelLive());
  m_pDeviceListDlg->show();
  Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopClosed()));

  m_pPTZDlg = new CPTZDlg(*this, this);
  m_pPTZDlg->Create(CPTZDlg::IDD, this);
  Place(m_pPTZDlg, m_layout.PtzPanel());
  m_pPTZDlg->hide();
  Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopClosed()));

  m_pAlarmListDlg = new CAlarmListDlg(this);
  m_pAlarmListDlg->SetHost(MakeAlarmHost());
  m_pAlarmListDlg->SetLinkageWindow(m_pAlmActDlg);
  m_pAlarmListDlg->Create(CAlarmListDlg::IDD, this);
  Place(m_pAlarmListDlg, m_layout.AlarmListPanel());
  m_pAlarmListDlg->hide();

  // The main grid covers the page rectangle of the main window; each
  // extension monitor's grid is a window of its own covering its monitor.
  SetVideoHost(this);
  m_pVideoManagerDlg = new CVideoManagerDlg(page.left, page.top, page.right, page.bottom, this);
  m_pVideoManagerDlg->Create(CVideoManagerDlg::IDD, this);
  AttachPatrol(m_pVideoManagerDlg);
  Place(m_pVideoManagerDlg, page);
  m_pVideoManagerDlg->hide();
  int screenNo = 1;
  for (ScreenInfo* screen : m_lstScreenInfo) {
    const RECT& monitor = screen->rcMonitor;
    auto* grid = new CVideoManagerDlg(monitor.left, monitor.top, monitor.right, monitor.bottom, nullptr);
    grid->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    grid->Create(CVideoManagerDlg::IDD, nullptr);
    grid->SetMonitorNum(screenNo++);
    AttachPatrol(grid);
    Place(grid, screen->rcMonitor);
    screen->pVideoManagerDlg = grid;
    Show(grid, g_bMultiScreen != 0);
  }

  m_pResMsgDlg = new CResMsgDlg(this);
  m_pResMsgDlg->Create(CResMsgDlg::IDD, this);
  m_pResMsgDlg->hide();

  m_pCfgManagerDlg = new CCfgManagerDlg(m_layout.ConfigManager(), this, this);
  m_pCfgManagerDlg->Create(CCfgManagerDlg::IDD, this);
  Place(m_pCfgManagerDlg, m_layout.ConfigManager());
  m_pCfgDevListDlg = new CDeviceListDlg(this, m_pCfgManagerDlg);
  m_pCfgDevListDlg->Create(CDeviceListDlg::IDD, m_pCfgManagerDlg);
  m_pCfgDevListDlg->SetHostCode(kCfgDevListHostCode);
  m_pCfgDevListDlg->ShowOriginalGroup();
  CfgDeviceListPanel panel;
  panel.widget = m_pCfgDevListDlg;
  panel.ShowOriginalGroup = [this] { m_pCfgDevListDlg->ShowOriginalGroup(); };
  panel.RefreshDevTree = [this] { m_pCfgDevListDlg->RefreshDevTree(); };
  panel.ShowRecSchemeTree = [this] { m_pCfgDevListDlg->ShowRecSchemeTree(); };
  m_pCfgManagerDlg->SetDeviceListPanel(panel);
  m_pCfgManagerDlg->hide();

  m_pSearchAlarmDlg = new CSearchAlarmDlg(this);
  m_pSearchAlarmDlg->Create(CSearchAlarmDlg::IDD, this);
  auto* alarmPanel = new CDeviceListDlg(this, m_pSearchAlarmDlg);
  alarmPanel->Create(CDeviceListDlg::IDD, m_pSearchAlarmDlg);
  alarmPanel->SetHostCode(kAlarmSearchHostCode);
  alarmPanel->ShowOriginalGroup();
  m_pSearchAlarmDlg->SetDeviceListPanel(alarmPanel, alarmPanel);
  alarmPanel->show();
  Place(m_pSearchAlarmDlg, page);
  m_pSearchAlarmDlg->hide();

  m_pSearchRecDlg = new CSearchRecDlg(this);
  // The page's own device-list panel and playback toolbar (shown on an extension monitor).
  m_pSearchRecDlg->SetDeviceListMaker([this](QWidget* parent) -> CDialog* {
    auto* panel = new CDeviceListDlg(this, parent);
    panel->Create(CDeviceListDlg::IDD, parent);
    return panel;
  });
  m_pSearchRecDlg->SetToolbarHost(this);
  m_pSearchRecDlg->SetRelayLoginFinder(&CRelayViewer::FindLoginHandle);
  m_pSearchRecDlg->SetRelayServerNameFinder(&CRelayViewer::FindServerName);
  m_pSearchRecDlg->SetClosingCheck([this] { return IsClosing() != FALSE; });
  m_pSearchRecDlg->Create(CSearchRecDlg::IDD, this);
  ConnectRelayRecordPage(true);
  Place(m_pSearchRecDlg, page);
  m_pSearchRecDlg->hide();

  m_pTVWallManager = new CTVWallManager(this);
  m_pTVWallManager->Create(CTVWallManager::IDD, this);
  Place(m_pTVWallManager, page);
  m_pTVWallManager->hide();

  m_pMapManagerDlg = new CMapManagerDlg(this);
  m_pMapManagerDlg->Create(CMapManagerDlg::IDD, this);
  Place(m_pMapManagerDlg, page);
  m_pMapManagerDlg->hide();

  m_pDrawTVwallDlg = new CDrawTVwallDlg(&m_pTVWallManager->m_TVWallLayout, this);
  m_pDrawTVwallDlg->Create(CDrawTVwallDlg::IDD, this);
  m_pDrawTVwallDlg->hide();

  // Again now that the controls are made; the module windows keep the light
  // labels on an extension monitor, where they are windows of their own.
  for (QWidget* window : std::initializer_list<QWidget*>{this, m_pCfgManagerDlg, m_pSearchAlarmDlg, m_pSearchRecDlg,
                                                         m_pTVWallManager, m_pMapManagerDlg})
    skin::UseLabelsOnDark(window);
  WriteLog(6, "CVistarelDlg::CreateActiveDlg():End create active dialog...");
}

// A grid's patrol takes its plans from the patrol settings page and moves on
// by the patrol step; a relay device is online by its state word.
void CVistarelDlg::AttachPatrol(CVideoManagerDlg* grid) {
  grid->SetPatrolPlanSource(m_pPatrolPlans.get());
  grid->SetPatrolTick(MakeGridPatrolTick(RelayPaneKeyState));
}

void CVistarelDlg::DestroyActiveDlg() {
  if (m_pPageDlg == nullptr && m_pVideoManagerDlg == nullptr) return;  // destroyed already
  WriteLog(6, "CVistarelDlg::DestroyActiveDlg(): Begin destroy active dialog.");
  auto destroy = [](auto*& window) {
    delete window;
    window = nullptr;
  };
  destroy(m_pDrawTVwallDlg);
  destroy(m_pMapManagerDlg);
  destroy(m_pTVWallManager);
  ConnectRelayRecordPage(false);  // waits for a relay call into the page that runs now
  destroy(m_pSearchRecDlg);
  destroy(m_pSearchAlarmDlg);
  destroy(m_pCfgManagerDlg);  // its device list panel with it
  m_pCfgDevListDlg = nullptr;
  destroy(m_pResMsgDlg);
  for (ScreenInfo* screen : m_lstScreenInfo) destroy(screen->pVideoManagerDlg);
  destroy(m_pVideoManagerDlg);
  m_pActiveVideoManager = nullptr;
  destroy(m_pAlarmListDlg);
  destroy(m_pPTZDlg);
  destroy(m_pDeviceListDlg);
  destroy(m_pLogToolDlg);
  destroy(m_pVideoToolbarDlg);
  destroy(m_pPageDlg);
  destroy(m_pAlmActDlg);
  destroy(m_pSysSettingDlg);
  if (m_pPTZKeyboardCtrl != nullptr) m_pPTZKeyboardCtrl->StopHandleKBMsg();
  destroy(m_pPTZKeyboardCtrl);
  SetVideoHost(nullptr);
  CDlgBroadcast::SetHost({});
  WriteLog(6, "CVistarelDlg::DestroyActiveDlg(): End destroy active dialog.");
}

void CVistarelDlg::InitKeyboard() {
  CString line;
  KeyboardParams params;
  if (!ReadKeyboardParamsLine(line) || ParseKeyboardParams(line, params) != 7 || params.Switch == 0) return;
  m_pPTZKeyboardCtrl = new CPTZKeyboardCtrl(this);
  WriteLog(6, "CVistarelDlg::OnInitDialog(): Begin init PTZ keyboard");
  m_pPTZKeyboardCtrl->StartHandleKCMsg();
  CString current;
  m_pPTZKeyboardCtrl->GetKeyboardControlParams(current);
  m_pPTZKeyboardCtrl->SetKeyboardControlParams(current);
  WriteLog(6, "CVistarelDlg::OnInitDialog(): End init PTZ keyboard");
}

void CVistarelDlg::OpenFirstModule() {
  switch (FirstModuleForRights(g_nCurRights)) {
    case kModuleLive: m_pPageDlg->OnBnClickedVideo(); break;
    case kModuleRecord: m_pPageDlg->OnBnClickedRecord(); break;
    case kModuleAlarm: m_pPageDlg->OnBnClickedAlarm(); break;
    case kModuleCfg: m_pPageDlg->OnBnClickedConfig(); break;
    default: break;
  }
}

void CVistarelDlg::RegisterWithRelay() {
  RegisterRelayCallbacks(GetSafeHwnd(), static_cast<IRelayCallbackHost*>(this));
}

// ---- module switches ------------------------------------------------------

bool CVistarelDlg::BeginModuleSwitch(int module) {
  if (g_nCurModule == module) return false;
  const RECT strip = m_layout.TabUnderline();
  update(strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top);
  g_nCurModule = module;
  HideModulesExcept(module);
  return true;
}

void CVistarelDlg::HideModulesExcept(int module) {
  if (module != kModuleLive) Show(m_pVideoManagerDlg, false);
  if (module != kModuleRecord && !IsOnExtScreen(kModuleRecord)) Show(m_pSearchRecDlg, false);
  if (module != kModuleAlarm && !IsOnExtScreen(kModuleAlarm)) Show(m_pSearchAlarmDlg, false);
  if (module != kModuleCfg && !IsOnExtScreen(kModuleCfg) && m_pCfgManagerDlg != nullptr &&
      m_pCfgManagerDlg->isVisible()) {
    m_pCfgManagerDlg->hide();  // stops the device search and releases the remote configuration
  }
  if (module != kModuleWall && !IsOnExtScreen(kModuleWall)) Show(m_pTVWallManager, false);
  if (module != kModuleMap && !IsOnExtScreen(kModuleMap) && m_pMapManagerDlg != nullptr &&
      m_pMapManagerDlg->isVisible()) {
    if (m_pMapManagerDlg->m_pMapVideoDlg != nullptr) m_pMapManagerDlg->m_pMapVideoDlg->OnClose();
    m_pMapManagerDlg->hide();
  }
}

// Live view: the panel with both buttons below it.
void CVistarelDlg::PlaceLiveColumn() {
  Place(m_pDeviceListDlg, m_layout.DevicePanelLive());
  Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopClosed()));
  Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopClosed()));
  Show(m_btnPtz, true);
  Show(m_btnAlarmList, true);
}

// Other modules: the panel fills the column; no buttons, PTZ panel or alarm list.
void CVistarelDlg::PlaceFullColumn() {
  Place(m_pDeviceListDlg, m_layout.DevicePanelFull());
  Show(m_btnPtz, false);
  Show(m_btnAlarmList, false);
  Show(m_pPTZDlg, false);
  Show(m_pAlarmListDlg, false);
  m_bPtzShown = 0;
  m_bAlarmListShown = 0;
}

void CVistarelDlg::ShowVideoModule() {
  if (!BeginModuleSwitch(kModuleLive)) return;
  WriteLog(6, "CVistarelDlg: video manager dialog recover video windows.");
  Show(m_pVideoManagerDlg, true);
  m_pVideoToolbarDlg->ShowPlaybackButtons(0);
  m_pVideoToolbarDlg->ShowLiveButtons(0, 0);
  m_pVideoToolbarDlg->show();
  PlaceLiveColumn();
  Show(m_pAlarmListDlg, false);
  m_bAlarmListShown = 0;
  m_pDeviceListDlg->ShowOriginalGroup();
  m_pDeviceListDlg->show();
}

void CVistarelDlg::ShowRecordModule() {
  if (!BeginModuleSwitch(kModuleRecord)) return;
  Show(m_pSearchRecDlg, true);
  m_pVideoToolbarDlg->ShowLiveButtons(0, 0);
  m_pVideoToolbarDlg->ShowPlaybackButtons(1);
  m_pVideoToolbarDlg->show();
  PlaceFullColumn();
  m_pDeviceListDlg->ShowOriginalGroup();
  m_pDeviceListDlg->show();
}

void CVistarelDlg::ShowAlarmModule() {
  if (!BeginModuleSwitch(kModuleAlarm)) return;
  Show(m_pSearchAlarmDlg, true);
  m_pVideoToolbarDlg->hide();
  PlaceFullColumn();
  m_pDeviceListDlg->ShowOriginalGroup();
  m_pDeviceListDlg->show();
}

void CVistarelDlg::ShowConfigModule() {
  if (!BeginModuleSwitch(kModuleCfg)) return;
  m_pVideoToolbarDlg->hide();
  PlaceFullColumn();
  m_pDeviceListDlg->hide();
  m_pDeviceListDlg->RefreshDevTree();
  const int page = CfgModulePageToOpen(g_nCfgPage, g_nLoginType);
  if (page >= 0) {
    ShowCfgPage(page);
  } else {
    m_pCfgManagerDlg->show();
    m_pCfgManagerDlg->ShowPage();
  }
}

void CVistarelDlg::ShowTVWallModule() {
  if (!BeginModuleSwitch(kModuleWall)) return;
  Place(m_pTVWallManager, m_layout.PageRect());
  Show(m_pTVWallManager, true);
  m_pVideoToolbarDlg->ShowLiveButtons(1, 0);
  m_pVideoToolbarDlg->ShowPlaybackButtons(0);
  m_pVideoToolbarDlg->show();
  PlaceFullColumn();
  m_pDeviceListDlg->RefreshDevTree();
  m_pDeviceListDlg->show();
}

void CVistarelDlg::ShowMapModule() {
  if (!BeginModuleSwitch(kModuleMap)) return;
  Show(m_pMapManagerDlg, true);
  m_pVideoToolbarDlg->ShowLiveButtons(0, 0);
  m_pVideoToolbarDlg->ShowPlaybackButtons(0);
  m_pVideoToolbarDlg->show();
  PlaceFullColumn();
  m_pDeviceListDlg->show();
}

// ---- left column ------------------------------------------------------------

void CVistarelDlg::OnBnClickedPtz() {
  if (!g_nCurRights[kRightPTZ]) {
    ShowResMsg(LoadStringW(284).toStdWString(), 2);
    return;
  }
  if (m_bPtzShown) {
    Show(m_pPTZDlg, false);
    Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopClosed()));
    Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopClosed()));
    Place(m_pDeviceListDlg, m_layout.DevicePanelLive());
    m_bPtzShown = 0;
    return;
  }
  Place(m_pDeviceListDlg, m_layout.DevicePanelShort());
  Show(m_pAlarmListDlg, false);
  m_bAlarmListShown = 0;
  Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopClosed()));
  Show(m_pPTZDlg, true);
  Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopOpen()));
  m_bPtzShown = 1;
}

void CVistarelDlg::OnBnClickedAlarmList() {
  if (m_bAlarmListShown) {
    Show(m_pAlarmListDlg, false);
    Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopClosed()));
    Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopClosed()));
    Place(m_pDeviceListDlg, m_layout.DevicePanelLive());
    m_bAlarmListShown = 0;
    return;
  }
  Place(m_pDeviceListDlg, m_layout.DevicePanelShort());
  Show(m_pPTZDlg, false);
  m_bPtzShown = 0;
  Place(m_btnPtz, MainLayout::ColumnButton(m_layout.PtzButtonTopOpen()));
  Show(m_pAlarmListDlg, true);
  Place(m_btnAlarmList, MainLayout::ColumnButton(m_layout.AlarmButtonTopOpen()));
  m_bAlarmListShown = 1;
}

// ---- painting -----------------------------------------------------------------

void CVistarelDlg::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (m_bMinimized) {
    const QIcon icon = windowIcon();
    const QSize size(32, 32);
    painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, icon.pixmap(size));
    return;
  }
  m_pGdiManager->DrawImageFile(paths::ProgramFolder() + "Images\\Maindlgbk.png", RECT{0, 0, width(), height()},
                               &painter);
  if (m_nCaptionRight > 0 && !g_strDispInfo.empty()) {
    painter.setPen(QColor(0x00, 0x40, 0x80));  // COLORREF 0x804000
    const QRect caption(0, 10, m_nCaptionRight, fontMetrics().height());
    painter.drawText(caption, Qt::AlignRight | Qt::AlignVCenter, codepage::ToQString(g_strDispInfo));
  }
  CDialog::paintEvent(event);
}

void CVistarelDlg::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) m_bMinimized = isMinimized() ? 1 : 0;
  CDialog::changeEvent(event);
}
