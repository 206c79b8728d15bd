#include "live/keyboard/kb_config_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/client_log.h"
#include "core/res_msg_dlg.h"
#include "core/user_settings.h"
#include "live/keyboard/keyboard_params.h"
#include "live/keyboard/serial_keyboard.h"
#include "platform/string_table.h"

namespace {

constexpr int kPortMin = 1;
constexpr int kPortMax = 255;

// The number of the port field: its digits, blanks around them allowed; 0
// for any other text.
int PortNumber(const QString& text) {
  const QString digits = text.trimmed();
  if (digits.isEmpty() || digits.size() > 3) return 0;
  for (QChar c : digits) {
    if (c < u'0' || c > u'9') return 0;
  }
  return digits.toInt();
}

template <size_t N>
int Entry(const int (&values)[N], int index) {
  return index >= 0 && index < static_cast<int>(N) ? values[index] : 0;
}

template <size_t N>
CString Entry(const char* const (&words)[N], int index) {
  return index >= 0 && index < static_cast<int>(N) ? words[index] : "";
}

}  // namespace

CKbConfig::CKbConfig(std::function<CPTZKeyboardCtrl*()> keyboard, QWidget* parent)
    : CDialog(IDD, parent), m_keyboard(std::move(keyboard)) {}

CKbConfig::~CKbConfig() { delete m_pMsgDlg; }

CPTZKeyboardCtrl* CKbConfig::Keyboard() const { return m_keyboard ? m_keyboard() : nullptr; }

BOOL CKbConfig::OnInitDialog() {
  CDialog::OnInitDialog();
  m_pMsgDlg = new CResMsgDlg(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);

  m_pSwitch = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_SWITCH));
  m_pBandRate = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_BANDRATE));
  m_pDataBits = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_DATABITS));
  m_pStopBits = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_STOPBITS));
  m_pVerify = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_VERIFY));
  m_pFlowControl = qobject_cast<QComboBox*>(GetDlgItem(IDC_KB_FLOWCONTROL));
  m_pComPort = qobject_cast<QLineEdit*>(GetDlgItem(IDC_KB_COMPORT));
  m_pFocusDevice = qobject_cast<QRadioButton*>(GetDlgItem(IDC_KB_FOCUS_DEVICE));
  m_pAllDevices = qobject_cast<QRadioButton*>(GetDlgItem(IDC_KB_ALL_DEVICES));
  if (!m_pSwitch || !m_pBandRate || !m_pDataBits || !m_pStopBits || !m_pVerify || !m_pFlowControl || !m_pComPort ||
      !m_pFocusDevice || !m_pAllDevices) {
    WriteLog(3, "CKbConfig::OnInitDialog(): controls of template %d missing!", IDD);
    return TRUE;
  }

  FillLists();
  SetLabels();
  LoadParams();
  (g_nKbConfigMode == 1 ? m_pAllDevices : m_pFocusDevice)->setChecked(true);

  QObject::connect(m_pSwitch, &QComboBox::currentIndexChanged, this, [this] { OnCbnSelchangeSwitch(); });
  OnClicked(IDC_KB_SAVE, [this] { OnBnClickedSave(); });
  return TRUE;
}

void CKbConfig::FillLists() {
  m_pSwitch->addItems({LoadStringW(243), LoadStringW(244)});
  for (int rate : kKeyboardBandRates) m_pBandRate->addItem(QString::number(rate));
  for (int bits : kKeyboardDataBits) m_pDataBits->addItem(QString::number(bits));
  m_pStopBits->addItems({"1", "1.5", "2"});
  m_pVerify->addItems({LoadStringW(245), LoadStringW(246), LoadStringW(247)});
  m_pFlowControl->addItems({LoadStringW(245), LoadStringW(248), LoadStringW(249)});
  for (QComboBox* list : {m_pSwitch, m_pBandRate, m_pDataBits, m_pStopBits, m_pVerify, m_pFlowControl}) {
    list->setCurrentIndex(-1);
  }
}

void CKbConfig::SetLabels() {
  static constexpr struct {
    int control;
    UINT stringId;
  } kLabels[] = {{IDC_KB_SWITCH_LABEL, 262},  {IDC_KB_COMPORT_LABEL, 263}, {IDC_KB_BANDRATE_LABEL, 264},
                 {IDC_KB_DATABITS_LABEL, 265}, {IDC_KB_STOPBITS_LABEL, 266}, {IDC_KB_VERIFY_LABEL, 267},
                 {IDC_KB_FLOWCONTROL_LABEL, 268}};
  for (const auto& label : kLabels) {
    if (auto* text = qobject_cast<QLabel*>(GetDlgItem(label.control))) text->setText(LoadStringW(label.stringId));
  }
  if (auto* save = qobject_cast<QPushButton*>(GetDlgItem(IDC_KB_SAVE))) save->setText(LoadStringW(269));
  m_pFocusDevice->setText(LoadStringW(1417));
  m_pAllDevices->setText(LoadStringW(1418));
  setWindowTitle(LoadStringW(270));
}

void CKbConfig::LoadParams() {
  CString line;
  if (!ReadKeyboardParamsLine(line)) return;  // no file: the lists stay without selection
  const KeyboardPageValues values = ScanKeyboardPageValues(line);
  m_nKbSwitch = values.Switch;
  m_pSwitch->setCurrentIndex(values.Switch == 1 ? kEnableEntry : values.Switch == 0 ? kDisableEntry : -1);
  m_pComPort->setText(QString::number(values.COMPort));
  m_pBandRate->setCurrentIndex(KeyboardListIndex(kKeyboardBandRates, values.BandRate));
  m_pDataBits->setCurrentIndex(KeyboardListIndex(kKeyboardDataBits, values.DataBits));
  m_pStopBits->setCurrentIndex(KeyboardListIndex(kKeyboardStopBitsTenths, values.StopBits));
  m_pVerify->setCurrentIndex(KeyboardListIndex(kKeyboardVerifyWords, values.Verify));
  m_pFlowControl->setCurrentIndex(KeyboardListIndex(kKeyboardFlowWords, values.FlowControl));
  EnablePortControls(m_pSwitch->currentIndex() == kEnableEntry);
}

void CKbConfig::EnablePortControls(bool enable) {
  for (QWidget* control : std::initializer_list<QWidget*>{m_pComPort, m_pBandRate, m_pDataBits, m_pStopBits,
                                                         m_pVerify, m_pFlowControl, m_pFocusDevice, m_pAllDevices}) {
    control->setEnabled(enable);
  }
}

void CKbConfig::OnCbnSelchangeSwitch() {
  if (!m_pSwitch) return;
  EnablePortControls(m_pSwitch->currentIndex() == kEnableEntry);
}

void CKbConfig::ShowMessage(UINT stringId) { m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2); }

void CKbConfig::OnBnClickedSave() {
  if (!m_pSwitch) return;
  const int port = PortNumber(m_pComPort->text());
  if (port < kPortMin || port > kPortMax) {
    ShowMessage(277);
    return;
  }
  const int nSwitch = m_pSwitch->currentIndex() == kEnableEntry ? 1 : 0;
  const CString line = FormatKeyboardParamsLine(
      nSwitch, std::to_string(port), Entry(kKeyboardBandRates, m_pBandRate->currentIndex()),
      Entry(kKeyboardDataBits, m_pDataBits->currentIndex()),
      Entry(kKeyboardStopBitsTenths, m_pStopBits->currentIndex()),
      Entry(kKeyboardVerifyWords, m_pVerify->currentIndex()),
      Entry(kKeyboardFlowWords, m_pFlowControl->currentIndex()));
  if (!WriteKeyboardParamsLine(line)) {
    // Nothing was saved: no success message, and the keyboard keeps running
    // with the settings it has.
    WriteLog(3, "CKbConfig::OnBnClickedSave(): write %s fail!", KeyboardParamsPath().c_str());
    return;
  }
  m_nKbSwitch = nSwitch;
  g_nKbConfigMode = m_pAllDevices->isChecked() ? 1 : 0;

  if (CPTZKeyboardCtrl* keyboard = Keyboard()) {
    keyboard->StopHandleKBMsg();
    if (nSwitch == 1) {
      keyboard->StartHandleKCMsg();  // reads the new file
      CString params;
      keyboard->GetKeyboardControlParams(params);
      keyboard->SetKeyboardControlParams(params);
    }
  }
  ShowMessage(261);
}
