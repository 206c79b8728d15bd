// A console page built from every skinned control, rendered offscreen and
// saved under the build folder ("screenshots/") for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QPainter>

#include "core/res_msg_dlg.h"
#include "core/module_path.h"
#include "ui/gdi_manager.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/skin_group_box.h"
#include "ui/skin_static.h"
#include "ui/sort_list_ctrl.h"
#include "ui/splash_dlg.h"
#include "ui/sys_colors.h"
#include "ui/transparent_static.h"

namespace {

class ConsolePage : public QWidget {
 public:
  ConsolePage() {
    resize(820, 520);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(GetSysColor(COLOR_BTNTEXT)));
    setPalette(pal);

    const wchar_t* tabs[] = {L"Live View", L"Playback", L"Alarms", L"Settings"};
    for (int i = 0; i < 4; ++i) {
      auto* tab = new CImageFileButton(this);
      tab->setGeometry(12 + i * 124, 10, 120, 36);
      tab->SetImageFile(GetModuleDir() + "Images\\tab1.png");
      tab->SetCaptionW(tabs[i]);
      tab->SetTextColor(i == 0 ? 0x2171F7 : RGB(0xE3, 0xE9, 0xEF));
    }
    auto* title = new CTransparentStatic(this, SS_CENTERIMAGE);
    title->setGeometry(16, 56, 400, 28);
    QFont big = font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    title->setFont(big);
    title->SetText("Patrol plans");

    auto* group = new CTGroupBox(this);
    group->setGeometry(12, 90, 796, 74);
    group->setTitle("Plan");
    auto* name = new CTransparentStatic(this, SS_CENTERIMAGE);
    name->setGeometry(28, 112, 120, 22);
    name->SetText("Plan name:");
    info = new CSkinStatic(this);
    info->setGeometry(150, 112, 300, 22);
    info->setText(" Lobby and car park, every 30 s");
    auto* hint = new CTransparentStatic(this, SS_LEFT | SS_ENDELLIPSIS);
    hint->setGeometry(28, 138, 760, 20);
    hint->SetText("Click a header to sort. Click the Remark column of the selected row to edit it.");

    list = new CSortListCtrl(this);
    list->setGeometry(12, 176, 796, 270);
    list->SetColumnHeader("No.,46,1;Device,150;Address,120;Channel,64,1;Stay (s),70,2;Load,70,2;Remark,180;Added,92");
    list->SetGridLines(TRUE);
    list->SetCheckboxes(1);
    list->m_bSortOnClick = TRUE;
    const char* rows[][8] = {
        {"1", "Lobby entrance", "192.168.1.64", "1", "30", "12.5%", "Front door", "2024-03-05"},
        {"2", "Car park north", "192.168.1.65", "1", "30", "48%", "Offline since 08:12", "2024-03-05"},
        {"3", "Corridor B2", "192.168.1.70", "2", "20", "7%", "", "2024-03-06"},
        {"4", "Loading bay", "192.168.1.71", "1", "45", "31.2%", "Night only", "2024-03-07"},
        {"5", "Server room", "192.168.1.80", "4", "15", "3%", "", "2024-03-09"},
        {"6", "Reception", "192.168.1.81", "1", "30", "19%", "", "2024-03-11"},
    };
    for (int r = 0; r < 6; ++r) {
      int row = list->InsertItem(r, rows[r][0]);
      for (int c = 1; c < 8; ++c) list->SetItemText(row, c, rows[r][c]);
      list->SetItemTextColor(row, -1, r == 1 ? 0x0000FF : 0, TRUE);
      list->SetCheck(row, r != 2);
    }
    list->SortItems(1, TRUE);
    list->SetItemStates(2, RLS_SELECTED | RLS_FOCUSED);

    const wchar_t* captions[] = {L"Add", L"Remove", L"Save", L"Detail"};
    for (int i = 0; i < 4; ++i) {
      auto* button = new CImageButton(this);
      button->setGeometry(420 + i * 96, 466, 80, 28);
      button->SetImageResource(190, "PNG");
      button->SetCaptionW(captions[i]);
      buttons[i] = button;
    }
    buttons[2]->SetButtonMode(2);
    buttons[2]->SetToolTipTextW(L"Nothing to save");
    auto* status = new CTransparentStatic(this, SS_CENTERIMAGE);
    status->setGeometry(16, 466, 380, 28);
    status->SetText("6 devices, 5 in the plan");
  }

  QImage Background() {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(ToQColor(GetSysColor(COLOR_BTNFACE)));
    QPainter painter(&image);
    gdi.DrawImageFile(GetModuleDir() + "Images\\Pagebk.jpg", RECT{0, 0, width(), height()}, &painter);
    return image;
  }

  CSortListCtrl* list = nullptr;
  CSkinStatic* info = nullptr;
  CImageButton* buttons[4] = {};

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(GetSysColor(COLOR_BTNFACE)));
    gdi.DrawImageFile(GetModuleDir() + "Images\\Pagebk.jpg", RECT{0, 0, width(), height()}, &painter);
  }

 private:
  CGdiManger gdi;
};

QString ShotFolder() {
  QString folder = QString::fromStdString(GetModuleDir()) + "screenshots/";
  QDir().mkpath(folder);
  return folder;
}

}  // namespace

TEST(ConsoleScreenshot, EveryControlOnOnePage) {
  ConsolePage page;
  page.show();
  QImage background = page.Background();
  for (CImageButton* button : page.buttons) button->SetBackgroundDC(background);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(page.buttons[0], &enter);  // the first button shows its hover look
  page.list->SetEditable(TRUE);
  ASSERT_TRUE(page.list->StartEdit(2, CSortListCtrl::kEditColumn));

  QImage shot = page.grab().toImage();
  ASSERT_TRUE(shot.save(ShotFolder() + "skin_console.png"));
  // The page background comes from the skin picture, not the plain fill.
  EXPECT_NE(shot.pixelColor(810, 300), ToQColor(GetSysColor(COLOR_BTNFACE)));

  CResMsgDlg box(&page);
  box.Create(CResMsgDlg::IDD, &page);
  box.ShowMsg(L"The plan was saved.\nIt starts with the next patrol round.", 5);
  ASSERT_TRUE(box.grab().toImage().save(ShotFolder() + "skin_message_box.png"));
  box.hide();

  CSplashDlg splash;
  splash.Create(CSplashDlg::IDD, nullptr);
  splash.show();
  splash.ShowText(L"Login...");
  ASSERT_TRUE(splash.grab().toImage().scaled(800, 500, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                  .save(ShotFolder() + "skin_splash.png"));
}
