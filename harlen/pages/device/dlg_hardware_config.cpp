#include "harlen/pages/device/dlg_hardware_config.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QTreeWidget>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/dlg_main.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/nvr_config.h"
#include "harlen/pages/common/page_text.h"

namespace {

constexpr int kDiskSection = 7;
constexpr size_t kDiskNameBytes = 255;

}  // namespace

BOOL CDlgHardwareConfig::OnInitDialog() {
  CRgbPage::OnInitDialog();
  m_pList = DlgItem<QTreeWidget>(this, IDC_LIST_DISKS);
  SetUpReportList(m_pList, LoadStrings(IDS_DISK_COL_DEVICE, IDS_DISK_COL_FREE), {100, 80, 80, 80, 80});
  FillDropList(this, IDC_COMBO_MODE, {harlenres::LoadString(IDS_DISK_UNUSED), harlenres::LoadString(IDS_DISK_RECORD),
                                      harlenres::LoadString(IDS_DISK_BACKUP)});
  FillDropList(this, IDC_COMBO_STATE, {harlenres::LoadString(IDS_DISK_UNUSED), harlenres::LoadString(IDS_DISK_IN_USE)});
  m_pProgress = DlgItem<QProgressBar>(this, IDC_PROGRESS);
  if (m_pProgress != nullptr) {
    m_pProgress->setRange(0, 100);
    m_pProgress->hide();
  }
  if (auto* text = DlgItem<QLabel>(this, IDC_STATIC_PROGRESS)) {
    text->clear();
    text->hide();
  }
  if (auto* disks = DlgItem<QComboBox>(this, IDC_COMBO_DISK)) {
    QObject::connect(disks, &QComboBox::currentIndexChanged, this, [this] { ShowSelectedDisk(); });
  }
  for (int id : {IDC_COMBO_MODE, IDC_COMBO_STATE}) {
    if (auto* list = DlgItem<QComboBox>(this, id)) {
      QObject::connect(list, &QComboBox::currentIndexChanged, this, [this, id] { OnModeChanged(id); });
    }
  }
  OnClicked(IDC_BTN_FORMAT, [this] { OnFormat(); });
  OnClicked(IDC_BTN_REFRESH, [this] { OnRefresh(); });
  return TRUE;
}

int CDlgHardwareConfig::SelectedDisk() const {
  const int disk = GetCurSel(this, IDC_COMBO_DISK);
  const int count = static_cast<int>(std::min<uint32_t>(g_DiskStatus.count, kNvrDisks));
  return disk >= 0 && disk < count ? disk : -1;
}

void CDlgHardwareConfig::FillDiskList() {
  auto* disks = DlgItem<QComboBox>(this, IDC_COMBO_DISK);
  if (disks == nullptr || m_pList == nullptr) return;
  {
    const QSignalBlocker quiet(disks);
    disks->clear();
  }
  m_pList->clear();
  const uint32_t count = std::min<uint32_t>(g_DiskStatus.count, kNvrDisks);
  {
    const QSignalBlocker quiet(disks);
    for (uint32_t i = 0; i < count; ++i) {
      const DiskStatusEntry& disk = g_DiskStatus.disks[i];
      const QString name = FieldQText(disk.disk);
      disks->addItem(name);
      auto* row = new QTreeWidgetItem(m_pList);
      row->setText(0, name);
      row->setText(1, QString::number(disk.covertimes));
      row->setText(2, QString::number(disk.spacetotal));
      row->setText(3, QString::number(disk.spaceused));
      // Shown as the NVR reports it: negative when it says more is used than there is.
      row->setText(4, QString::number(static_cast<int64_t>(disk.spacetotal) - static_cast<int64_t>(disk.spaceused)));
    }
    disks->setCurrentIndex(-1);
  }
  if (count > 0) disks->setCurrentIndex(0);  // shows the first disk's use and state
}

void CDlgHardwareConfig::ShowSelectedDisk() {
  const int disk = SelectedDisk();
  if (disk < 0) return;
  const DiskStatusEntry entry = g_DiskStatus.disks[disk];
  SetCurSel(this, IDC_COMBO_MODE, entry.mode);
  SetCurSel(this, IDC_COMBO_STATE, entry.inUse);
  g_DiskStatus.disks[disk] = entry;  // showing stores nothing
}

void CDlgHardwareConfig::OnModeChanged(int id) {
  const int disk = SelectedDisk();
  const int index = GetCurSel(this, id);
  if (disk < 0 || index < 0) return;
  if (id == IDC_COMBO_MODE) {
    g_DiskStatus.disks[disk].mode = static_cast<uint16_t>(index);
  } else {
    g_DiskStatus.disks[disk].inUse = static_cast<uint16_t>(index);
  }
}

void CDlgHardwareConfig::OnFormat() {
  auto* disks = DlgItem<QComboBox>(this, IDC_COMBO_DISK);
  if (disks == nullptr || disks->count() == 0 || m_nBusy != 0) return;
  if (!HarlenAskYesNo(this, IDS_MSG_FORMAT_CONFIRM, IDS_CAPTION_CONFIG)) return;
  char name[kDiskNameBytes + 1] = {};
  StoreFieldQText(name, disks->currentText());
  std::string text;
  CHarlenSaveString().SaveCtrlFormatDisk(name, text);
  CNVRMCInf* link = m_pMain != nullptr ? m_pMain->GetLink() : nullptr;
  if (!text.empty() && link != nullptr) link->SendControl(NVRMC_CTRL_FORMAT_DISK, text.data(), static_cast<int>(text.size()));
}

void CDlgHardwareConfig::OnRefresh() {
  CNVRMCInf* link = m_pMain != nullptr ? m_pMain->GetLink() : nullptr;
  if (link == nullptr) return;
  link->GetConfig(kDiskSection);
  // The disk section's answer refreshes nothing; the disk status does.
  link->QueryStatus(NVRMC_STATUS_DISK);
}

void CDlgHardwareConfig::ShowFormatProgress(const FormatProgress& progress) {
  auto* text = DlgItem<QLabel>(this, IDC_STATIC_PROGRESS);
  if (m_pProgress == nullptr || text == nullptr) return;
  switch (progress.result) {
    case kFormatStarted:
      m_pProgress->show();
      text->show();
      text->setText(harlenres::LoadString(IDS_FORMAT_STARTED));
      m_pProgress->setValue(0);
      m_nBusy = 1;
      break;
    case kFormatRunning:
      m_pProgress->setValue(std::clamp(progress.value, 0, 100));
      text->setText(harlenres::LoadString(IDS_FORMAT_RUNNING).replace(QStringLiteral("%d"), QString::number(progress.value)));
      break;
    case kFormatDone:
      m_nBusy = 0;
      text->setText(harlenres::LoadString(IDS_FORMAT_DONE));
      m_pProgress->setValue(100);
      m_pProgress->hide();
      break;
    case kFormatFailed:
      m_nBusy = 0;
      m_pProgress->hide();
      text->setText(harlenres::LoadString(IDS_FORMAT_FAILED));
      break;
    default:
      break;
  }
}
