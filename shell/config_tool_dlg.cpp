#include "shell/config_tool_dlg.h"


#include <QFontMetrics>
#include <algorithm>

#include "core/startup_settings.h"
#include "core/user_info.h"
#include "core/user_settings.h"
#include "platform/string_table.h"
#include "settings/config_host.h"
#include "ui/image_button.h"

namespace {

constexpr int kRecordRight = 2;  // index of the Record right in g_nCurRights
constexpr int kRussian = 3;      // interface language code
constexpr int kCaptionMargin = 12;  // the face's rounded edges and a little air, both sides

// The buttons in their left-to-right order, with their captions and pages (-1: none).
struct ToolButton {
  int id;
  UINT caption;
  int page;
};
constexpr ToolButton kButtons[] = {
    {CConfigToolDlg::IDC_DEV_CONFIG, 550, 0},    {CConfigToolDlg::IDC_USER_CONFIG, 551, 1},
    {CConfigToolDlg::IDC_RECORD_CONFIG, 552, 2}, {CConfigToolDlg::IDC_REMOTE_CONFIG, 553, 3},
    {CConfigToolDlg::IDC_MAINTENANCE, 554, 4},   {CConfigToolDlg::IDC_ALARM_LINKAGE, 555, -1},
};

}  // namespace

CConfigToolDlg::CConfigToolDlg(QWidget* parent) : CConfigPanel(IDD, parent, "Images\\Pagebk.png") {}

int CConfigToolDlg::ButtonOfPage(int page) {
  for (const ToolButton& b : kButtons)
    if (b.page == page && page >= 0) return b.id;
  return 0;
}

int CConfigToolDlg::ButtonWidth() const {
  int width = g_nLanguage == kRussian ? 160 : 80;
  const QFontMetrics metrics(font());
  for (const ToolButton& b : kButtons) {
    if (const CImageButton* button = Button(b.id))
      width = std::max(width, metrics.horizontalAdvance(QString::fromStdWString(button->GetCaptionW())) + kCaptionMargin);
  }
  return width;
}

CImageButton* CConfigToolDlg::Button(int id) const { return dynamic_cast<CImageButton*>(GetDlgItem(id)); }

BOOL CConfigToolDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const UINT image = g_nLanguage == kRussian ? 329 : 190;
  for (const ToolButton& b : kButtons) {
    CImageButton* button = ReplaceDlgItem(b.id, new CImageButton());
    button->SetImageResource(image, "PNG");
    const QString caption = LoadStringW(b.caption);
    button->SetCaptionW(caption.toStdWString());
    button->setText(caption);  // the window text is the caption too
    OnClicked(b.id, [this, id = b.id] { OnButton(id); });
  }
  m_bInited = true;
  if (g_nLoginType != 0) {
    for (int id : {IDC_USER_CONFIG, IDC_REMOTE_CONFIG, IDC_MAINTENANCE, IDC_DEV_CONFIG}) Button(id)->setEnabled(false);
  }
  Layout();
  return TRUE;
}

void CConfigToolDlg::SelectButton(int id) {
  for (const ToolButton& b : kButtons)
    if (CImageButton* button = Button(b.id)) button->SetTextColor(b.id == id ? kChosenColor : 0);
  update();
}

void CConfigToolDlg::Refuse(UINT stringId) {
  if (m_pHost) m_pHost->ShowResMsg(LoadStringW(stringId).toStdWString(), 2);
}

void CConfigToolDlg::OnButton(int id) {
  if (id == IDC_USER_CONFIG && std::string_view(g_szCurUser) != "admin") {
    Refuse(556);
    return;
  }
  if (id == IDC_RECORD_CONFIG && g_nCurRights[kRecordRight] == 0) {
    Refuse(285);
    return;
  }
  for (const ToolButton& b : kButtons) {
    if (b.id != id) continue;
    if (b.page >= 0) {
      if (m_pHost) m_pHost->ShowCfgPage(b.page);
      SelectButton(id);
    } else if (CImageButton* button = Button(id)) {
      // A button that opens no page keeps no mark of the click: only the
      // chosen page's button stays marked.
      button->SetTextColor(0);
      button->update();
    }
  }
}

void CConfigToolDlg::Layout() {
  if (!m_bInited) return;
  const int width = ButtonWidth();
  int x = 0;
  for (const ToolButton& b : kButtons) {
    if (QWidget* button = GetDlgItem(b.id)) button->setGeometry(x, 5, width, 28);
    x += width;
  }
}

void CConfigToolDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  Layout();
}

