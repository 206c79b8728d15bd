#include "harlen/pages/windows/dlg_manual_record_config.h"

#include <tinyxml.h>

#include "harlen/link/controls/dlg_items.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/xml/section_xml.h"

namespace {

constexpr int kRecordDrivenSection = 18;

// The mode a row stands for; off is the section's "no recording".
constexpr uint32_t kRowModes[CDlgManualRecordConfig::kRows] = {0, 2, 1, 3};
// The box of channel 1 and the first of channels 2 to 16, per row.
constexpr int kFirstIds[CDlgManualRecordConfig::kRows][2] = {{1121, 1003}, {1018, 1019}, {1034, 1035}, {1053, 1054}};

}  // namespace

const int CDlgManualRecordConfig::kAllIds[kRows] = {1050, 1051, 1052, 1069};

CDlgManualRecordConfig::CDlgManualRecordConfig(QWidget* parent) : CRgbDialog(IDD, parent) {}

CDlgManualRecordConfig::~CDlgManualRecordConfig() = default;

int CDlgManualRecordConfig::BoxId(int row, int channel) {
  return channel == 0 ? kFirstIds[row][0] : kFirstIds[row][1] + channel - 1;
}

BOOL CDlgManualRecordConfig::OnInitDialog() {
  CRgbDialog::OnInitDialog();
  for (int row = 0; row < kRows; ++row) {
    OnClicked(kAllIds[row], [this, row] { OnAll(row); });
    for (int channel = 0; channel < kChannels; ++channel) {
      OnClicked(BoxId(row, channel), [this, row, channel] { OnChannel(row, channel); });
    }
  }
  return TRUE;
}

void CDlgManualRecordConfig::ConnectNvr() { m_link.Connect(g_szNvrHost, g_nNvrPort, kRecordDrivenSection); }

LRESULT CDlgManualRecordConfig::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NVR_REPLY) {
    if (const NvrReply* reply = m_link.CurrentReply(wParam, lParam)) HandleReply(*reply);
    return 0;
  }
  return CRgbDialog::OnMessage(msg, wParam, lParam);
}

void CDlgManualRecordConfig::HandleReply(const NvrReply& reply) {
  if (reply.command != NVRMC_CMD_GET_CONFIG_REPLY || reply.argument != kRecordDrivenSection || reply.data.empty()) return;
  TiXmlDocument doc;
  if (!ParseXmlText(reply.data, doc) || doc.RootElement() == nullptr) return;
  RecordDrivenList list = {};
  if (CHarlenLoader().LoadRecordDriven(doc.RootElement(), list) != 0) return;
  m_list = list;
  ShowList();
}

void CDlgManualRecordConfig::ShowList() {
  // Every box cleared first: nothing of an earlier showing stays checked.
  for (int row = 0; row < kRows; ++row) {
    CheckDlgButton(this, kAllIds[row], false);
    for (int channel = 0; channel < kChannels; ++channel) CheckDlgButton(this, BoxId(row, channel), false);
  }
  const int count = static_cast<int>(std::min<uint32_t>(m_list.count, kChannels));
  for (int channel = 0; channel < count; ++channel) {
    const RecordDrivenEntry& entry = m_list.entries[channel];
    for (int row = 0; row < kRows; ++row) {
      const bool off = entry.used == 0 || entry.mode == kRowModes[kOff];
      if (row == kOff ? off : (!off && entry.mode == kRowModes[row])) CheckDlgButton(this, BoxId(row, channel), true);
    }
  }
}

void CDlgManualRecordConfig::OnChannel(int row, int channel) {
  for (int other = 0; other < kRows; ++other) CheckDlgButton(this, BoxId(other, channel), other == row);
  RecordDrivenEntry& entry = m_list.entries[channel];
  entry.used = row == kOff ? 0 : 1;
  entry.mode = kRowModes[row];
}

void CDlgManualRecordConfig::OnAll(int row) {
  for (int other = 0; other < kRows; ++other) CheckDlgButton(this, kAllIds[other], other == row);
  for (int channel = 0; channel < kChannels; ++channel) OnChannel(row, channel);
}

void CDlgManualRecordConfig::OnOK() {
  std::string text;
  CHarlenSaveString().SaveConfRecordDriven(m_list, text);
  if (!text.empty() && m_link.Get() != nullptr) {
    m_link.Get()->SetConfig(kRecordDrivenSection, text.data(), static_cast<int>(text.size()));
  }
  m_link.Drop();
  hide();
}

void CDlgManualRecordConfig::OnCancel() {
  m_link.Drop();
  hide();
}
