// The record search page: creation, the form, device choice, the query and
// the paged result list.
#include "records/search/search_rec_dlg.h"
#include "records/search/search_rec_dlg_download.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <array>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QSignalBlocker>
#include <cstdio>
#include <cstring>

#include "core/client_log.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "core/res_msg_dlg.h"
#include "core/startup_settings.h"
#include "core/user_settings.h"
#include "live/live_messages.h"
#include "live/toolbar/video_toolbar_dlg.h"
#include "maker/morvik/morvik.h"
#include "platform/control_id.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/rec_file_source.h"
#include "records/search/rec_day_map.h"
#include "records/search/rec_save_folder.h"
#include "records/search/search_form.h"
#include "records/search/search_rec_strings.h"
#include "ui/image_button.h"
#include "ui/skin_group_box.h"
#include "ui/sort_list_ctrl.h"
#include "ui/transparent_static.h"

using namespace searchrec;

namespace {

const char* const kPickerFormat = "yyyy-MM-dd    HH:mm:ss";
constexpr int kColumnPadding = 16;  // a list cell's margins and grid line

RecSearchTime TimeOf(const QDateTime& when) {
  RecSearchTime t;
  t.nYear = when.date().year();
  t.nMonth = when.date().month();
  t.nDay = when.date().day();
  t.nHour = when.time().hour();
  t.nMinute = when.time().minute();
  t.nSecond = when.time().second();
  return t;
}

}  // namespace

CSearchRecDlg::CSearchRecDlg(QWidget* parent) : CDialog(IDD, parent) {
  for (auto& row : m_nPlayerRow) row = -1;
  InitDownloads();
}

CSearchRecDlg::~CSearchRecDlg() {
  ReleasePlayers();
  m_download.reset();  // before the page's side of it
}

// --- creation ---

BOOL CSearchRecDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  InitTexts();
  InitCombos();
  const QDate today = QDate::currentDate();
  for (int id : {IDC_FROM, IDC_TO, IDC_SYNC_TIME, IDC_QUERY_DAY}) {
    auto* picker = qobject_cast<QDateTimeEdit*>(GetDlgItem(id));
    if (!picker) continue;
    picker->setDisplayFormat(id == IDC_QUERY_DAY ? "yyyy-MM-dd" : id == IDC_SYNC_TIME ? "HH:mm:ss" : kPickerFormat);
    picker->setDateTime(QDateTime(today, id == IDC_TO ? QTime(23, 59, 59) : QTime(0, 0, 0)));
  }
  for (int id : {IDC_MIN_SIZE, IDC_MAX_SIZE}) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) edit->setText("-1");
  }

  // Result list: four columns from its width, the last three wide enough for
  // their titles and the texts they show.
  m_pResultList = ReplaceDlgItem(IDC_RESULT_LIST, new CSortListCtrl(this));
  const QFontMetrics metrics(m_pResultList->font());
  auto least = [&metrics](std::initializer_list<QString> texts) {
    int width = 0;
    for (const QString& text : texts) width = std::max(width, metrics.horizontalAdvance(text));
    return width + kColumnPadding;
  };
  const std::array<int, 3> narrow = {
      least({LoadStringW(IDS_FILE_SIZE_BYTES), QStringLiteral("999999999")}),
      least({LoadStringW(IDS_DOWNLOAD_STATUS), LoadStringW(IDS_DOWNLOADING), LoadStringW(IDS_DOWNLOAD_COMPLETE),
             LoadStringW(IDS_DOWNLOAD_FAILED), LoadStringW(IDS_STOP_DOWNLOAD)}),
      least({LoadStringW(IDS_PLAY_STATUS), LoadStringW(IDS_WINDOW) + QStringLiteral("4:") + LoadStringW(IDS_PLAYING)})};
  const std::string columns = ResultColumns(m_pResultList->width(), LoadStringA(IDS_FILE_PATH),
                                            LoadStringA(IDS_FILE_SIZE_BYTES), LoadStringA(IDS_DOWNLOAD_STATUS),
                                            LoadStringA(IDS_PLAY_STATUS), narrow);
  m_pResultList->SetColumnHeader(columns);
  m_pResultList->SetGridLines(TRUE);
  m_pResultList->SetCheckboxes(1);

  InitPlayers();
  InitChildWindows();

  OnClicked(IDC_QUERY, [this] { OnBnClickedBtnSearch(); });
  OnClicked(IDC_PRE_PAGE, [this] { OnBnClickedBtnPrePage(); });
  OnClicked(IDC_NEXT_PAGE, [this] { OnBnClickedBtnNextPage(); });
  OnClicked(IDC_FILE_MODE, [this] { OnBnClickedBtnFileMode(); });
  OnClicked(IDC_TIME_MODE, [this] { OnBnClickedBtnTimeMode(); });
  OnClicked(IDC_SYNC_CHECK, [this] { OnBnClickedChkSyncPlay(); });
  OnClicked(IDC_SYNC_PLAY, [this] { OnBnClickedBtnSyncPlay(); });
  OnClicked(IDC_STOP_DOWNLOAD, [] {});
  OnClicked(IDC_DOWNLOAD, [this] { OnBnClickedDownload(); });
  if (auto* source = qobject_cast<QComboBox*>(GetDlgItem(IDC_SOURCE))) {
    QObject::connect(source, &QComboBox::activated, this, [this] { OnSelChangeSource(); });
  }
  QObject::connect(m_pResultList, &QAbstractItemView::doubleClicked, this, [this] { OnDblClkResultList(); });
  if (auto* media = qobject_cast<QComboBox*>(GetDlgItem(IDC_MEDIA_TYPE))) {
    QObject::connect(media, &QComboBox::activated, this, [this] { OnSelChangeMediaType(); });
  }

  // The places of the form's controls in the template: the layout moves them
  // with the playback area.
  for (QObject* child : children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    const int id = widget ? ctrlid::Of(widget) : 0;
    if (id != 0 && id < kFirstPlayerId) m_panelPlaces[id] = widget->geometry();
  }
  m_rcNormal = RECT{0, 0, width(), height()};
  m_rcPlayArea = m_rcNormal;
  m_bInited = true;
  LayoutPage();
  OnBnClickedBtnFileMode();
  EnableControl(IDC_SYNC_TIME, false);
  EnableControl(IDC_SYNC_PLAY, false);
  if (auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_SYNC_CHECK))) check->setChecked(false);
  return TRUE;
}

void CSearchRecDlg::InitTexts() {
  for (const ControlText& t : kLabelTexts) {
    auto* label = ReplaceDlgItem(t.id, new CTransparentStatic(this));
    label->SetTextW(t.text ? LoadStringW(t.text).toStdWString() : CStringW());
  }
  // The time line's legend in the colours of its bars, and its hints in grey,
  // light enough to be read on the page.
  const std::pair<int, QColor> legend[] = {{IDC_LEGEND_ALARM, QColor(255, 112, 112)}, {IDC_LEGEND_PLAN, QColor(96, 220, 96)},
                                           {IDC_LEGEND_NONE, QColor(192, 192, 192)}, {IDC_TIME_HINT, QColor(192, 192, 192)}};
  for (const auto& [id, colour] : legend) {
    if (QWidget* label = GetDlgItem(id)) {
      QPalette colours = label->palette();
      colours.setColor(QPalette::WindowText, colour);
      label->setPalette(colours);
    }
  }
  auto* box = ReplaceDlgItem(IDC_GROUP, new CTGroupBox(this));
  box->setTitle(LoadStringW(IDS_RECORD_QUERY));
  box->lower();
  for (const ButtonText& b : kButtonTexts) {
    auto* button = ReplaceDlgItem(b.id, new CImageButton(this));
    button->SetImageResource(b.image, "PNG");
    button->SetCaptionW(LoadStringW(b.text).toStdWString());
  }
  EnableControl(IDC_DOWNLOAD, false);
  EnableControl(IDC_STOP_DOWNLOAD, false);
  if (auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_SYNC_CHECK))) check->setText(LoadStringW(IDS_SYNC_PLAY));
}

void CSearchRecDlg::InitCombos() {
  RefillCombo(IDC_SOURCE, {IDS_LOCAL_RECORD, IDS_FRONT_END_RECORD}, -1);
  RefillCombo(IDC_REC_TYPE, {IDS_ALL, IDS_SCHEDULE_RECORD, IDS_IO_ALARM, IDS_MOTION_DETECT}, -1);
  RefillCombo(IDC_MEDIA_TYPE, {IDS_VIDEO, IDS_AUDIO_VIDEO}, -1);
  RefillCombo(IDC_STREAM, {IDS_ALL, IDS_MAIN_STREAM, IDS_SUB_STREAM}, -1);
}

void CSearchRecDlg::RefillCombo(int id, const std::vector<UINT>& texts, int keep) {
  auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
  if (!combo) return;
  const QSignalBlocker block(combo);
  combo->clear();
  for (UINT text : texts) combo->addItem(LoadStringW(text));
  combo->setCurrentIndex(keep >= 0 && keep < combo->count() ? keep : 0);
}

void CSearchRecDlg::InitPlayers() {
  Morvik_SetFileSourceFactory(MakeRecFileSource);
  const std::string snapFolder = paths::ProgramFolder() + "Picture";
  const int snapKind = g_nLanguage == 1 || g_nLanguage == 2 || g_nLanguage == 3 || g_nLanguage == 5 ? 1 : 0;
  std::lock_guard<std::mutex> lock(m_csFeed);
  for (int i = 0; i < kPlayers; ++i) {
    auto* player = new CPlayBackAtl(this, kFirstPlayerId + i);
    player->Advise(this);
    player->installEventFilter(this);  // the mouse over a player (eventFilter)
    player->show();
    player->SetFillScreen(g_nFullDisp);
    player->SelectSnapKind(snapKind);
    player->SetSnapPath(snapKind, snapFolder.c_str());
    m_pPlayer[i] = player;
    m_engines[i] = player->Engine();
  }
}

void CSearchRecDlg::InitChildWindows() {
  if (m_makeDeviceList) {
    m_pDeviceList = m_makeDeviceList(this);
    if (m_pDeviceList) m_pDeviceList->hide();
  }
  m_pTimeBar = new CPlayBackTollBar(GetSafeHwnd(), this);
  m_pTimeBar->Create(CPlayBackTollBar::IDD, this);
  m_pTimeBar->show();
  WriteLog(6, "CPlatformRecDlg::OnInitDialog(): End create playback toolbar...");
  if (m_pToolbarHost) {
    m_pToolbar = new CVideoToolbarDlg(this, vtb::kPagePlayback, m_pToolbarHost);
    m_pToolbar->Create(CVideoToolbarDlg::IDD, this);
    m_pToolbar->ShowLiveButtons(0, 1);
    m_pToolbar->ShowPlaybackButtons(1);
    m_pToolbar->hide();
  }
  m_bChildrenReady = TRUE;
}

// --- helpers ---

void CSearchRecDlg::ShowMsg(UINT stringId) {
  if (m_pMsgDlg) m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2, 0);
}

void CSearchRecDlg::SetStatusText(const std::string& text) {
  if (auto* status = dynamic_cast<CTransparentStatic*>(GetDlgItem(IDC_STATUS))) status->SetText(text);
}

void CSearchRecDlg::EnableControl(int id, bool on) {
  if (QWidget* control = GetDlgItem(id)) control->setEnabled(on);
}

std::string CSearchRecDlg::PageStatusText() const {
  char text[512];
  std::snprintf(text, sizeof(text), "%s %d %s, %s %d %s", LoadStringA(IDS_TOTAL).c_str(), m_nPageCount,
                LoadStringA(IDS_PAGES).c_str(), LoadStringA(IDS_CURRENT_PAGE).c_str(), m_nCurPage,
                LoadStringA(IDS_PAGES).c_str());
  return text;
}

void CSearchRecDlg::ClearResults() {
  if (m_pResultList) m_pResultList->DeleteAllItems();
}

RecFileQuery CSearchRecDlg::ReadForm() const {
  RecFileQuery query;
  if (auto* from = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_FROM))) query.start = TimeOf(from->dateTime());
  if (auto* to = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_TO))) query.end = TimeOf(to->dateTime());
  auto index = [this](int id) {
    auto* combo = qobject_cast<QComboBox*>(GetDlgItem(id));
    return combo ? combo->currentIndex() : 0;
  };
  query.nSource = index(IDC_SOURCE);
  query.nRecType = index(IDC_REC_TYPE);
  query.nMediaType = index(IDC_MEDIA_TYPE);
  query.nStream = index(IDC_STREAM);
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_MIN_SIZE))) query.strMinSize = edit->text().toStdString();
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_MAX_SIZE))) query.strMaxSize = edit->text().toStdString();
  return query;
}

// --- device choice ---

BOOL CSearchRecDlg::SetSearchDevInfo(DevInfo* pDevInfo) {
  if (IsDownloading()) {
    WriteLog(6, "SetSearchDevInfo: search record refused. m_bDownload=true.");
    return FALSE;
  }
  if (m_bSearching || !pDevInfo) return FALSE;
  if (m_bTimeMode) {
    SetDayRow(*pDevInfo);
    return TRUE;
  }
  RefillCombo(IDC_SOURCE, {IDS_LOCAL_RECORD, IDS_FRONT_END_RECORD}, -1);
  OnSelChangeSource();
  ClearFormForDevice();
  m_devInfo = *pDevInfo;
  if (auto* label = dynamic_cast<CTransparentStatic*>(GetDlgItem(IDC_DEVICE))) label->SetText(FixedText(m_devInfo.DevId));
  m_strSaveFolder = RecSaveFolder(m_devInfo, g_lstRecSchemeInfo);
  ShowPlaybackHint();
  CreateSaveFolder(m_strSaveFolder);
  m_bVssDevice = 0;
  return TRUE;
}

void CSearchRecDlg::ClearFormForDevice() {
  m_nPlayerRow.fill(-1);
  EnableControl(IDC_PRE_PAGE, false);
  EnableControl(IDC_NEXT_PAGE, false);
  SetStatusText("");
  ClearResults();
  EnableControl(IDC_STOP_DOWNLOAD, false);
}

void CSearchRecDlg::ShowPlaybackHint() {
  if (auto* hint = dynamic_cast<CTransparentStatic*>(GetDlgItem(IDC_HINT)); hint && hint->text().isEmpty()) {
    hint->SetTextW(LoadStringW(IDS_DBLCLICK_PLAYBACK).toStdWString());
  }
}

void CSearchRecDlg::SetDayRow(const DevInfo& dev) {
  const int slot = m_slots.FindFreeRow();
  if (slot < 0) return;
  const int channel = DayRowChannel(dev);
  char key[32];
  SlotDeviceKey(dev, g_nLoginType != 0, key);
  if (m_slots.ShowsDevice(key, channel)) {
    WriteLog(6, "SetSearchDevInfo: search record refused. the device in m_oPBStatus list.");
    return;
  }
  QDate day = QDate::currentDate();
  if (auto* picker = qobject_cast<QDateTimeEdit*>(GetDlgItem(IDC_QUERY_DAY))) day = picker->date();
  PlaybackStatus filled;
  CopyFixedText(filled.day.szDevIp, dev.IPAddr);
  filled.day.wYear = static_cast<WORD>(day.year());
  filled.day.wMonth = static_cast<WORD>(day.month());
  filled.day.byDay = static_cast<BYTE>(day.day());
  ResetDayMap(filled.day.szDayMap);
  filled.nChannel = channel;
  std::memcpy(filled.szDevKey, key, sizeof(key));
  if (dev.DevType == kDevTypeNvr) {
    SearchNVRRecByDate(dev, filled.day, channel);
  } else {
    CRecDayMapBuilder(g_lstRecSchemeInfo).SearchLocalRecByDate(&filled.day, channel);
  }
  filled.nRow = slot;
  filled.nYear = day.year();
  filled.nMonth = day.month();
  filled.nDay = day.day();
  {
    std::lock_guard<std::mutex> lock(m_csFeed);
    m_slots.vss[slot] = VssPlaybackStatus{};
    m_slots.pb[slot] = std::move(filled);
  }
  if (m_pTimeBar) {
    m_pTimeBar->ClearRow(slot);
    m_pTimeBar->SetRow(m_slots.pb[slot].day.szDayMap, dev.DevName, slot);
    m_pTimeBar->SetRowDate(slot, day.year(), day.month(), day.day());
  }
  ++m_slots.nNextRow;
}

// --- query and pages ---

void CSearchRecDlg::OnBnClickedBtnSearch() {
  if (m_devInfo.DevName[0] == '\0' && m_vssDevice.IPAddr[0] == '\0') {
    ShowMsg(IDS_SELECT_DEVICE);
    return;
  }
  const RecFileQuery form = ReadForm();
  if (IsLater(form.start, form.end)) {
    ShowMsg(IDS_WRONG_TIME_RANGE);
    return;
  }
  KillTimer(kPlayStatusTimer);
  m_nPlayerRow.fill(-1);
  EnableControl(IDC_PRE_PAGE, false);
  EnableControl(IDC_NEXT_PAGE, false);
  m_nCurPage = 1;
  m_nPageIndex = 0;
  m_nPageCount = 0;
  SetStatusText("");
  ClearResults();
  EnableControl(IDC_STOP_DOWNLOAD, false);
  SetStatusText(LoadStringA(IDS_SEARCHING));
  m_bSearching = TRUE;
  if (m_bVssDevice) {
    // The peer's answer fills the list (OnSearchRecFileResult).
    if (!SearchVssRecByFile(m_nPageIndex)) {
      m_bSearching = FALSE;
      SetStatusText("");
    }
    return;
  }
  if (form.nSource == 0) {
    WriteLog(6, "CSearchRecDlg::OnBnClickedBtnSearch():Begin search local record file.");
    const int result = SearchLocalRecFile();
    m_bSearching = FALSE;
    if (result != 0) {
      SetStatusText("");
      return;
    }
    m_nTotalCount = static_cast<int>(m_lstResult.size());
    ShowResultPage();
    m_nPageCount = PageCount(static_cast<int>(m_lstResult.size()));
    if (m_nPageCount == 0) {
      SetStatusText("");
      return;
    }
    SetStatusText(PageStatusText());
    const bool more = m_lstResult.size() > static_cast<size_t>(kRowsPerPage);
    EnableControl(IDC_NEXT_PAGE, more);
    if (!more) EnableControl(IDC_PRE_PAGE, false);
    return;
  }
  WriteLog(6, "CSearchRecDlg::OnBnClickedBtnSearch():Begin search remote record file.");
  if (const int sent = SearchRemoteRecFile(m_nPageIndex); sent != 0) {
    m_bSearching = FALSE;
    ShowMsg(sent == kSearchTooLong ? IDS_SIZE_TOO_LONG : IDS_NETWORK_TIMEOUT);
    SetStatusText("");
    return;
  }
  EnableControl(IDC_PRE_PAGE, true);
  EnableControl(IDC_NEXT_PAGE, true);
  SetTimer(kSearchWaitTimer, kSearchWaitMs);
}

int CSearchRecDlg::SearchLocalRecFile() {
  int msgId = 0;
  const int result = CRecFileSearch(g_lstRecSchemeInfo).SearchLocalRecFile(m_devInfo, ReadForm(), m_lstResult, &msgId);
  if (result != 0) {
    if (msgId) ShowMsg(static_cast<UINT>(msgId));
    return -1;
  }
  for (const RecFileItem& item : m_lstResult) {
    WriteLog(6, "FindRecFile: %s", item.strFilePath.c_str());
  }
  if (!m_lstResult.empty()) EnableControl(IDC_STOP_DOWNLOAD, true);
  return 0;
}

int CSearchRecDlg::ShowResultPage() {
  ClearResults();
  m_bSearching = FALSE;
  if (m_lstResult.empty()) {
    ShowMsg(IDS_RESULT_EMPTY);
    SetStatusText("");
    return -1;
  }
  m_nFirstRecord = 0;
  FillPage(0);
  m_nPageCount = PageCount(m_nTotalCount);
  if (m_nPageCount == 0) {
    SetStatusText("");
    return -1;
  }
  EnableControl(IDC_NEXT_PAGE, m_nPageCount > 1 && m_nCurPage < m_nPageCount);
  if (m_nPageCount < 2) EnableControl(IDC_PRE_PAGE, false);
  SetStatusText(PageStatusText());
  return 0;
}

void CSearchRecDlg::FillPage(int firstRecord) {
  if (!m_pResultList) return;
  m_pResultList->setUpdatesEnabled(false);
  m_pResultList->DeleteAllItems();
  const bool localFiles = SourceIndex() == 0 && !m_bVssDevice;
  int position = 0;
  for (const RecFileItem& item : m_lstResult) {
    ++position;
    if (position <= firstRecord) continue;
    if (m_pResultList->GetItemCount() >= kRowsPerPage) break;
    const int row = m_pResultList->InsertItem(m_pResultList->GetItemCount(), item.strFilePath);
    // A local recording shows the file's path on this machine; the row keeps
    // the program's own form, which playing and downloading it use. The paths
    // of an NVR or a peer are theirs and shown as they come.
    if (localFiles) m_pResultList->SetItemShownText(row, QString::fromStdString(paths::NativePath(item.strFilePath)));
    m_pResultList->SetItemText(row, 1, item.strFileSize);
  }
  m_pResultList->setUpdatesEnabled(true);
}

int CSearchRecDlg::SourceIndex() const {
  auto* source = qobject_cast<QComboBox*>(GetDlgItem(IDC_SOURCE));
  return source ? source->currentIndex() : 0;
}

void CSearchRecDlg::OnBnClickedBtnPrePage() {
  m_nPlayerRow.fill(-1);
  if (SourceIndex() == 1) {
    if (m_nPageIndex - 1 < 0) {
      m_nPageIndex = 0;
      return;
    }
    --m_nPageIndex;
    --m_nCurPage;
    SearchRemoteRecFile(m_nPageIndex);
  } else {
    KillTimer(kPlayStatusTimer);
    m_nFirstRecord = std::max(0, m_nFirstRecord - kRowsPerPage);
    FillPage(m_nFirstRecord);
    m_nCurPage = std::max(1, m_nCurPage - 1);
    SetStatusText(PageStatusText());
  }
  EnableControl(IDC_NEXT_PAGE, m_nCurPage < m_nPageCount);
  EnableControl(IDC_PRE_PAGE, m_nCurPage > 1);
}

void CSearchRecDlg::OnBnClickedBtnNextPage() {
  m_nPlayerRow.fill(-1);
  if (SourceIndex() == 1) {
    ++m_nPageIndex;
    ++m_nCurPage;
    SearchRemoteRecFile(m_nPageIndex);
  } else {
    KillTimer(kPlayStatusTimer);
    m_nFirstRecord += kRowsPerPage;
    FillPage(m_nFirstRecord);
    ++m_nCurPage;
    SetStatusText(PageStatusText());
  }
  EnableControl(IDC_NEXT_PAGE, m_nCurPage < m_nPageCount);
  EnableControl(IDC_PRE_PAGE, m_nCurPage > 1);
}

// --- form reactions ---

void CSearchRecDlg::OnSelChangeSource() {
  auto* source = qobject_cast<QComboBox*>(GetDlgItem(IDC_SOURCE));
  auto* media = qobject_cast<QComboBox*>(GetDlgItem(IDC_MEDIA_TYPE));
  const int keep = media ? media->currentIndex() : 0;
  if (!source || source->currentIndex() == 0) {
    EnableControl(IDC_DOWNLOAD, false);
    RefillCombo(IDC_MEDIA_TYPE, {IDS_VIDEO, IDS_AUDIO_VIDEO}, keep < 2 ? keep : 0);
    EnableControl(IDC_TIME_MODE, true);
  } else {
    RefillCombo(IDC_MEDIA_TYPE, {IDS_VIDEO, IDS_AUDIO_VIDEO, IDS_PICTURE}, keep);
    EnableControl(IDC_TIME_MODE, false);
  }
  OnSelChangeMediaType();
}

void CSearchRecDlg::OnSelChangeMediaType() {
  auto* media = qobject_cast<QComboBox*>(GetDlgItem(IDC_MEDIA_TYPE));
  EnableControl(IDC_STREAM, !media || media->currentIndex() != 2);
}

void CSearchRecDlg::OnBnClickedChkSyncPlay() {
  auto* check = qobject_cast<QCheckBox*>(GetDlgItem(IDC_SYNC_CHECK));
  const bool on = check && check->isChecked();
  EnableControl(IDC_SYNC_TIME, on);
  EnableControl(IDC_SYNC_PLAY, on);
}

// --- messages and timers ---

LRESULT CSearchRecDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_REMOTE_RECFILE_RESPONSE:
      return OnSearchRemoteRecFileResponse(lParam ? reinterpret_cast<const char*>(lParam) : "");
    case WM_NVR_RECDAY_RESPONSE:
      return OnQueryNVRRecFileResponse(static_cast<LONG>(wParam), lParam ? reinterpret_cast<const char*>(lParam) : "");
    case WM_FILE_TRANSFER_EVENT:
      return OnFileTransferEvent(static_cast<LONG>(wParam), static_cast<LONG>(lParam));
    case WM_PLAYER_OPTION_RESET:
      ResetPlayerOption(static_cast<int>(wParam));
      return 0;
    case WM_PLAYBACK_DBLCLICK:
      OnPlaybackDblClick(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case WM_TIMEBAR_NOTIFY:
      return 0;
    default:
      return CDialog::OnMessage(msg, wParam, lParam);
  }
}

void CSearchRecDlg::OnTimer(UINT_PTR id) {
  if (id == kDownloadTimer) {
    OnDownloadTimer();
    return;
  }
  if (id == kSearchWaitTimer) {
    OnSearchWaitTimer();
    return;
  }
  if (id != kPlayStatusTimer) {
    CDialog::OnTimer(id);
    return;
  }
  for (int p = 0; p < kPlayers; ++p) {
    if (!m_pPlayer[p] || m_nPlayerRow[p] < 0 || !m_pResultList) continue;
    std::string text;
    if (m_pPlayer[p]->IsPlaying()) {
      text = LoadStringA(IDS_WINDOW) + std::to_string(p + 1) + ":" + LoadStringA(IDS_PLAYING);
    }
    m_pResultList->SetItemText(m_nPlayerRow[p], 3, text);
  }
}
