#include "live/ptz/ptz_dlg.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <cstdio>

#include "core/client_log.h"
#include "live/live_messages.h"
#include "live/ptz/ptz_command_text.h"
#include "live/ptz/ptz_plugin.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/string_table.h"
#include "platform/window_text.h"
#include "ui/control_fit.h"
#include "ui/image_button.h"
#include "ui/transparent_static.h"

namespace {

struct ButtonFace {
  int id;
  UINT picture;
  UINT hint;  // 0: no hint
  RECT place;  // left, top, right, bottom; empty: the template's place
};

// The fourteen buttons: pictures, hints of the hold buttons, and their places.
constexpr ButtonFace kButtons[] = {
    {CPTZDlg::IDC_BTN_UP, 160, 340, {47, 19, 47 + 35, 19 + 21}},
    {CPTZDlg::IDC_BTN_DOWN, 157, 341, {47, 89, 47 + 35, 89 + 19}},
    {CPTZDlg::IDC_BTN_LEFT, 158, 342, {22, 46, 22 + 19, 46 + 43}},
    {CPTZDlg::IDC_BTN_RIGHT, 159, 343, {89, 46, 89 + 19, 46 + 43}},
    {CPTZDlg::IDC_BTN_IRIS_OPEN, 166, 344, {140, 20, 162, 42}},
    {CPTZDlg::IDC_BTN_IRIS_CLOSE, 167, 345, {175, 20, 197, 42}},
    {CPTZDlg::IDC_BTN_FOCUS_FAR, 170, 346, {140, 55, 162, 77}},
    {CPTZDlg::IDC_BTN_FOCUS_NEAR, 165, 347, {175, 55, 197, 77}},
    {CPTZDlg::IDC_BTN_ZOOM_TELE, 168, 348, {140, 90, 162, 112}},
    {CPTZDlg::IDC_BTN_ZOOM_WIDE, 169, 349, {175, 90, 197, 112}},
    {CPTZDlg::IDC_BTN_ADD_PRESET, 174, 0, {}},
    {CPTZDlg::IDC_BTN_CALL_PRESET, 172, 0, {}},
    {CPTZDlg::IDC_BTN_DEL_PRESET, 171, 0, {}},
    {CPTZDlg::IDC_BTN_ADVANCE, 173, 0, {}},
};

struct ControlText {
  int id;
  UINT text;
};
constexpr ControlText kTexts[] = {
    {CPTZDlg::IDC_STATIC_PAN, 350},     {CPTZDlg::IDC_STATIC_TILT, 351},
    {CPTZDlg::IDC_STATIC_ADD, 352},     {CPTZDlg::IDC_STATIC_CALL, 353},
    {CPTZDlg::IDC_STATIC_DEL, 354},     {CPTZDlg::IDC_STATIC_ADVANCE, 355},
    {CPTZDlg::IDC_BTN_ADD_PRESET, 356}, {CPTZDlg::IDC_BTN_CALL_PRESET, 357},
    {CPTZDlg::IDC_BTN_DEL_PRESET, 358}, {CPTZDlg::IDC_BTN_ADVANCE, 359},
};

std::string ComboText(const QComboBox* combo) { return codepage::FromQString(combo->currentText()); }

constexpr int kLabels[] = {CPTZDlg::IDC_STATIC_PAN, CPTZDlg::IDC_STATIC_TILT, CPTZDlg::IDC_STATIC_ADD,
                           CPTZDlg::IDC_STATIC_CALL, CPTZDlg::IDC_STATIC_DEL, CPTZDlg::IDC_STATIC_ADVANCE};
constexpr int kSmallestLabelPixels = 9;
const QColor kLabelColour(0xDF, 0xE7, 0xF0);

// Whether `text`, wrapped at word breaks, fits `size` in `font`.
bool FitsWrapped(const QFont& font, const QString& text, const QSize& size) {
  const QRect bounds = QFontMetrics(font).boundingRect(QRect(0, 0, size.width(), 100000), Qt::TextWordWrap, text);
  return bounds.width() <= size.width() && bounds.height() <= size.height();
}

}  // namespace

CPTZDlg::CPTZDlg(CPtzPanelHost& host, QWidget* parent) : CDialog(IDD, parent), m_host(host), m_logic(host) {}

CPTZDlg::~CPTZDlg() = default;

BOOL CPTZDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (int id : kLabels) {
    // The speed labels sit between two lists: centred, they keep clear of both.
    const bool speed = id == IDC_STATIC_PAN || id == IDC_STATIC_TILT;
    auto* label = ReplaceDlgItem(id, new CTransparentStatic(this, speed ? SS_CENTER : SS_LEFT));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, kLabelColour);  // light on the panel's dark background
    label->setPalette(colours);
  }
  m_holdButtons.assign(ptz::kPtzButtonCount, nullptr);
  for (const ButtonFace& face : kButtons) {
    auto* button = ReplaceDlgItem(face.id, new CImageButton(this));
    if (face.id >= IDC_BTN_UP && face.id <= IDC_BTN_ZOOM_WIDE) {
      button->SetToolTipTextW(LoadStringW(face.hint).toStdWString());
      button->setGeometry(face.place.left, face.place.top, face.place.right - face.place.left,
                          face.place.bottom - face.place.top);
      // Presses and releases drive the held commands, not the clicks.
      button->installEventFilter(this);
      m_holdButtons[face.id - IDC_BTN_UP] = button;
    }
  }
  SetButtonPictures();
  for (const ControlText& t : kTexts) {
    QWidget* control = GetDlgItem(t.id);
    if (auto* button = dynamic_cast<CImageButton*>(control)) {
      // The 23-pixel pictures leave no room for a caption: the text is the hint.
      button->SetToolTipTextW(LoadStringW(t.text).toStdWString());
    } else {
      SetWindowTextW(control, LoadStringW(t.text));
    }
  }
  FitLabelFont();
  SetWindowTextW(GetDlgItem(IDC_EDIT_PRESET), QString());

  m_cmbPanSpeed = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_PAN_SPEED));
  m_cmbTiltSpeed = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_TILT_SPEED));
  m_cmbCallPreset = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_CALL_PRESET));
  m_cmbDelPreset = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_DEL_PRESET));
  m_cmbAdvance = qobject_cast<QComboBox*>(GetDlgItem(IDC_COMBO_ADVANCE));
  m_cmbCallPreset->setEditable(true);  // a number may be typed there
  m_cmbCallPreset->setInsertPolicy(QComboBox::NoInsert);  // Enter does not add it to the list
  for (QComboBox* speed : {m_cmbPanSpeed, m_cmbTiltSpeed}) {
    for (int i = ptz::kPtzSpeedMin; i <= ptz::kPtzSpeedMax; ++i) speed->addItem(QString::number(i));
    speed->setCurrentIndex(4);  // speed 5
  }
  InitAdvanceCmdCombo();

  OnClicked(IDC_BTN_ADD_PRESET, [this] { OnBnClickedBtnAddPreset(); });
  OnClicked(IDC_BTN_CALL_PRESET, [this] { OnBnClickedBtnCallPreset(); });
  OnClicked(IDC_BTN_DEL_PRESET, [this] { OnBnClickedBtnDelPreset(); });
  OnClicked(IDC_BTN_ADVANCE, [this] { OnBnClickedBtnAdvancePtz(); });
  m_pMsgDlg = std::make_unique<CResMsgDlg>(this);
  m_pMsgDlg->Create(CResMsgDlg::IDD, this);
  return TRUE;
}

void CPTZDlg::FitLabelFont() {
  QFont font = this->font();
  int pixels = QFontInfo(font).pixelSize();
  for (; pixels > kSmallestLabelPixels; --pixels) {
    font.setPixelSize(pixels);
    bool all = true;
    for (int id : kLabels) {
      const QWidget* label = GetDlgItem(id);
      all = all && FitsWrapped(font, GetWindowTextW(label), label->size());
    }
    if (all) break;
  }
  font.setPixelSize(pixels);
  for (int id : kLabels) GetDlgItem(id)->setFont(font);
}

void CPTZDlg::SetButtonPictures() {
  for (const ButtonFace& face : kButtons) {
    if (auto* button = dynamic_cast<CImageButton*>(GetDlgItem(face.id))) {
      button->SetImageResource(face.picture, "PNG");
    }
  }
}

void CPTZDlg::InitAdvanceCmdCombo() {
  if (!m_cmbAdvance) return;
  for (int i = 0; i < ptz::kPtzAdvancedXmlCount; ++i) {
    m_cmbAdvance->insertItem(i, LoadStringW(ptz::PtzAdvancedAt(i)->stringId));
  }
  m_cmbAdvance->setCurrentIndex(-1);
  ShowItemsWhole(m_cmbAdvance);  // the commands' names are longer than the panel is wide
}

void CPTZDlg::InsertAuxSwitchEntries() {
  if (!m_cmbAdvance) return;
  for (int n = 1; n <= 9; ++n) {
    const int index = ptz::kPtzAdvancedXmlCount + 2 * (n - 1);
    const QString name = LoadStringW(1021) + QString::number(n);
    m_cmbAdvance->insertItem(index, name + LoadStringW(1022));
    m_cmbAdvance->insertItem(index + 1, name + LoadStringW(1023));
  }
  ShowItemsWhole(m_cmbAdvance);
}

void CPTZDlg::ResetAdvanceCmdCombo() {
  if (!m_cmbAdvance) return;
  m_cmbAdvance->clear();
  InitAdvanceCmdCombo();
}

std::vector<std::string> CPTZDlg::DeletePresetTexts() const {
  std::vector<std::string> texts;
  if (!m_cmbDelPreset) return texts;
  for (int i = 0; i < m_cmbDelPreset->count(); ++i) {
    texts.push_back(codepage::FromQString(m_cmbDelPreset->itemText(i)));
  }
  return texts;
}

int CPTZDlg::CheckPresetInput(const CString& text) {
  return ::CheckPresetInput(text, m_host.PtzPlugin().IsLoaded(), DeletePresetTexts());
}

void CPTZDlg::ShowMessage(int stringId) {
  if (stringId != 0 && m_pMsgDlg) m_pMsgDlg->ShowMsg(LoadStringW(stringId).toStdWString(), 2);
}

void CPTZDlg::OnMousePTZ(const QPoint& screenPos) {
  for (size_t index = 0; index < m_holdButtons.size(); ++index) {
    CImageButton* button = m_holdButtons[index];
    if (!button || !button->rect().contains(button->mapFromGlobal(screenPos))) continue;
    m_logic.Press(static_cast<int>(index), m_cmbPanSpeed->currentIndex() + 1, m_cmbTiltSpeed->currentIndex() + 1);
    return;
  }
}

void CPTZDlg::StopPtzCommand() { m_logic.StopHeld(); }

void CPTZDlg::ClearPresets() {
  if (m_cmbCallPreset) m_cmbCallPreset->clear();
  if (m_cmbDelPreset) m_cmbDelPreset->clear();
  SetWindowTextW(GetDlgItem(IDC_EDIT_PRESET), QString());
}

void CPTZDlg::OnBnClickedBtnAddPreset() {
  const std::string text = codepage::FromQString(GetWindowTextW(GetDlgItem(IDC_EDIT_PRESET)));
  ShowMessage(m_logic.AddPreset(text, DeletePresetTexts()));
}

void CPTZDlg::OnBnClickedBtnCallPreset() {
  const CPtzPanelLogic::CallResult result = m_logic.CallPreset(ComboText(m_cmbCallPreset), DeletePresetTexts());
  ShowMessage(result.message);
  if (result.remember) m_nSelCallPreset = m_cmbCallPreset->currentIndex();
}

void CPTZDlg::OnBnClickedBtnDelPreset() { ShowMessage(m_logic.RemovePreset(ComboText(m_cmbDelPreset))); }

void CPTZDlg::OnBnClickedBtnAdvancePtz() { m_logic.Advance(m_cmbAdvance->currentIndex()); }

void CPTZDlg::OnPtzResponse(LONG gimbroId, const std::string& answer) {
  WriteLog(6, "CPTZDlg: recv ptz response,begin parse...");
  m_cmbCallPreset->clear();
  m_cmbDelPreset->clear();
  for (const ptz::PresetListEntry& entry : ptz::ParsePresetListAnswer(answer)) {
    const QString text = codepage::ToQString(entry.text);
    if (!entry.isRule) m_cmbCallPreset->addItem(text);
    m_cmbDelPreset->addItem(text);
  }
  m_cmbCallPreset->setCurrentIndex(m_nSelCallPreset < m_cmbCallPreset->count() ? m_nSelCallPreset : -1);
  m_cmbDelPreset->setCurrentIndex(m_cmbDelPreset->count() > 0 ? 0 : -1);
  if (gimbroId != 0) m_host.RspInvitePreset(gimbroId, answer);
}

LRESULT CPTZDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PTZ_RESPONSE) {
    // The text belongs to the message and is freed after delivery.
    const char* text = reinterpret_cast<const char*>(lParam);
    OnPtzResponse(static_cast<LONG>(wParam), text ? text : "");
    return 0;
  }
  return CDialog::OnMessage(msg, wParam, lParam);
}

bool CPTZDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton) {
      if (event->type() == QEvent::MouseButtonPress) {
        WriteLog(6, "PTZDlg: Left button down...");
        OnMousePTZ(mouse->globalPosition().toPoint());
      } else {
        WriteLog(6, "PTZDlg: Left button up...");
        StopPtzCommand();
      }
    }
  }
  return CDialog::eventFilter(watched, event);
}

void CPTZDlg::paintEvent(QPaintEvent* event) {
  CDialog::paintEvent(event);
  QPainter painter(this);
  char path[1024];
  std::snprintf(path, sizeof path, "%s\\Images\\Ptzbk.png", paths::ProgramFolder().c_str());
  m_skin.DrawImageFile(path, GetClientRect(), &painter);
}
