#include "records/search/search_page_support.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QLabel>
#include <QWidget>

#include "core/res_msg_dlg.h"
#include "records/search/search_rec_dlg.h"
#include "ui/transparent_static.h"

namespace searchpage {

bool Show(QWidget& main, CSearchRecDlg** page) {
  *page = new CSearchRecDlg(&main);
  if (!(*page)->Create(CSearchRecDlg::IDD, &main)) return false;
  main.resize(1024, 768);
  (*page)->setGeometry(0, 0, 1024, 768);
  (*page)->show();
  main.show();
  return true;
}

std::string TakeMessage(CSearchRecDlg& page) {
  CResMsgDlg* box = page.GetMsgDlg();
  if (!box->isVisible()) return std::string();
  const std::string text = qobject_cast<QLabel*>(box->GetDlgItem(CResMsgDlg::IDC_MSG_TEXT))->text().toStdString();
  box->hide();
  return text;
}

std::string Status(CSearchRecDlg& page) {
  return dynamic_cast<CTransparentStatic*>(page.GetDlgItem(CSearchRecDlg::IDC_STATUS))->text().toStdString();
}

void Click(CSearchRecDlg& page, int id) { qobject_cast<QAbstractButton*>(page.GetDlgItem(id))->click(); }

void SetDaySpan(CSearchRecDlg& page, int day) {
  qobject_cast<QDateTimeEdit*>(page.GetDlgItem(CSearchRecDlg::IDC_FROM))
      ->setDateTime(QDateTime(QDate(2024, 1, day), QTime(0, 0)));
  qobject_cast<QDateTimeEdit*>(page.GetDlgItem(CSearchRecDlg::IDC_TO))
      ->setDateTime(QDateTime(QDate(2024, 1, day), QTime(23, 59, 59)));
}

}  // namespace searchpage
