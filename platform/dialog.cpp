#include "platform/dialog.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>

#include "platform/control_id.h"
#include "platform/dialog_controls.h"
#include "platform/dialog_template.h"
#include "platform/window_text.h"

CDialog::CDialog(UINT nIDTemplate, QWidget* parent)
    : QDialog(parent), CWnd(this), m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() = default;

BOOL CDialog::OnInitDialog() { return TRUE; }

bool CDialog::FindTemplate(UINT id, DialogTemplate& out) const { return dlgtemplate::Find(id, out); }

void CDialog::Build() {
  if (m_bBuilt) return;
  m_bBuilt = true;
  DialogTemplate dialog;
  m_bHasTemplate = FindTemplate(m_nIDTemplate, dialog);
  if (m_bHasTemplate) {
    resize(dialog.width, dialog.height);
    setWindowTitle(QString::fromStdString(dialog.caption));
    for (const ControlTemplate& control : dialog.controls) {
      ConnectButton(CreateTemplateControl(control, this), control.id);
    }
  }
  OnInitDialog();
}

void CDialog::ConnectButton(QWidget* control, int id) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    connect(button, &QAbstractButton::clicked, this, [this, id] { OnCommand(id); });
  }
}

INT_PTR CDialog::DoModal() {
  m_bEnded = false;
  Build();
  if (!m_bHasTemplate) return -1;
  if (m_bEnded) return result();
  return exec();
}

BOOL CDialog::Create(UINT nIDTemplate, QWidget* parent) {
  if (!m_bBuilt) m_nIDTemplate = nIDTemplate;
  DialogTemplate dialog;
  bool child = FindTemplate(m_nIDTemplate, dialog) && dialog.child && parent;
  if (parent || child) setParent(parent, child ? Qt::Widget : Qt::Dialog);
  Build();
  setVisible(m_bHasTemplate && dialog.visible);  // hidden unless the template says otherwise
  return m_bHasTemplate ? TRUE : FALSE;
}

void CDialog::EndDialog(int result) {
  m_bEnded = true;
  m_bEnding = true;  // the close that done() may raise is ours, not the user's
  done(result);
  m_bEnding = false;
}

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::OnCommand(int id) {
  auto it = m_clickHandlers.find(id);
  if (it != m_clickHandlers.end()) {
    auto handler = it->second;  // the handler may replace itself
    handler();
    return TRUE;
  }
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

void CDialog::OnClicked(int id, std::function<void()> handler) {
  m_clickHandlers[id] = std::move(handler);
}

LRESULT CDialog::OnMessage(UINT msg, WPARAM, LPARAM) {
  if (msg == WM_CLOSE) OnCancel();
  return 0;
}

void CDialog::ReplaceItem(int id, QWidget* widget) {
  QWidget* old = GetDlgItem(id);
  widget->setParent(this);
  ctrlid::Set(widget, id);
  if (old) {
    widget->setGeometry(old->geometry());
    QString text = GetWindowTextW(old);
    if (!text.isEmpty()) SetWindowTextW(widget, text);
    widget->setEnabled(old->isEnabled());
    widget->stackUnder(old);
    widget->setVisible(!old->isHidden());
    delete old;
  } else {
    widget->show();
  }
  ConnectButton(widget, id);
}

void CDialog::accept() { OnOK(); }

void CDialog::reject() { OnCancel(); }

void CDialog::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    switch (event->key()) {
      case Qt::Key_Escape:
        OnCancel();
        return;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        OnOK();
        return;
      default:
        break;
    }
  }
  QDialog::keyPressEvent(event);
}

void CDialog::closeEvent(QCloseEvent* event) {
  if (m_bEnding) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  OnMessage(WM_CLOSE, 0, 0);
}

void CDialog::showEvent(QShowEvent* event) {
  Build();
  QDialog::showEvent(event);
}
