// CDialog: a dialog built from its template (platform/dialog_template.h).
//
// The controls are built from the template when the dialog is first run or
// created (DoModal, Create, or a plain show()), then OnInitDialog runs once;
// that is the place to look controls up (GetDlgItem), to put a control class
// of one's own in place of a template control (ReplaceDlgItem) and to hook
// button clicks (OnCommand / OnClicked).
//
// Keys and buttons: Escape calls OnCancel, Enter calls OnOK; clicking a button
// of the template calls OnCommand(id), whose default runs the handler given
// with OnClicked, else OnOK for IDOK (1) and OnCancel for IDCANCEL (2). A posted
// WM_CLOSE and the window's close button reach OnMessage(WM_CLOSE) first,
// whose default calls OnCancel; a dialog that overrides it may ignore it.
//
// A dialog whose template is missing stays an empty dialog: HasTemplate() is
// false, DoModal returns -1 without showing it, Create returns FALSE.
#pragma once

#include <QDialog>
#include <functional>
#include <map>

#include "platform/dialog_template.h"
#include "platform/wnd.h"

class CDialog : public QDialog, public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, QWidget* parent = nullptr);
  ~CDialog() override;

  virtual BOOL OnInitDialog();

  // Runs the dialog modally: IDOK, IDCANCEL or the code given to EndDialog;
  // -1 when the template is missing.
  INT_PTR DoModal();

  // Builds the dialog for modeless use. With a parent and a "child" template it
  // is a borderless child widget of the parent, otherwise a window of its own
  // (owned by the parent when there is one). Shown when the template says
  // "visible". FALSE when the template is missing.
  BOOL Create(UINT nIDTemplate, QWidget* parent = nullptr);

  // Ends the modal loop with `result` (or hides a modeless dialog). May be
  // called from OnInitDialog: DoModal then returns without showing.
  void EndDialog(int result);

  virtual void OnOK();
  virtual void OnCancel();
  virtual BOOL OnCommand(int id);
  void OnClicked(int id, std::function<void()> handler);

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

  // Puts `widget` in place of the template control `id`: it takes over the
  // control's geometry, id, text and shown/enabled state, button clicks go to
  // OnCommand, and the template's widget is deleted. Without such a control the
  // widget is just added as a child with that id. Returns `widget`.
  template <class T>
  T* ReplaceDlgItem(int id, T* widget) {
    ReplaceItem(id, widget);
    return widget;
  }

  UINT GetTemplateId() const { return m_nIDTemplate; }
  bool HasTemplate() const { return m_bHasTemplate; }

 protected:
  // Where the dialog's template comes from: the program's template folder
  // (dlgtemplate::Find). A library with resources of its own looks there instead.
  virtual bool FindTemplate(UINT id, DialogTemplate& out) const;

  void accept() override;
  void reject() override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Build();
  void ConnectButton(QWidget* control, int id);
  void ReplaceItem(int id, QWidget* widget);

  UINT m_nIDTemplate;
  bool m_bBuilt = false;
  bool m_bHasTemplate = false;
  bool m_bEnded = false;
  bool m_bEnding = false;
  std::map<int, std::function<void()>> m_clickHandlers;
};
