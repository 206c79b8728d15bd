#include "settings/config_panel.h"

#include <QPainter>

#include "core/module_path.h"

CConfigPanel::CConfigPanel(UINT nIDTemplate, QWidget* parent, const char* background)
    : CDialog(nIDTemplate, parent), m_pszBackground(background) {}

void CConfigPanel::paintEvent(QPaintEvent* event) {
  CDialog::paintEvent(event);
  if (m_pszBackground == nullptr) return;
  QPainter painter(this);
  m_skin.DrawImageFile(GetModuleDir() + m_pszBackground, GetClientRect(), &painter);
}
