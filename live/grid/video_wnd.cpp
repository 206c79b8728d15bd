// CVideoWnd: watching, stopping, talk and sound, snapshot, recording, PTZ,
// stream switches and relay video of one pane.
#include "live/grid/video_wnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>
#include <cstring>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/login_logic.h"
#include "core/dev_info_store.h"
#include "core/res_msg_dlg.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "gimbro/gimbro.h"
#include "live/ptz/ptz_command_text.h"
#include "live/streams/relay_video_player.h"
#include "live/streams/rtsp_events.h"
#include "live/grid/video_manager_dlg.h"
#include "platform/paths.h"
#include "streva/streva_ctrl.h"
#include "tessaly/tessaly_ctrl.h"

namespace {

constexpr unsigned kLog = 6;

// The pane whose picture control holds the view-1 player of a stream object.
CVideoWnd* PaneShowing(CRtspEvents* events) {
  CTessalyCtrl* player = events ? events->Player(1) : nullptr;
  for (QWidget* w = player ? player->parentWidget() : nullptr; w; w = w->parentWidget()) {
    if (auto* pane = dynamic_cast<CVideoWnd*>(w)) return pane;
  }
  return nullptr;
}

QCursor LoadCursor(const char* name) {
  QPixmap picture(QString::fromStdString(paths::NativePath(paths::ProgramFolder() + "Images\\" + name)));
  if (picture.isNull()) return QCursor(Qt::ArrowCursor);
  return QCursor(picture);
}

}  // namespace

CVideoWnd::CVideoWnd(QWidget* parent, BOOL alarmWnd, BOOL mapWnd)
    : CDialog(IDD, parent), m_bAlarmWnd(alarmWnd != 0), m_bMapWnd(mapWnd != 0) {}

CVideoWnd::~CVideoWnd() {
  if (m_bRelay || m_pRelayPlayer) CloseRelayVideo();
  if (m_bWatching) StopWatch(TRUE);
}

void CVideoWnd::SetOwnerGrid(CVideoManagerDlg* grid, int index) {
  m_pGrid = grid;
  m_nIndex = index;
}

BOOL CVideoWnd::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pPicture = GetDlgItem(IDC_PICTURE);
  if (!m_pPicture) {  // a template without the picture control: make one
    m_pPicture = new QWidget(this);
    m_pPicture->setProperty("controlId", IDC_PICTURE);
  }
  m_pPicture->setAutoFillBackground(true);
  QPalette black = m_pPicture->palette();
  black.setColor(QPalette::Window, Qt::black);
  m_pPicture->setPalette(black);
  m_pPicture->setMouseTracking(true);
  m_pPicture->installEventFilter(this);
  installEventFilter(this);
  m_Cursors[0] = LoadCursor("aero_arrow.cur");
  m_Cursors[1] = LoadCursor("big.cur");
  m_Cursors[2] = LoadCursor("small.cur");
  m_Cursors[3] = LoadCursor("hand.cur");
  m_pMsgDlg = std::make_unique<CResMsgDlg>(this);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Place and frame

void CVideoWnd::SetWndPos(int x, int y, int width, int height) {
  setGeometry(x, y, width, height);
  if (m_pPicture) m_pPicture->setGeometry(2, 2, std::max(0, width - 4), std::max(0, height - 4));
  for (CRtspEvents* events : {m_DevInfo.pRtspEvent1, m_DevInfo.pRtspEvent2}) {
    if (events && events->GetStreamId() != 0) events->Resize();
  }
  if (m_pRelayPlayer) m_pRelayPlayer->Resize();
  if (m_pPicture) m_pPicture->update();
  m_rcWnd = RECT{x, y, width, height};
}

void CVideoWnd::DrawSelectFrame(BOOL selected) {
  m_bSelected = selected != 0;
  update();
}

void CVideoWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(QPen(m_bSelected ? QColor(255, 0, 0) : QColor(236, 233, 216), 2));
  painter.drawRect(QRect(1, 1, width() - 2, height() - 2));
}

// ---------------------------------------------------------------------------
// Watching

std::string CVideoWnd::SpeakKey() const {
  if (m_DevInfo.DevType == kDevTypeNvr) return std::string(m_DevInfo.IPAddr) + "-" + m_DevInfo.DevName;
  return m_DevInfo.DevName;
}

bool CVideoWnd::ShowsSubStream() const {
  return streamaddr::IsSubStream(streamaddr::PaneResolution(m_DevInfo, m_bAlarmWnd));
}

void CVideoWnd::TakeOverFrom(CRtspEvents* events) {
  CVideoWnd* other = PaneShowing(events);
  if (!other || other == this) return;
  if (!other->m_bAlarmWnd && other->m_bTalking) {
    other->RequestSpeak();
    VideoHost().SetToolButtonPicture(toolbar::kTalkButton, toolbar::kTalkOff, 0);
  }
  // The stream's picture moves here: the other pane no longer shows it.
  other->ForgetStream();
}

void CVideoWnd::ForgetStream() {
  if (m_pManualStream == m_pRendering) StopManualRec();
  m_bSoundOn = false;
  ResetWatchState();
}

void CVideoWnd::ResetWatchState() {
  m_pRendering = nullptr;
  m_bWatching = false;
  m_strDevId.clear();
  m_strDevName.clear();
  m_DevInfo = DevInfo{};
  if (m_pPicture) m_pPicture->update();
}

void CVideoWnd::Render(CRtspEvents* events, bool mainObject, const char* prefix) {
  WriteLog(kLog, "%sCVideoWnd::AddWatch(): RtspEvent%d open media render. DevName=%s", prefix, mainObject ? 1 : 2,
           m_strDevName.c_str());
  events->DisplayMediaStream(m_pPicture, 0);
  events->SetMouseMode(m_nMouseMode);
  m_pRendering = events;
}

long CVideoWnd::OpenOn(CRtspEvents* events, bool mainObject, DevInfo& listDev, const DevInfo& dev,
                       const StreamAddress& address, bool leadingBlank) {
  CStrevaCtrl* ctrl = events->StrevaCtrl();
  if (events->GetStreamId() != 0) {  // the object's previous stream goes: nobody else shows it from now on
    if (CVideoWnd* other = PaneShowing(events); other && other != this) other->ForgetStream();
    events->CloseAllDecoder();
    events->StopAllThread();
  }
  events->SetMouseMode(m_nMouseMode);
  events->SetMediaRenderMod(m_pPicture, 1);
  long id = 0;
  if (ctrl) {
    id = dev.VisitMod == 2 ? ctrl->OpenStreamEx(dev.DevSN, static_cast<unsigned short>(dev.VideoPort), address.path,
                                                dev.LoginName, dev.LoginPsw, dev.RtpOverRtsp)
                           : ctrl->OpenStream(address.url, dev.LoginName, dev.LoginPsw, dev.RtpOverRtsp);
  }
  const char* blank = leadingBlank ? " " : "";
  WriteLog(kLog, "%sCVideoWnd::AddWatch():%sAdd a surveillance stream, Url=%s, DevName=%s, pRtspEvent%d set StreamId=%ld",
           blank, leadingBlank ? "" : " ", dev.VisitMod == 2 ? address.path.c_str() : address.url.c_str(), dev.DevName,
           mainObject ? 1 : 2, id);
  if (id < 1) id = 0;  // a failed open leaves no stream
  (mainObject ? listDev.MainStreamId : listDev.SubStreamId) = static_cast<int>(id);
  events->SetStreamInfo(id, listDev.LiveStreamKind, 0, 0);
  events->SetDevType(listDev.DevType);
  if (id == 0) {
    events->SetMediaRenderMod(m_pPicture, 0);
    WriteLog(kLog, "CVideoWnd::AddWatch(): open stream failed, the pane stays empty. DevName=%s", dev.DevName);
    return -1;
  }
  m_pRendering = events;
  return 0;
}

long CVideoWnd::AddWatch(DevInfo* dev, BOOL keepTalk) {
  if (!dev || !dev->pRtspEvent1 || !dev->pRtspEvent2) {
    WriteLog(kLog, "CVideoWnd::AddWatch(): refused, the device has no stream object.");
    return -1;
  }
  if (g_bUseLoginSvr && dev->DevSN[0] == '\0' && dev->VisitMod == 2) {
    WriteLog(kLog, "CVideoWnd::AddWatch(): refused, no serial number. DevName=%s", dev->DevName);
    return -1;
  }
  const DevInfo request = *dev;  // dev may be the pane's own copy, which clearing empties
  m_waiting.reset();
  // The recording thread chooses and opens the device's stream objects too,
  // under this lock.
  CsLock lock(&g_csAppData);
  DevInfo* listDev = FindDevInfo(request.DevName, request.DevId);
  if (!listDev) {
    // The device is gone from the list: what the pane showed goes with it.
    WriteLog(kLog, "CVideoWnd::AddWatch(): the device is not in the list. DevName=%s", request.DevName);
    if (m_bRelay) CloseRelayVideo();
    if (m_bWatching) ClearWatchInfo();
    return -1;
  }
  if ((m_bWatching || m_bRelay) && !keepTalk) {
    if (m_bRelay) CloseRelayVideo();
    ClearWatchInfo();
  }
  m_strDevName = request.DevName;
  m_strDevId = request.DevId;
  const std::string res = streamaddr::PaneResolution(request, false);
  listDev->LiveStreamKind = streamaddr::IsSubStream(res) ? 0 : 1;
  const long wanted = listDev->LiveStreamKind;
  CRtspEvents* main = listDev->pRtspEvent1;
  CRtspEvents* sub = listDev->pRtspEvent2;
  auto hasWanted = [wanted](CRtspEvents* e) { return e->GetStreamId() != 0 && e->GetStreamKind() == wanted; };

  long result = 0;
  if (listDev->bWatched &&
      (streamaddr::PaneResolution(*listDev, false) == res || streamaddr::PaneResolution(*listDev, true) == res)) {
    CRtspEvents* taken = hasWanted(main) ? main : hasWanted(sub) ? sub : nullptr;
    if (taken && m_bAlarmWnd) {
      taken->CreateAlarmActPlayer(m_pPicture);
      streamaddr::SetPaneResolution(*listDev, true, res);
      m_pRendering = taken;
    } else if (taken) {
      TakeOverFrom(taken);
      taken->DisplayMediaStream(m_pPicture, keepTalk ? 0 : 1);
      m_pRendering = taken;
    }
  } else if (!listDev->bRecording) {
    if (hasWanted(main)) {
      Render(main, true, "");
    } else if (hasWanted(sub)) {
      Render(sub, false, "");
    } else {
      const StreamAddress address = streamaddr::LiveAddress(request);
      const bool onMain = main->GetStreamId() == 0 || sub->GetStreamId() != 0;
      result = OpenOn(onMain ? main : sub, onMain, *listDev, request, address, false);
    }
  } else if (request.DevType != 1 || wanted == listDev->RecStreamKind) {
    CRtspEvents* recording = main->IsRecording() ? main : sub;
    Render(recording, recording == main, request.DevType != 1 ? "" : " ");
  } else {
    const StreamAddress address = streamaddr::SecondStreamAddress(request);
    const bool onMain = main->GetStreamKind() == -1;
    result = OpenOn(onMain ? main : sub, onMain, *listDev, request, address, true);
  }
  if (result != 0) {
    m_strDevName.clear();
    m_strDevId.clear();
    if (m_pPicture) m_pPicture->update();
    return result;
  }

  streamaddr::SetPaneResolution(*listDev, m_bAlarmWnd, res);
  m_DevInfo = *listDev;
  listDev->bWatched = 1;
  m_DevInfo.bWatched = 1;
  VideoHost().UpdateDevIcons();
  m_bWatching = true;
  return 0;
}

void CVideoWnd::EndTalkAndSound() {
  if (m_bTalking) RequestSpeak();
  m_bTalkRequested = false;
  if (m_bSoundOn) OpenSound();
}

long CVideoWnd::StopStreams(const char* caller) {
  CsLock lock(&g_csAppData);  // as AddWatch
  DevInfo* listDev = FindDevInfo(m_DevInfo.DevName, m_DevInfo.DevId);
  DevInfo& dev = listDev ? *listDev : m_DevInfo;
  bool alarmViewLeft = false;
  const bool pairs[2] = {true, false};
  for (bool mainObject : pairs) {
    CRtspEvents* events = mainObject ? dev.pRtspEvent1 : dev.pRtspEvent2;
    if (!events) continue;
    if (m_bAlarmWnd && events == m_pRendering && PaneShowing(events) != this) {
      // A stream a grid pane shows: only the alarm window's own view of it goes.
      events->CloseAlarmActPlayer(2);
    } else if (events == m_pRendering) {
      // A stream of the pane's own (an alarm window's pane opens one for a
      // device nobody watches) ends as a grid pane's does.
      if (!events->IsRecording()) {
        const long id = events->GetStreamId();
        if (!events->Player(2) && !events->IsRelayActive()) {
          events->CloseAllDecoder();
          events->StopAllThread();
          (mainObject ? dev.MainStreamId : dev.SubStreamId) = 0;
        } else {
          events->CloseAllDecoder();
        }
        WriteLog(kLog, "CVideoWnd::%s(): RtspEvent%d Stop decoder delete stream id=%d, DevName=%s", caller,
                 mainObject ? 1 : 2, static_cast<int>(id), m_DevInfo.DevName);
      } else {
        events->SetMediaRenderMod(nullptr, 0);
        WriteLog(kLog, "CVideoWnd::%s(): pRtspEvent%d close media render.", caller, mainObject ? 1 : 2);
      }
    }
    // The device stays watched while an alarm or map view shows it, or a grid
    // pane still does (an alarm window's pane only let its own view go).
    CVideoWnd* shower = PaneShowing(events);
    if (events->Player(2) || events->Player(3) || (shower != nullptr && shower != this)) alarmViewLeft = true;
  }
  if (listDev && !alarmViewLeft) listDev->bWatched = 0;
  VideoHost().UpdateDevIcons();
  ResetWatchState();
  return 0;
}

long CVideoWnd::ClearWatchInfo() {
  WriteLog(kLog, "CVideoWnd::ClearWatchInfo(): clear watch info, DevName=%s", m_DevInfo.DevName);
  StopManualRec();
  EndTalkAndSound();
  return StopStreams("ClearWatchInfo");
}

long CVideoWnd::StopWatch(BOOL) {
  if (!m_bWatching && m_waiting) {
    // Stopped by the user, the pane no longer waits for its device.
    WriteLog(kLog, "CVideoWnd::StopWatch(): Stop waiting, DevName=%s", m_waiting->devName.c_str());
    m_waiting.reset();
    return 0;
  }
  m_waiting.reset();
  if (!m_bWatching) {
    WriteLog(kLog, "CVideoWnd::StopWatch(): refused, the pane shows nothing.");
    return -1;
  }
  WriteLog(kLog, "CVideoWnd::StopWatch(): Stop watch, DevName=%s", m_DevInfo.DevName);
  StopManualRec();
  EndTalkAndSound();
  return StopStreams("StopWatch");
}

long CVideoWnd::ReleaseWithoutWait() {
  if (!m_pRendering || m_pRendering->IsRecording()) return -1;
  WriteLog(kLog, "CVideoWnd:RtspEvent%d release without wait stream id=%d, DevName=%s",
           m_pRendering == m_DevInfo.pRtspEvent1 ? 1 : 2, static_cast<int>(m_pRendering->GetStreamId()),
           m_DevInfo.DevName);
  return m_pRendering->ReleaseWithoutWait();
}

// ---------------------------------------------------------------------------
// Talk and sound

long CVideoWnd::RequestSpeak() {
  if (!m_bWatching) return -1;
  CGimbroCtrl* gimbro = m_DevInfo.pGimbroCtrl;
  const long gimbroId = m_DevInfo.GimbroId;
  if (m_bTalking) {
    m_bTalking = false;
    const long ret = gimbro ? gimbro->Talk(gimbroId, 0) : -1;
    WriteLog(kLog, "CVideoWnd: Request stop speak, DevName=%s, gimbroId=%ld, ret=%d", m_DevInfo.DevName, gimbroId,
             static_cast<int>(ret));
    if (m_pRendering) {
      m_pRendering->ClosePaneSound(m_bMapWnd);
      m_pRendering->SetSpeakStatus(0);
    }
    WriteLog(kLog, "CVideoWnd: RtspEvent1 close player sound, DevName=%s, gimbroId=%ld", m_DevInfo.DevName, gimbroId);
    if (m_DevInfo.DevType == kDevTypeNvr) VideoHost().ReleaseNVRSpeakCodec(0);
    m_bTalkRequested = false;
    return 0;
  }
  const long ret = gimbro ? gimbro->Talk(gimbroId, 1) : -1;
  m_bTalkRequested = true;
  WriteLog(kLog, "CVideoWnd: Request start speak , DevName=%s, gimbroId=%ld, ret=%d", m_DevInfo.DevName, gimbroId,
           static_cast<int>(ret));
  return gimbro ? 0 : -1;
}

void CVideoWnd::SetSpeakStatus(long value) {
  const long gimbroId = m_DevInfo.GimbroId;
  if (value == 0 && m_bTalking) {
    m_bTalking = false;
    if (m_pRendering) {
      m_pRendering->ClosePaneSound(m_bMapWnd);
      m_pRendering->SetSpeakStatus(0);
    }
    WriteLog(kLog, "CVideoWnd: RtspEvent1 close speak sound, DevName=%s, gimbroId=%ld", m_DevInfo.DevName, gimbroId);
  } else if (value != 0 && m_bTalkRequested) {
    if (m_pRendering) {
      m_pRendering->OpenPaneSound(m_bMapWnd);
      m_pRendering->SetSpeakStatus(1);
    }
    m_bTalking = true;
    WriteLog(kLog, "CVideoWnd: RtspEvent1 start speak success, DevName=%s, gimbroId=%ld", m_DevInfo.DevName, gimbroId);
  }
  m_bTalkRequested = false;
}

long CVideoWnd::OpenSound() {
  if (m_bRelay && m_pRelayPlayer) {
    const long ret = m_bRelaySound ? m_pRelayPlayer->CloseSound() : m_pRelayPlayer->OpenSound();
    if (ret == 0) m_bRelaySound = !m_bRelaySound;
    return ret;
  }
  if (!m_pRendering) {
    WriteLog(kLog, "CVideoWnd::OpenSound(): refused, the pane shows nothing.");
    return -1;
  }
  const long ret = m_bSoundOn ? m_pRendering->ClosePaneSound(m_bMapWnd) : m_pRendering->OpenPaneSound(m_bMapWnd);
  if (ret != 0) {
    WriteLog(kLog, "CVideoWnd::OpenSound(): open sound failed, error=%d, DevName=%s", static_cast<int>(ret),
             m_DevInfo.DevName);
    return ret;
  }
  m_bSoundOn = !m_bSoundOn;
  WriteLog(kLog, m_bSoundOn ? "CVideoWnd::OpenSound(): open sound success, DevName=%s"
                            : "CVideoWnd::OpenSound(): close sound success, DevName=%s",
           m_DevInfo.DevName);
  return 0;
}

// ---------------------------------------------------------------------------
// Snapshot, recording, PTZ

long CVideoWnd::SnapShot(const CString& path) {
  if (!m_bWatching && !m_bRelay) {
    WriteLog(kLog, "Action: SnapShot refused. the select window is NULL.");
    return -1;
  }
  long ret = -1;
  if (m_pRendering) {
    ret = m_pRendering->SnapShot(path);
  } else if (m_pRelayPlayer) {
    ret = m_pRelayPlayer->SnapShot(path);
  } else {
    WriteLog(kLog, "Action SnapShot failed. RtspEvent is NULL.");
    return -1;
  }
  const char* name = m_bRelay ? m_RelayDev.DevName : m_DevInfo.DevName;
  WriteLog(kLog, ret == 0 ? "Action SnapShot Success. DeviceName = %s" : "Action SnapShot failed. DeviceName = %s", name);
  return ret == 0 ? 0 : -1;
}

long CVideoWnd::StartManualRec(const CString& folder) {
  CRtspEvents* events = nullptr;
  for (CRtspEvents* e : {m_DevInfo.pRtspEvent1, m_DevInfo.pRtspEvent2}) {
    if (!events && m_bWatching && e && e->GetStreamId() != 0 && e->Player(1) && e == m_pRendering) events = e;
  }
  if (!events) {
    WriteLog(kLog, "CVideoWnd::StartManualRec: refused, no stream shown. DevName=%s", m_DevInfo.DevName);
    return -1;
  }
  const int n = events == m_DevInfo.pRtspEvent1 ? 1 : 2;
  const long fileId = events->StartManualRecord(folder);
  if (fileId < 1) {
    WriteLog(kLog, "CVideoWnd::StartManualRec: DevName=%s, pRtspEvent%d start manual record failed. SavePath=%s",
             m_DevInfo.DevName, n, folder.c_str());
    return -1;
  }
  WriteLog(kLog, "CVideoWnd::StartManualRec: DevName=%s, pRtspEvent%d start manual record success. fileid=%ld, SavePath=%s",
           m_DevInfo.DevName, n, fileId, folder.c_str());
  m_bManualRec = true;
  m_pManualStream = events;
  m_strManualFolder = folder;
  return fileId;
}

long CVideoWnd::StopManualRec() {
  if (!m_bManualRec || !m_pManualStream) return -1;
  m_pManualStream->StopManualRecord();
  WriteLog(kLog, "CVideoWnd::StopManualRec: DevName=%s, pRtspEvent%d stop manual record success.", m_DevInfo.DevName,
           m_pManualStream == m_DevInfo.pRtspEvent1 ? 1 : 2);
  m_bManualRec = false;
  m_pManualStream = nullptr;
  return 0;
}

long CVideoWnd::SendPtzCommand(const CString& text) {
  if (!m_bWatching || !m_DevInfo.pGimbroCtrl) {
    WriteLog(kLog, "Action: ptz action refused. the select window is NULL.");
    return -1;
  }
  std::string command = text;
  if (m_DevInfo.DevType == kDevTypeNvr) {
    const auto wrapped = ptz::WrapForNvrChannel(m_DevInfo.CurNVRChannel, text);
    if (!wrapped) {
      WriteLog(kLog, "Action: ptz action failed, DevName=%s, PtzCmd=%s", m_DevInfo.DevName, text.c_str());
      return -1;
    }
    command = *wrapped;
  }
  const long ret = m_DevInfo.pGimbroCtrl->PtzCommand(m_DevInfo.GimbroId, command.c_str());
  WriteLog(kLog, ret >= 0 ? "Action: ptz action success, DevName=%s, PtzCmd=%s" : "Action: ptz action failed, DevName=%s, PtzCmd=%s",
           m_DevInfo.DevName, command.c_str());
  return ret;
}

std::string CVideoWnd::RelayKey(const PaneRelayDevice& dev) {
  return std::string(dev.MACAddr) + ":" + dev.IPAddr;
}

namespace {
constexpr int kRelayKindNvrChannel = 4;
}  // namespace

int CVideoWnd::RelayChannel(const PaneRelayDevice& dev) {
  if (dev.nKind == kRelayKindNvrChannel) {
    // "Channel-n": the number the relay answered the channel's video with.
    const char* dash = std::strrchr(dev.DevName, '-');
    return dash != nullptr ? std::atoi(dash + 1) : 0;
  }
  if (dev.nKind != 0) return 0;
  const size_t length = std::strlen(dev.DevName);
  if (length == 0) return 0;
  const char last = dev.DevName[length - 1];
  return last >= '0' && last <= '9' ? last - '0' : 0;
}

long CVideoWnd::SetRelayPtzDirection(int code, int panSpeed, int tiltSpeed) {
  if (!m_bRelay) return -1;
  return VideoHost().SetRelayPtzDirection(m_RelayDev, RelayKey(m_RelayDev), RelayChannel(m_RelayDev), code, panSpeed,
                                          tiltSpeed);
}

long CVideoWnd::SetRelayPtzAdvance(int command) {
  if (!m_bRelay) return -1;
  return VideoHost().SetRelayPtzAdvance(m_RelayDev, RelayKey(m_RelayDev), RelayChannel(m_RelayDev), command);
}

long CVideoWnd::RequestPresetList() {
  if (!g_nCurRights[0]) return -1;
  if (m_bWatching) {
    WriteLog(kLog, "CVideoWnd::get ptz preset list...");
    return SendPtzCommand("<xml>\n<cmd>GetPresetList</cmd>\n</xml>");
  }
  if (m_bRelay) return VideoHost().InvitePreset(m_RelayDev, RelayKey(m_RelayDev), RelayChannel(m_RelayDev));
  return -1;
}

// ---------------------------------------------------------------------------
// Stream switches

bool CVideoWnd::CanSwitch(const char* caller) const {
  if (m_bRelay) return true;
  if (!m_bWatching || m_DevInfo.DevType == 0) {
    WriteLog(kLog, "Action: switch CIF/D1 refused. the select window is NULL. (%s)", caller);
    return false;
  }
  return true;
}

long CVideoWnd::SwitchTo(const char* resolution, bool keepTalk) {
  if (m_nMouseMode != 0) VideoHost().SetZoomMode(0);
  DevInfo request = m_DevInfo;
  streamaddr::SetPaneResolution(request, false, resolution);
  if (keepTalk) {  // the old stream goes, the talk stays
    StopManualRec();
    const bool talking = m_bTalking;
    StopStreams("SwitchStream");
    m_bTalking = talking;
  }
  return AddWatch(&request, keepTalk ? TRUE : FALSE);
}

long CVideoWnd::SwitchCifD1() {
  if (!CanSwitch("SwitchCifD1")) return -1;
  if (m_bRelay) return m_RelayDev.Stream == 1 ? InviteRelaySubStream() : InviteRelayMainStream();
  const bool toSub = !ShowsSubStream();
  WriteLog(kLog, toSub ? "Action: switch D1 to CIF" : "Action: switch CIF to D1");
  return SwitchTo(toSub ? "cif" : "", false);
}

long CVideoWnd::AutoSwitchCIF() {
  if (!CanSwitch("AutoSwitchCIF") || m_bRelay || ShowsSubStream()) return -1;
  WriteLog(kLog, "CVideoWnd::AutoSwitchCIF(): switch main-stream to sub-stream");
  const long ret = SwitchTo("cif", false);
  if (ret == 0) m_bAutoSwitch = true;
  return ret;
}

long CVideoWnd::RecoverFromAutoSwitch() {
  if (!CanSwitch("RecoverFromAutoSwitch") || m_bRelay) return -1;
  WriteLog(kLog, "Action: switch cif to D1");
  m_bAutoSwitch = false;
  if (m_pGrid && m_pGrid->GetSelectedIndex() == m_nIndex) {
    VideoHost().SetToolButtonPicture(toolbar::kTalkButton, toolbar::kTalkOff, 0);
    VideoHost().SetToolButtonPicture(toolbar::kSoundButton, toolbar::kSoundOff, 0);
  }
  return SwitchTo("", false);
}

long CVideoWnd::AutoSwitchMainStream() {
  if (!CanSwitch("AutoSwitchMainStream") || m_bRelay || !ShowsSubStream()) return -1;
  WriteLog(kLog, "CVideoWnd::AutoSwitchMainStream(): switch sub-stream to main-stream");
  return SwitchTo("", false);
}

long CVideoWnd::AutoSwitchMainStreamTemporary() {
  const long ret = AutoSwitchMainStream();
  if (ret == 0) m_bTempMain = true;
  return ret;
}

long CVideoWnd::OnRecoverSubStream() {
  if (!m_bTempMain) return -1;
  m_bTempMain = false;
  if (!CanSwitch("OnRecoverSubStream") || m_bRelay) return -1;
  WriteLog(kLog, "CVideoWnd::OnRecoverSubStream(): switch mian-stream to sub-stream");
  return SwitchTo("cif", false);
}

// ---------------------------------------------------------------------------
// Display settings

void CVideoWnd::OnVideoFlip() {
  if (m_pRendering) m_pRendering->VideoFlip();
}

void CVideoWnd::SetMouseMode(long mode) {
  m_nMouseMode = mode;
  for (CRtspEvents* events : {m_DevInfo.pRtspEvent1, m_DevInfo.pRtspEvent2}) {
    if (events && events == m_pRendering) events->SetMouseMode(mode);
  }
  if (m_pRelayPlayer) m_pRelayPlayer->SetMouseMode(mode);
  UpdateCursor();
}

void CVideoWnd::SetFillScreen(BOOL flag) {
  if (m_pRendering) m_pRendering->SetFillScreen(flag);
  if (m_pRelayPlayer) m_pRelayPlayer->SetFillScreen(flag);
}

void CVideoWnd::ApplyKeepLastFrame(BOOL on) {
  if (m_pRendering) m_pRendering->ApplyKeepLastFrame(on);
  if (m_pRelayPlayer) m_pRelayPlayer->ApplyKeepLastFrame(on);
}

// ---------------------------------------------------------------------------
// Relay video

long CVideoWnd::OpenRelayVideo(const PaneRelayDevice& dev, long mainSessionId, long subSessionId,
                               const BYTE* videoBlock, long videoLength, const BYTE* audioBlock, long audioLength) {
  m_waiting.reset();
  if (m_bWatching) ClearWatchInfo();
  if (m_bRelay || m_pRelayPlayer) CloseRelayVideo();
  m_pRelayPlayer = std::make_shared<RelayVideoPlayer>(m_pPicture, g_nFullDisp);
  m_pRelayPlayer->SetVideoParam(videoBlock, videoLength);
  m_pRelayPlayer->SetAudioParam(audioBlock, audioLength);
  m_pRelayPlayer->SetMouseMode(m_nMouseMode);
  m_lRelayMainId = mainSessionId;
  m_lRelaySubId = subSessionId;
  m_bRelay = true;
  m_RelayDev = dev;
  m_RelayDev.State = (dev.State == 3 || dev.State == 4) ? 4 : 2;
  VideoHost().RegisterRelayRealData(RelayKey(dev), mainSessionId, subSessionId, m_pRelayPlayer);
  VideoHost().UpdateDevIcons();
  return 0;
}

void CVideoWnd::ResetRelayVideoInfo() {
  m_lRelayMainId = -1;
  m_lRelaySubId = -1;
  m_bRelay = false;
  m_bRelaySound = false;
  m_RelayDev = PaneRelayDevice{};
}

void CVideoWnd::CloseRelayVideo() {
  if (!m_bRelay && !m_pRelayPlayer) return;
  VideoHost().InviteCloseDeviceVideo(m_RelayDev, RelayKey(m_RelayDev), m_lRelayMainId, m_lRelaySubId);
  if (m_pRelayPlayer) m_pRelayPlayer->Close();
  m_pRelayPlayer.reset();
  ResetRelayVideoInfo();
  if (m_pPicture) m_pPicture->update();
}

CVideoWnd::RelayHandOver CVideoWnd::DetachRelayVideo() {
  RelayHandOver relay{std::move(m_pRelayPlayer), m_RelayDev, m_lRelayMainId, m_lRelaySubId, m_bRelaySound};
  ResetRelayVideoInfo();
  if (m_pPicture) m_pPicture->update();
  return relay;
}

void CVideoWnd::AttachRelayVideo(RelayHandOver relay) {
  m_waiting.reset();
  if (m_bWatching) ClearWatchInfo();
  if (m_bRelay || m_pRelayPlayer) CloseRelayVideo();
  if (!relay.player) return;
  m_pRelayPlayer = std::move(relay.player);
  m_pRelayPlayer->SetParentWindow(m_pPicture);
  m_pRelayPlayer->SetMouseMode(m_nMouseMode);
  m_RelayDev = relay.dev;
  m_lRelayMainId = relay.mainId;
  m_lRelaySubId = relay.subId;
  m_bRelaySound = relay.sound;
  m_bRelay = true;
}

long CVideoWnd::InviteRelayMainStream() {
  if (!m_bRelay) return -1;
  m_RelayDev.Stream = 1;
  return VideoHost().InviteDeviceVideo(m_RelayDev, RelayKey(m_RelayDev), 1, RelayChannel(m_RelayDev));
}

long CVideoWnd::InviteRelaySubStream() {
  if (!m_bRelay) return -1;
  m_RelayDev.Stream = 0;
  return VideoHost().InviteDeviceVideo(m_RelayDev, RelayKey(m_RelayDev), 0, RelayChannel(m_RelayDev));
}
