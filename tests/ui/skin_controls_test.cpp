// The skinned controls, painted offscreen and checked by their pixels.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>

#include "common/temp_folder.h"
#include "platform/file_api.h"
#include "platform/paths.h"
#include "ui/draw_text.h"
#include "ui/gdi_manager.h"
#include "ui/image_button.h"
#include "ui/image_file_button.h"
#include "ui/picture_resource.h"
#include "ui/skin_group_box.h"
#include "ui/splash_dlg.h"
#include "ui/transparent_static.h"

namespace {

const QColor kRed(200, 40, 40);
const QColor kGreen(20, 160, 60);
const QColor kBlue(30, 60, 200);

// A program folder of its own with picture files made here.
class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths::SetProgramFolder(folder.Path());
    fileapi::MakeDirectory(folder.File("Resources"));
    fileapi::MakeDirectory(folder.File("Resources/png"));
    fileapi::MakeDirectory(folder.File("Images"));
  }
  void TearDown() override { paths::SetProgramFolder(""); }

  // A 20 x 10 face: opaque colour on the left 15 columns, transparent after.
  void WriteFace(const std::string& path, QColor colour) {
    QImage face(20, 10, QImage::Format_ARGB32);
    face.fill(Qt::transparent);
    QPainter(&face).fillRect(0, 0, 15, 10, colour);
    ASSERT_TRUE(face.save(QString::fromStdString(path), "PNG"));
  }

  static QImage Render(QWidget& widget) { return widget.grab().toImage(); }

  TempFolder folder;
};

}  // namespace

TEST_F(SkinTest, GdiManagerStretchesDrawsAtNaturalSizeAndSkipsMissingFiles) {
  QImage picture(4, 2, QImage::Format_RGB32);
  picture.fill(kBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("Images/Pagebk.png"))));
  std::string path = paths::ProgramFolder() + "Images\\Pagebk.png";  // the program's Windows form

  QImage target(40, 20, QImage::Format_RGB32);
  target.fill(kGreen);
  CGdiManger gdi;
  {
    QPainter painter(&target);
    gdi.DrawImageFile(path, RECT{10, 5, 30, 15}, &painter);
    gdi.DrawImageFileAt(path, POINT{0, 0}, &painter);
    gdi.DrawImageFile(paths::ProgramFolder() + "Images\\Missing.jpg", RECT{0, 0, 40, 20}, &painter);
    gdi.DrawImageFile(path, RECT{35, 0, 35, 20}, &painter);  // no width: nothing
    gdi.DrawImageFile(path, RECT{0, 0, 40, 20}, nullptr);
  }
  EXPECT_EQ(target.pixelColor(29, 14), kBlue);   // stretched to 20 x 10
  EXPECT_EQ(target.pixelColor(30, 15), kGreen);
  EXPECT_EQ(target.pixelColor(3, 1), kBlue);     // natural size 4 x 2
  EXPECT_EQ(target.pixelColor(4, 2), kGreen);
  EXPECT_EQ(target.pixelColor(35, 19), kGreen);  // the missing file left the target alone

  wchar_t* wide = CGdiManger::AnsiToWide("\xb1\xb1\xbe\xa9");  // GBK 北京
  EXPECT_EQ(std::wstring(wide), L"北京");
  delete[] wide;
}

TEST_F(SkinTest, ImageButtonLooksNormalPressedHoverDisabledAndAlternate) {
  WriteFace(PictureResourcePath(500, "PNG"), kRed);
  WriteFace(PictureResourcePath(501, "PNG"), kBlue);
  QWidget parent;
  parent.resize(60, 30);
  CImageButton button(&parent);
  button.setGeometry(5, 5, 22, 12);
  QImage parentPixels(60, 30, QImage::Format_ARGB32_Premultiplied);
  parentPixels.fill(kGreen);
  button.SetBackgroundDC(parentPixels);
  ASSERT_TRUE(button.SetImageResource(500, "PNG"));
  ASSERT_TRUE(button.SetAltImageResource(501, "PNG"));
  parent.show();

  QImage normal = Render(button);
  EXPECT_EQ(normal.pixelColor(0, 0), kRed);
  EXPECT_EQ(normal.pixelColor(16, 5), kGreen);  // transparent part of the face shows the parent

  button.setDown(true);
  QImage pressed = Render(button);
  EXPECT_EQ(pressed.pixelColor(0, 0), kGreen);  // face moved by one pixel
  EXPECT_EQ(pressed.pixelColor(1, 1), kRed);
  button.setDown(false);

  QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), QPointF(3, 3));
  QApplication::sendEvent(&button, &enter);
  EXPECT_TRUE(button.IsHovering());
  EXPECT_EQ(button.GetTextColor(), CImageButton::kHoverTextColor);
  QImage hover = Render(button);
  EXPECT_EQ(hover.pixelColor(0, 0), QColor(223, 55, 55));  // x 1.05 + 0.05

  button.SetButtonMode(2);
  QImage disabled = Render(button);
  EXPECT_EQ(disabled.pixelColor(0, 0), QColor(88, 88, 88));  // 0.3 R + 0.59 G + 0.11 B
  button.setDown(true);
  EXPECT_EQ(Render(button).pixelColor(0, 0), QColor(88, 88, 88));  // whatever the mouse does
  button.setDown(false);

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
  EXPECT_EQ(button.GetTextColor(), 0u);
  button.SetButtonMode(0);
  button.EnableToggle(TRUE);
  button.click();
  EXPECT_EQ(button.GetCurType(), 1);
  EXPECT_EQ(Render(button).pixelColor(0, 0), kBlue);
  button.click();
  EXPECT_EQ(Render(button).pixelColor(0, 0), kRed);

  button.SetTextColor(CImageButton::kHoverTextColor);  // pinned
  QApplication::sendEvent(&button, &leave);
  EXPECT_EQ(button.GetTextColor(), CImageButton::kHoverTextColor);
}

TEST_F(SkinTest, ImageButtonWithoutAPictureDrawsOnlyItsCaptionAndCannotToggle) {
  QWidget parent;
  parent.resize(100, 40);
  CImageButton button(&parent);
  button.setGeometry(0, 0, 100, 40);
  QImage parentPixels(100, 40, QImage::Format_ARGB32_Premultiplied);
  parentPixels.fill(kGreen);
  button.SetBackgroundDC(parentPixels);
  EXPECT_FALSE(button.SetImageResource(999, "PNG"));  // missing
  ASSERT_TRUE(fileapi::WriteWhole(PictureResourcePath(998, "PNG"), "not a picture", 13));
  EXPECT_FALSE(button.SetImageResource(998, "PNG"));
  EXPECT_FALSE(button.SetAltImageResource(998, "PNG"));
  button.EnableToggle(TRUE);
  button.click();
  EXPECT_EQ(button.GetCurType(), 0);
  parent.show();

  QImage plain = Render(button);
  for (int x = 0; x < 100; x += 7) EXPECT_EQ(plain.pixelColor(x, 20), kGreen);
  button.SetCaptionW(L"MMMM");
  button.SetTextColor(0x0000FF);
  QImage captioned = Render(button);
  int red = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 100; ++x) red += captioned.pixelColor(x, y).red() > 150 ? 1 : 0;
  }
  EXPECT_GT(red, 10);
  EXPECT_EQ(captioned.pixelColor(2, 2), kGreen);
}

TEST_F(SkinTest, TransparentStaticFormatFollowsTheStyleBits) {
  EXPECT_EQ(StaticTextFormat(SS_LEFT), DT_WORDBREAK);
  EXPECT_EQ(StaticTextFormat(SS_CENTERIMAGE), DT_VCENTER | DT_SINGLELINE);
  EXPECT_EQ(StaticTextFormat(SS_RIGHT | SS_NOPREFIX), DT_RIGHT | DT_NOPREFIX | DT_WORDBREAK);
  EXPECT_EQ(StaticTextFormat(SS_CENTER), DT_CENTER | DT_WORDBREAK);
  EXPECT_EQ(StaticTextFormat(SS_ENDELLIPSIS), DT_WORD_ELLIPSIS | DT_END_ELLIPSIS);
  EXPECT_EQ(StaticTextFormat(SS_PATHELLIPSIS), DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS);

  // SS_CENTERIMAGE draws one vertically centred line over the parent, no background.
  QWidget parent;
  parent.resize(200, 60);
  CTransparentStatic label(&parent, SS_CENTERIMAGE);
  label.setGeometry(0, 0, 200, 60);
  label.SetText("Device list");
  QPalette pal = label.palette();
  pal.setColor(QPalette::WindowText, Qt::white);
  label.setPalette(pal);
  QImage image(200, 60, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  label.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  int top = 60, bottom = -1;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (image.pixelColor(x, y).lightness() > 128) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  ASSERT_GE(bottom, 0);
  EXPECT_NEAR((top + bottom) / 2.0, 30.0, 4.0);
  EXPECT_LT(bottom - top, 25);  // one line
  EXPECT_EQ(image.pixelColor(199, 0), QColor(Qt::black));
}

TEST_F(SkinTest, GroupBoxFrameFlatOrEtchedOpenUnderTheCaption) {
  auto frameRows = [](CTGroupBox& box) {
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    box.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
  };
  CTGroupBox flat(nullptr, BS_FLAT);
  flat.resize(200, 100);
  flat.setTitle("Record");
  QImage f = frameRows(flat);
  int bottomLines = 0;
  for (int y = 90; y < 100; ++y) bottomLines += f.pixelColor(100, y) != QColor(Qt::magenta) ? 1 : 0;
  EXPECT_EQ(bottomLines, 1);  // a single-line frame
  QRect caption = flat.CaptionRect();
  EXPECT_EQ(caption.left(), 10);
  int top = QFontMetrics(flat.font()).height() / 2;
  EXPECT_EQ(f.pixelColor(caption.center().x(), top), QColor(Qt::magenta));  // open under the caption
  EXPECT_NE(f.pixelColor(5, top), QColor(Qt::magenta));

  CTGroupBox etched(nullptr, BS_RIGHT);
  etched.resize(200, 100);
  etched.setTitle("Record");
  QImage e = frameRows(etched);
  bottomLines = 0;
  for (int y = 90; y < 100; ++y) bottomLines += e.pixelColor(100, y) != QColor(Qt::magenta) ? 1 : 0;
  EXPECT_EQ(bottomLines, 2);
  EXPECT_EQ(etched.CaptionRect().right(), 200 - 10 - 1);
  etched.SetStyle(BS_CENTER);
  EXPECT_NEAR(etched.CaptionRect().center().x(), 100, 1);
}

TEST_F(SkinTest, ImageFileButtonStretchesItsPictureUnderTheCaption) {
  QImage picture(2, 2, QImage::Format_RGB32);
  picture.fill(kBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("Images/tab1.png"))));
  CImageFileButton button;
  button.resize(120, 36);
  EXPECT_TRUE(button.SetImageFile(paths::ProgramFolder() + "Images\\tab1.png"));
  button.SetCaptionW(L"Live");
  button.SetTextColor(0x2171F7);
  QImage image = Render(button);
  EXPECT_EQ(image.pixelColor(2, 2), kBlue);
  EXPECT_EQ(image.pixelColor(117, 33), kBlue);
  bool orange = false;
  for (int x = 30; x < 90 && !orange; ++x) {
    for (int y = 8; y < 28 && !orange; ++y) orange = image.pixelColor(x, y).red() > 200;
  }
  EXPECT_TRUE(orange);
}

TEST_F(SkinTest, SplashCoversTheScreenSwallowsKeysAndReplacesItsText) {
  QImage picture(8, 8, QImage::Format_RGB32);
  picture.fill(kBlue);
  ASSERT_TRUE(picture.save(QString::fromStdString(folder.File("Images/Splash.png"))));
  CSplashDlg splash;
  splash.Create(CSplashDlg::IDD, nullptr);
  splash.show();
  QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(splash.geometry(), QRect(QPoint(0, 0), screen));

  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&splash, &escape);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&splash, &enter);
  EXPECT_TRUE(splash.isVisible());

  auto orangeIn = [&](const QImage& image, int fromX, int toX) {
    int count = 0;
    for (int y = 10; y < 35; ++y) {
      for (int x = fromX; x < toX; ++x) {
        QColor c = image.pixelColor(x, y);
        count += c.red() > 180 && c.blue() < 120 ? 1 : 0;
      }
    }
    return count;
  };
  splash.ShowText(L"Login... Login... Login... Login...");
  QImage first = Render(splash);
  EXPECT_EQ(first.pixelColor(screen.width() / 2, screen.height() / 2), kBlue);
  EXPECT_GT(orangeIn(first, 5, 300), 20);
  splash.ShowText(L"OK");
  QImage second = Render(splash);
  EXPECT_EQ(orangeIn(second, 80, 300), 0);  // the old text is gone
  EXPECT_GT(orangeIn(second, 5, 80), 5);
}
