#include "harlen/pages/channels/dlg_rec_param.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QTreeWidget>
#include <cstdlib>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/sched_grid_model.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/channels/channel_tree.h"
#include "harlen/pages/channels/schedule_panel.h"
#include "harlen/pages/common/page_text.h"

namespace {

constexpr int kMediumQuality = 3;

const SchedulePanelIds kScheduleIds{CDlgRecParam::IDC_GRID,         CDlgRecParam::IDC_CHECK_SCHEDULE,
                                    CDlgRecParam::IDC_CHECK_ALLDAY, CDlgRecParam::IDC_COMBO_ALLDAY,
                                    {1136, 1137, 1138, 1140, 1139}, CDlgRecParam::IDC_BTN_COPY,
                                    0};

// The edits, their lengths and the record fields they store.
struct EditField {
  int id;
  int chars;
};
constexpr EditField kEdits[] = {{CDlgRecParam::IDC_EDIT_PRERECORD, 2},
                                {CDlgRecParam::IDC_EDIT_DURATION, 4},
                                {CDlgRecParam::IDC_EDIT_EXPIRY, 4},
                                {CDlgRecParam::IDC_EDIT_INTERVAL, 4}};

uint16_t* EditTarget(int id, int channel) {
  RecordParamEntry& record = g_ChannelCfg.recordParam.entries[channel];
  switch (id) {
    case CDlgRecParam::IDC_EDIT_PRERECORD: return &record.cachseconds;
    case CDlgRecParam::IDC_EDIT_DURATION: return &record.lastseconds;
    case CDlgRecParam::IDC_EDIT_EXPIRY: return &record.expiredays;
    case CDlgRecParam::IDC_EDIT_INTERVAL: return &g_ChannelCfg.pictureParam.entries[channel].interval;
    default: return nullptr;
  }
}

void SetNumber(const CWnd* wnd, int id, int value) {
  if (auto* edit = DlgItem<QLineEdit>(wnd, id)) edit->setText(QString::number(value));
}

}  // namespace

CDlgRecParam::CDlgRecParam(QWidget* parent)
    : CRgbPage(IDD, parent),
      m_pSchedule(std::make_unique<SchedulePanel>(
          this, kScheduleIds, g_ChannelCfg.pictureScheme, [this] { return CurrentChannel(); },
          [] { return static_cast<int>(g_ChannelCfg.displayCount); })) {}

CDlgRecParam::~CDlgRecParam() = default;

BOOL CDlgRecParam::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pTree = DlgItem<QTreeWidget>(this, IDC_TREE);
  SetUpChannelTree(m_pTree, this, [this] { ShowChannel(); });
  m_pSchedule->SetUp(LoadStrings(IDS_GRAB_TIMED, IDS_GRAB_TIMED + 4));
  for (int id : {IDC_COMBO_REC_STREAM, IDC_COMBO_GRAB_STREAM}) FillDropList(this, id, LoadStrings(IDS_MAIN_STREAM, IDS_SUB_STREAM));
  FillDropList(this, IDC_COMBO_QUALITY, LoadStrings(IDS_QUALITY_LOWEST, IDS_QUALITY_HIGHEST));
  SetCurSel(this, IDC_COMBO_QUALITY, kMediumQuality);
  for (const EditField& field : kEdits) {
    if (auto* edit = DlgItem<QLineEdit>(this, field.id)) {
      edit->setMaxLength(field.chars);
      edit->setValidator(new QIntValidator(0, 9999, edit));
      const int id = field.id;
      QObject::connect(edit, &QLineEdit::textEdited, this, [this, id] { OnEdit(id); });
    }
  }
  for (int id : {IDC_COMBO_REC_STREAM, IDC_COMBO_GRAB_STREAM, IDC_COMBO_QUALITY}) {
    if (auto* list = DlgItem<QComboBox>(this, id)) {
      QObject::connect(list, &QComboBox::currentIndexChanged, this, [this, id] { OnList(id); });
    }
  }
  for (int id : {IDC_CHECK_RECORD, IDC_CHECK_AUDIO, IDC_CHECK_GRAB}) OnClicked(id, [this, id] { OnCheck(id); });
  return TRUE;
}

LRESULT CDlgRecParam::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SCHEDULE_CHANGED) {
    m_pSchedule->ReadBack();
    return 0;
  }
  return CRgbPage::OnMessage(msg, wParam, lParam);
}

void CDlgRecParam::FillFromConfig() { FillChannelTree(m_pTree, kNvrChannels); }

int CDlgRecParam::CurrentChannel() const { return SelectedChannel(m_pTree); }

void CDlgRecParam::ShowChannel() {
  const int channel = CurrentChannel();
  if (channel < 0) return;
  // Copied first: the lists' change handlers store as they are shown.
  const RecordParamEntry record = g_ChannelCfg.recordParam.entries[channel];
  const PictureParamEntry picture = g_ChannelCfg.pictureParam.entries[channel];
  CheckDlgButton(this, IDC_CHECK_RECORD, record.enable != 0);
  PostClick(IDC_CHECK_RECORD);
  SetCurSel(this, IDC_COMBO_REC_STREAM, record.stream);
  SetNumber(this, IDC_EDIT_PRERECORD, record.cachseconds);
  SetNumber(this, IDC_EDIT_DURATION, record.lastseconds);
  SetNumber(this, IDC_EDIT_EXPIRY, record.expiredays);
  CheckDlgButton(this, IDC_CHECK_AUDIO, record.audioenable != 0);
  CheckDlgButton(this, IDC_CHECK_GRAB, picture.enable != 0);
  PostClick(IDC_CHECK_GRAB);
  SetCurSel(this, IDC_COMBO_GRAB_STREAM, picture.stream);
  SetCurSel(this, IDC_COMBO_QUALITY, picture.quality);
  SetNumber(this, IDC_EDIT_INTERVAL, picture.interval);
  g_ChannelCfg.recordParam.entries[channel] = record;
  g_ChannelCfg.pictureParam.entries[channel] = picture;
  m_pSchedule->Show();
}

void CDlgRecParam::OnCheck(int id) {
  const bool checked = IsDlgButtonChecked(this, id);
  if (id == IDC_CHECK_RECORD) {
    EnableDlgItems(this, {IDC_EDIT_EXPIRY, IDC_EDIT_PRERECORD, IDC_COMBO_REC_STREAM, IDC_CHECK_AUDIO, IDC_EDIT_DURATION},
                   checked);
  } else if (id == IDC_CHECK_GRAB) {
    EnableDlgItems(this, {IDC_COMBO_GRAB_STREAM, IDC_COMBO_QUALITY, IDC_EDIT_INTERVAL}, checked);
  }
  const int channel = CurrentChannel();
  if (channel < 0) return;  // before the first fill only the enable states change
  const uint16_t value = checked ? 1 : 0;
  switch (id) {
    case IDC_CHECK_RECORD: g_ChannelCfg.recordParam.entries[channel].enable = value; break;
    case IDC_CHECK_AUDIO: g_ChannelCfg.recordParam.entries[channel].audioenable = value; break;
    case IDC_CHECK_GRAB: g_ChannelCfg.pictureParam.entries[channel].enable = value; break;
    default: break;
  }
}

void CDlgRecParam::OnList(int id) {
  const int channel = CurrentChannel();
  const int index = GetCurSel(this, id);
  if (channel < 0 || index < 0) return;
  const auto value = static_cast<uint16_t>(index);
  switch (id) {
    case IDC_COMBO_REC_STREAM: g_ChannelCfg.recordParam.entries[channel].stream = value; break;
    case IDC_COMBO_GRAB_STREAM: g_ChannelCfg.pictureParam.entries[channel].stream = value; break;
    case IDC_COMBO_QUALITY: g_ChannelCfg.pictureParam.entries[channel].quality = value; break;
    default: break;
  }
}

void CDlgRecParam::OnEdit(int id) {
  const int channel = CurrentChannel();
  auto* edit = DlgItem<QLineEdit>(this, id);
  uint16_t* field = channel >= 0 ? EditTarget(id, channel) : nullptr;
  if (field == nullptr || edit == nullptr) return;
  *field = static_cast<uint16_t>(std::atoi(QTextAnsi(edit->text()).c_str()));  // not a number: 0
}
