// The playback time-line bar: where a point of it falls, its rows drawn in the
// day maps' colours at the three scales, its answers to bad rows and times,
// and the messages its clicks and its slider send to the owner.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <string>
#include <vector>

#include "platform/wnd.h"
#include "records/playback/play_back_toll_bar.h"
#include "records/playback/time_bar_geometry.h"
#include "ui/skin_slider.h"

namespace {

using namespace timebar;

class Owner : public QWidget, public CWnd {
 public:
  Owner() : CWnd(this) {}
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    messages.push_back({msg, wParam, lParam});
    return 0;
  }
  struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Message> messages;
  int Count(UINT msg) const {
    int n = 0;
    for (const Message& m : messages) n += m.msg == msg;
    return n;
  }
  const Message* Last(UINT msg) const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it) {
      if (it->msg == msg) return &*it;
    }
    return nullptr;
  }
};

constexpr QRgb kSchedule = qRgb(0, 220, 0);
constexpr QRgb kAlarm = qRgb(220, 0, 0);
constexpr QRgb kNone = qRgb(220, 220, 220);
constexpr QRgb kBackground = qRgb(248, 255, 248);
constexpr QRgb kCursor = qRgb(255, 0, 0);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// y of the middle of row r's recording band in the window.
int BandY(int row) { return kScaleHeight + kRowHeight * row + 10; }

std::string DayMap(int schedule, int alarm) {
  return std::string(schedule, 'A') + std::string(alarm, 'B') + std::string(1440 - schedule - alarm, 'C');
}

class TimeBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_ = new CPlayBackTollBar(owner_.GetSafeHwnd(), &owner_);
    ASSERT_TRUE(bar_->Create(CPlayBackTollBar::IDD, &owner_));
    bar_->setGeometry(0, 0, 1044, 230);  // W = 960, rows 168 high: 7 rows
    bar_->show();
    owner_.resize(1044, 230);
    owner_.show();
    ASSERT_EQ(bar_->GetRowCount(), 7);
  }

  QRgb Pixel(int x, int y) { return bar_->grab().toImage().pixel(x, y); }

  void Click(QEvent::Type type, int x, int y) {
    const QPointF at(x, y);
    QMouseEvent event(type, at, bar_->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar_, &event);
    QCoreApplication::processEvents();
  }

  Owner owner_;
  CPlayBackTollBar* bar_ = nullptr;  // owned by owner_
};

TEST(TimeBarGeometry, PointsToRowsAndSeconds) {
  struct Case {
    int scale, x, y, viewStart;
    bool doubleClick;
    bool inBand;
    int row, second;
  };
  const Case cases[] = {
      {1, 85, BandY(0), 0, false, true, 0, 90},           // 1 pixel into the bar: 86400 / 960
      {1, 84 + 480, BandY(3), 0, true, true, 3, 43200},
      {2, 94, BandY(0), 28800, false, true, 0, 28950},     // 10 pixels: 150 s
      {2, 94, BandY(0), 28800, true, true, 0, 28920},      // double click: whole minutes
      {3, 95, BandY(6), 32370, true, true, 6, 32375},
      {1, 300, kScaleHeight + 2, 0, false, false, 0, 0},   // on the band's upper edge
      {1, 300, kScaleHeight + 20, 0, false, false, 0, 0},  // on its lower edge
      {1, 300, kScaleHeight + 24 + 3, 0, false, true, 1, 19440},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " at " << c.x << "," << c.y);
    const RowHit hit = HitRow(c.x, c.y);
    EXPECT_EQ(hit.inBand, c.inBand);
    if (!c.inBand) continue;
    EXPECT_EQ(hit.row, c.row);
    EXPECT_EQ(PointedSecond(c.scale, hit.dx, c.viewStart, 960, c.doubleClick), c.second);
  }
  EXPECT_EQ(PointedSecond(kScaleDay, 5, 0, 0, false), -1);  // a bar without width points nowhere

  // The finer views: W = 960 shows 240 minutes (slider up to 72000) or 480 s.
  EXPECT_EQ(ViewFor(kScaleMinutes, 600, 960).sliderMax, 72000);
  EXPECT_EQ(ViewFor(kScaleMinutes, 600, 960).viewStart, 0);
  EXPECT_EQ(ViewFor(kScaleMinutes, 86000, 960).viewStart, 72000);
  EXPECT_EQ(ViewFor(kScaleSeconds, 43200, 960).viewStart, 42960);
  EXPECT_EQ(ViewFor(kScaleSeconds, 43200, 960).sliderMax, 85920);
  EXPECT_EQ(ViewStartFromSlider(kScaleMinutes, 28859, false), 28800);
  EXPECT_EQ(ViewStartFromSlider(kScaleMinutes, 28801, true), 28860);
  EXPECT_EQ(ViewStartFromSlider(kScaleSeconds, 28801, true), 28801);
  EXPECT_EQ(RowCount(100), 1);  // 38 pixels of rows
  EXPECT_EQ(RowCount(60), 0);
  EXPECT_EQ(SecondStripAt(28799).strip, 0);
  EXPECT_EQ(SecondStripAt(28800).strip, 1);
  EXPECT_EQ(SecondStripAt(86399).x, 2 * 86399 - 2 * kSecondStripWidth);
}

TEST_F(TimeBarTest, RowsShowTheDayMapsInTheirColoursAtEachScale) {
  ASSERT_EQ(bar_->SetRow(DayMap(480, 60).c_str(), "Gate", 0), 0);   // 00:00-08:00 plan, 08:00-09:00 alarm
  ASSERT_EQ(bar_->SetRow(std::string(1440, 'A').c_str(), nullptr, 1), 0);
  ASSERT_EQ(bar_->SetRow(DayMap(0, 0).c_str(), "Yard", 2), 0);
  EXPECT_STREQ(bar_->GetRow(1)->szName, "video1");

  // Whole day: 960 pixels for 1440 minutes.
  struct Spot {
    int x, y;
    QRgb colour;
  };
  const Spot day[] = {
      {84 + 160, BandY(0), kSchedule}, {84 + 340, BandY(0), kAlarm}, {84 + 600, BandY(0), kNone},
      {84 + 1, BandY(1), kSchedule},   {84 + 959, BandY(1), kSchedule}, {84 + 500, BandY(2), kNone},
      {84 + 500, BandY(3), kBackground},                  // a row not set
      {84 + 160, kScaleHeight + 3, kBackground},          // above the band
      {84 + 160, kScaleHeight + 23, kBlack},              // the row's separator
      {84 + 40, 25, kBlack},                              // the 2-hour tick of the scale
      {84 + 40, 5, kBackground},
  };
  for (const Spot& s : day) EXPECT_EQ(Pixel(s.x, s.y), s.colour) << s.x << "," << s.y;

  ASSERT_EQ(bar_->SetRowCursor(0, 43200), 0);
  EXPECT_EQ(Pixel(84 + 480, BandY(0)), kCursor);
  EXPECT_EQ(bar_->GetRowCursor(0), 43200);

  // Minutes: 4 pixels a minute from 08:00.
  ASSERT_EQ(bar_->SetScale(kScaleMinutes), 0);
  ASSERT_EQ(bar_->SetViewStart(28800), 0);
  ASSERT_EQ(bar_->SetRowCursor(1, 28800 + 15 * 100), 0);
  const Spot minutes[] = {
      {86, BandY(0), kAlarm}, {84 + 4 * 59 + 2, BandY(0), kAlarm}, {84 + 4 * 60 + 2, BandY(0), kNone},
      {84 + 100, BandY(1), kCursor}, {84 + 99, BandY(1), kSchedule},
  };
  for (const Spot& s : minutes) EXPECT_EQ(Pixel(s.x, s.y), s.colour) << s.x << "," << s.y;

  // Seconds: 2 pixels a second from 08:59:30; the day's alarm ends at 09:00.
  ASSERT_EQ(bar_->SetScale(kScaleSeconds), 0);
  ASSERT_EQ(bar_->SetViewStart(32370), 0);
  ASSERT_EQ(bar_->SetRowCursor(0, 32400), 0);
  const Spot seconds[] = {
      {84 + 10, BandY(0), kAlarm}, {84 + 58, BandY(0), kAlarm}, {84 + 60, BandY(0), kCursor},
      {84 + 62, BandY(0), kNone},  {84 + 300, BandY(1), kSchedule},
  };
  for (const Spot& s : seconds) EXPECT_EQ(Pixel(s.x, s.y), s.colour) << s.x << "," << s.y;

  // A cleared row is background again and answers as not set.
  ASSERT_EQ(bar_->ClearRow(0), 0);
  EXPECT_EQ(Pixel(84 + 10, BandY(0)), kBackground);
  EXPECT_EQ(bar_->SetRowCursor(0, 10), -2);
  EXPECT_EQ(bar_->GetRowCursor(0), 0);
  EXPECT_EQ(bar_->GetRow(0), nullptr);
}

TEST_F(TimeBarTest, RefusesBadRowsTimesAndScales) {
  const std::string map = DayMap(10, 10);
  struct Case {
    int row;
    int result;
  };
  for (const Case& c : {Case{-1, -1}, Case{7, -2}, Case{6, 0}}) {
    EXPECT_EQ(bar_->SetRow(map.c_str(), "x", c.row), c.result) << c.row;
  }
  bar_->setGeometry(0, 0, 1044, 180);  // 118 pixels of rows: 4 rows, a fifth would still start inside
  EXPECT_EQ(bar_->GetRowCount(), 4);
  EXPECT_EQ(bar_->SetRow(map.c_str(), "x", 4), -3);
  EXPECT_EQ(bar_->SetRow(map.c_str(), "x", 3), 0);
  EXPECT_EQ(bar_->SetRowCursor(3, 86400), 0);
  EXPECT_EQ(bar_->SetRowCursor(3, 86401), -1);
  EXPECT_EQ(bar_->SetRowCursor(3, -1), -1);
  EXPECT_EQ(bar_->SetViewStart(0), -1);
  EXPECT_EQ(bar_->SetViewStart(86400), -1);
  EXPECT_EQ(bar_->SetViewStartHMS(23, 59, 59), 0);
  EXPECT_EQ(bar_->GetViewStart(), 86399);
  EXPECT_EQ(bar_->SetScale(0), -1);
  EXPECT_EQ(bar_->SetScale(4), -1);
  // A map shorter than the day paints only its letters; a long name is cut.
  EXPECT_EQ(bar_->SetRow("AAAA", std::string(60, 'n').c_str(), 0), 0);
  EXPECT_EQ(std::string(bar_->GetRow(0)->szName), std::string(31, 'n'));
  EXPECT_EQ(Pixel(84 + 1, BandY(0)), kSchedule);
  EXPECT_EQ(Pixel(84 + 20, BandY(0)), kBackground);
}

TEST_F(TimeBarTest, ClicksAndTheSliderTellTheOwner) {
  ASSERT_EQ(bar_->SetRow(DayMap(480, 60).c_str(), "Gate", 0), 0);
  ASSERT_EQ(bar_->SetRowDate(0, 2024, 1, 5), 0);
  struct Case {
    int scale, viewStart, x, y;
    WPARAM row;
    LPARAM second;  // of the double click
  };
  const Case cases[] = {
      {1, 0, 85, BandY(0), 0, 90},
      {1, 0, 40, BandY(0), 0, kNameClicked},
      {1, 0, 84 + 480, BandY(2), 2, 43200},  // rows that are not set are the owner's matter
      {2, 28800, 94, BandY(0), 0, 28920},
      {3, 32370, 95, BandY(1), 1, 32375},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "scale " << c.scale << " x " << c.x);
    ASSERT_EQ(bar_->SetScale(c.scale), 0);
    if (c.viewStart) {
      ASSERT_EQ(bar_->SetViewStart(c.viewStart), 0);
    }
    const int notices = owner_.Count(WM_TIMEBAR_NOTIFY);
    Click(QEvent::MouseButtonDblClick, c.x, c.y);
    Click(QEvent::MouseButtonRelease, c.x, c.y);
    ASSERT_NE(owner_.Last(WM_PLAYBACK_DBLCLICK), nullptr);
    EXPECT_EQ(owner_.Last(WM_PLAYBACK_DBLCLICK)->wParam, c.row);
    EXPECT_EQ(owner_.Last(WM_PLAYBACK_DBLCLICK)->lParam, c.second);
    EXPECT_EQ(owner_.Count(WM_TIMEBAR_NOTIFY), notices + 1);
    owner_.messages.clear();
  }
  // A click sets the bar's cursor time; the minute scale then centres on it.
  ASSERT_EQ(bar_->SetScale(kScaleDay), 0);
  Click(QEvent::MouseButtonRelease, 84 + 480, BandY(0));
  EXPECT_EQ(bar_->GetCursorTime(), 43200);
  // The "M" label switches the scale.
  Click(QEvent::MouseButtonRelease, 32, 20);
  EXPECT_EQ(bar_->GetScale(), kScaleMinutes);
  EXPECT_EQ(bar_->GetViewStart(), 43200 - 7200);
  // Off the band: only the notice.
  Click(QEvent::MouseButtonDblClick, 300, kScaleHeight + 1);
  EXPECT_EQ(owner_.Count(WM_PLAYBACK_DBLCLICK), 0);

  // A line down at the minute scale goes to the next whole minute.
  bar_->GetSlider()->setValue(30030);
  bar_->GetSlider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  QCoreApplication::processEvents();
  EXPECT_EQ(bar_->GetViewStart(), 30060);
  EXPECT_EQ(bar_->GetSlider()->value(), 30060);
  EXPECT_GE(owner_.Count(WM_TIMEBAR_NOTIFY), 1);
}

}  // namespace

// The view start in the corner and a long name in the names column keep
// inside their places: the last columns before their edges stay clear.
TEST_F(TimeBarTest, TextsKeepInsideTheirPlaces) {
  ASSERT_EQ(bar_->SetRow(DayMap(480, 60).c_str(), "Demo camera 1 at the yard", 0), 0);
  ASSERT_EQ(bar_->SetScale(kScaleMinutes), 0);
  ASSERT_EQ(bar_->SetViewStart(12 * 3600 + 34 * 60 + 56), 0);
  QCoreApplication::processEvents();
  const QImage shot = bar_->grab().toImage();
  auto inked = [&](int left, int right, int top, int bottom) {
    for (int x = left; x <= right; ++x)
      for (int y = top; y <= bottom; ++y)
        if (shot.pixel(x, y) == kBlack) return true;
    return false;
  };
  EXPECT_TRUE(inked(12, 59, 1, 14));    // the corner shows the time
  EXPECT_FALSE(inked(60, 61, 1, 14));   // within its 50 pixels from x 12
  EXPECT_TRUE(inked(0, 79, kScaleHeight + 3, kScaleHeight + 18));   // the name
  EXPECT_FALSE(inked(80, 81, kScaleHeight + 3, kScaleHeight + 18));  // before the column's border
}
