#include "harlen/pages/channels/dlg_param_config.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QSpinBox>
#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/sched_grid_model.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/channels/channel_tree.h"
#include "harlen/pages/channels/schedule_panel.h"
#include "harlen/pages/common/dlg_copy_to.h"

namespace {

constexpr int kMinFps = 1;
constexpr int kMaxFps = 25;

QStringList Items(std::initializer_list<const char*> texts) {
  QStringList items;
  for (const char* text : texts) items << QString::fromUtf8(text);
  return items;
}

const SchedulePanelIds kScheduleIds{CDlgParamConfig::IDC_GRID,      CDlgParamConfig::IDC_CHECK_RECORD,
                                    CDlgParamConfig::IDC_CHECK_ALLDAY, CDlgParamConfig::IDC_COMBO_ALLDAY,
                                    {1060, 1061, 1062, 1064, 1063},    CDlgParamConfig::IDC_BTN_COPY_SCHEDULE,
                                    CDlgParamConfig::IDC_COMBO_DELAY};

}  // namespace

CDlgParamConfig::CDlgParamConfig(QWidget* parent)
    : CRgbPage(IDD, parent),
      m_pSchedule(std::make_unique<SchedulePanel>(
          this, kScheduleIds, g_ChannelCfg.recordScheme, [this] { return CurrentChannel(); },
          [] { return static_cast<int>(g_ChannelCfg.displayCount); })) {}

CDlgParamConfig::~CDlgParamConfig() = default;

BOOL CDlgParamConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pTree = DlgItem<QTreeWidget>(this, IDC_TREE);
  SetUpChannelTree(m_pTree, this, [this] { ShowChannel(); });
  FillDropList(this, IDC_COMBO_STREAM, LoadStrings(IDS_MAIN_STREAM, IDS_EVENT_STREAM));
  FillDropList(this, IDC_COMBO_STREAM_TYPE, LoadStrings(IDS_VIDEO_STREAM, IDS_VIDEO_STREAM + 1));
  FillDropList(this, IDC_COMBO_RESOLUTION,
               Items({"QCIF", "256*192", "288*192", "320*192", "352*192", "QVGA", "CIF", "480*270", "640*360", "VGA",
                      "D1", "960H", "720P", "960P", "1080P", "1200P", "3MP", "5MP"}));
  FillDropList(this, IDC_COMBO_RATE_TYPE, LoadStrings(IDS_RATE_CONSTANT, IDS_RATE_CONSTANT + 1));
  FillDropList(this, IDC_COMBO_RATE_LIMIT,
               Items({"16Kbps", "32Kbps", "48Kbps", "64Kbps", "80Kbps", "96Kbps", "128Kbps", "160Kbps", "192Kbps",
                      "224Kbps", "256Kbps", "320Kbps", "384Kbps", "448Kbps", "512Kbps", "640Kbps", "768Kbps",
                      "896Kbps", "1024Kbps", "1280Kbps", "1536Kbps", "1792Kbps", "2048Kbps",
                      "Self-Define(16-8000Kbps)"}));
  ReplaceDlgItem(IDC_EDIT_RATE, new QSpinBox());
  FillDropList(this, IDC_COMBO_BAUD, Items({"50", "70", "110", "150", "300", "600", "1200", "2400", "4800", "9600",
                                            "19200", "38400", "57600", "76800", "115.2k"}));
  FillDropList(this, IDC_COMBO_DATABITS, Items({"5", "6", "7", "8"}));
  FillDropList(this, IDC_COMBO_STOPBITS, Items({"1", "2"}));
  FillDropList(this, IDC_COMBO_PARITY, LoadStrings(IDS_PARITY_NONE, IDS_PARITY_NONE + 2));
  FillDropList(this, IDC_COMBO_FLOW, LoadStrings(IDS_FLOW_NONE, IDS_FLOW_NONE + 2));
  FillDropList(this, IDC_COMBO_PROTOCOL, Items({"PELCO_P", "PELCO_D", "MOLYN_P", "SANTA_P"}));
  auto* address = ReplaceDlgItem(IDC_EDIT_ADDRESS, new QSpinBox());
  address->setRange(0, 255);
  address->setValue(1);
  FillDropList(this, IDC_COMBO_DELAY, LoadStrings(IDS_DELAY_5S, IDS_DELAY_10M));

  m_pSlider = DlgItem<QSlider>(this, IDC_SLIDER_FPS);
  if (m_pSlider != nullptr) {
    m_pSlider->setRange(kMinFps, kMaxFps);
    m_pSlider->setValue(kMaxFps);
    QObject::connect(m_pSlider, &QSlider::valueChanged, this, [this] { OnFrameRate(); });
  }
  ShowFps(kMaxFps);
  if (auto* stream = DlgItem<QComboBox>(this, IDC_COMBO_STREAM)) {
    QObject::connect(stream, &QComboBox::currentIndexChanged, this, [this] { ShowStream(); });
  }
  if (auto* resolution = DlgItem<QComboBox>(this, IDC_COMBO_RESOLUTION)) {
    QObject::connect(resolution, &QComboBox::currentIndexChanged, this, [this] { OnResolution(); });
  }
  if (auto* rateType = DlgItem<QComboBox>(this, IDC_COMBO_RATE_TYPE)) {
    QObject::connect(rateType, &QComboBox::currentIndexChanged, this, [this] { OnRateType(); });
  }
  m_pSchedule->SetUp(LoadStrings(IDS_RECORD_TIMED, IDS_RECORD_TIMED + 4));
  OnClicked(IDC_BTN_COPY_STREAM, [this] {
    int32_t flags[CDlgCopyTo::kBoxes] = {};
    CDlgCopyTo dlg(this);
    dlg.SetResult(flags);
    dlg.DoModal();  // nothing of the streams is copied
  });

  ChannelCfg& cfg = g_ChannelCfg;
  cfg.videoCount = cfg.recordDriven.count = cfg.recordParam.count = cfg.pictureParam.count = kNvrChannels;
  cfg.recordScheme.count = cfg.pictureScheme.count = kNvrChannels;
  return TRUE;
}

LRESULT CDlgParamConfig::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SCHEDULE_CHANGED) {
    m_pSchedule->ReadBack();
    return 0;
  }
  return CRgbPage::OnMessage(msg, wParam, lParam);
}

void CDlgParamConfig::FillFromConfig() {
  FillChannelTree(m_pTree, static_cast<int>(std::min<uint32_t>(g_ChannelCfg.videoCount, kNvrChannels)));
}

int CDlgParamConfig::CurrentChannel() const { return SelectedChannel(m_pTree); }

ChannelStream* CDlgParamConfig::CurrentStream() const {
  const int channel = CurrentChannel();
  const int stream = GetCurSel(this, IDC_COMBO_STREAM);
  if (channel < 0) return nullptr;
  if (stream == kMainStream) return &g_ChannelCfg.video[channel].mainstream;
  if (stream == kSubStream) return &g_ChannelCfg.video[channel].auxstream;
  return nullptr;
}

void CDlgParamConfig::ShowChannel() {
  if (CurrentChannel() < 0) return;
  m_pSchedule->Show();
  ShowStream();
}

void CDlgParamConfig::ShowStream() {
  const ChannelStream* stream = CurrentStream();
  if (stream == nullptr) return;
  const ChannelStream shown = *stream;
  m_bShowing = true;  // showing stores nothing
  SetCurSel(this, IDC_COMBO_RATE_TYPE, shown.coderatetype);
  SetCurSel(this, IDC_COMBO_RATE_LIMIT, shown.coderatemax);
  if (m_pSlider != nullptr) m_pSlider->setValue(shown.framerate);
  ShowFps(shown.framerate);
  SetCurSel(this, IDC_COMBO_RESOLUTION, shown.resolution > 0 ? shown.resolution - 1 : 0);
  m_bShowing = false;
}

void CDlgParamConfig::ShowFps(int fps) {
  if (auto* text = DlgItem<QLabel>(this, IDC_STATIC_FPS)) text->setText(QStringLiteral("%1 FPS").arg(fps));
}

void CDlgParamConfig::OnResolution() {
  ChannelStream* stream = CurrentStream();
  const int index = GetCurSel(this, IDC_COMBO_RESOLUTION);
  if (m_bShowing || stream == nullptr || index < 0) return;
  stream->resolution = static_cast<uint8_t>(index + 1);
}

void CDlgParamConfig::OnRateType() {
  ChannelStream* stream = CurrentStream();
  const int index = GetCurSel(this, IDC_COMBO_RATE_TYPE);
  if (m_bShowing || stream == nullptr || index < 0) return;
  stream->coderatetype = static_cast<uint8_t>(index) & 0x3;
}

void CDlgParamConfig::OnFrameRate() {
  if (m_pSlider == nullptr) return;
  ShowFps(m_pSlider->value());
  // Only the user's moves are stored: a stream shown out of the slider's range keeps its rate.
  ChannelStream* stream = CurrentStream();
  if (m_bShowing || stream == nullptr) return;
  stream->framerate = static_cast<uint8_t>(m_pSlider->value());
}
