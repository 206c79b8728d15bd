// The video toolbar's rules without its window: the visible button sets of the
// main window's module switches and of the pages' own toolbars, the clock text,
// the broadcast format and device matching, the all-recording flag.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "live/toolbar/video_toolbar_buttons.h"
#include "ui/picture_resource.h"

using namespace vtb;

namespace {

std::set<int> Range(int first, int last) {
  std::set<int> ids;
  for (int id = first; id <= last; ++id) ids.insert(id);
  return ids;
}

std::set<int> Join(std::initializer_list<std::set<int>> parts) {
  std::set<int> all;
  for (const auto& part : parts) all.insert(part.begin(), part.end());
  return all;
}

const std::set<int> kMouse = Range(1352, 1355);
const std::set<int> kLive = Join({kMouse, Range(1023, 1034), Range(1017, 1022), Range(1281, 1284),
                                  {1286, 1288, 1289, 1374, 1384, 1385}});
const std::set<int> kPlayback = Join({kMouse, Range(1380, 1383), {1017, 1283, 1384, 1385}});

std::set<int> Visible(const CToolbarButtonSet& set) {
  auto ids = set.VisibleControls();
  return std::set<int>(ids.begin(), ids.end());
}

}  // namespace

TEST(VideoToolbarButtons, TemplateHidesTheTvWallFlipAndPlaybackButtons) {
  CToolbarButtonSet set;
  std::set<int> all(AllControls().begin(), AllControls().end());
  for (int id : {1285, 1287, 1380, 1381, 1382, 1383}) all.erase(id);
  EXPECT_EQ(Visible(set), all);
  EXPECT_EQ(set.X(1352), 50);
  EXPECT_EQ(set.X(1353), 77);
  EXPECT_EQ(set.X(1354), 104);
  EXPECT_EQ(set.X(1355), 131);
  EXPECT_EQ(set.Width(1384), 7);
  EXPECT_EQ(set.Width(1017), 22);
}

TEST(VideoToolbarButtons, VisibleSetsOfModuleSwitchesAndPages) {
  // Each row starts from the template; `steps` calls the toolbar as its owner does.
  struct Row {
    const char* name;
    std::function<void(CToolbarButtonSet&)> steps;
    std::set<int> visible;
    int patrolX, fillX, separatorX;
  };
  const Row rows[] = {
      {"live view", [](CToolbarButtonSet& s) { s.ShowPlaybackButtons(false); s.ShowLiveButtons(false, false, 0); },
       kLive, 431, 497, 663},
      {"record query", [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, false, 1); s.ShowPlaybackButtons(true); },
       kPlayback, 431, 233, 299},
      {"TV wall", [](CToolbarButtonSet& s) { s.ShowLiveButtons(true, false, 4); s.ShowPlaybackButtons(false); },
       {1284, 1285}, 200, 497, 663},
      {"e-map", [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, false, 5); s.ShowPlaybackButtons(false); },
       kMouse, 431, 497, 663},
      {"map page", [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, true, 0); }, kMouse, 431, 497, 663},
      {"playback page", [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, true, 0); s.ShowPlaybackButtons(true); },
       kPlayback, 431, 233, 299},
      {"TV-wall page", [](CToolbarButtonSet& s) { s.ShowLiveButtons(true, false, 0); }, {1284, 1285}, 200, 497, 663},
      {"record query then live view",
       [](CToolbarButtonSet& s) {
         s.ShowLiveButtons(false, false, 1);
         s.ShowPlaybackButtons(true);
         s.ShowPlaybackButtons(false);
         s.ShowLiveButtons(false, false, 0);
       },
       kLive, 431, 497, 663},
      {"TV wall then live view",
       [](CToolbarButtonSet& s) {
         s.ShowLiveButtons(true, false, 4);
         s.ShowPlaybackButtons(false);
         s.ShowPlaybackButtons(false);
         s.ShowLiveButtons(false, false, 0);
       },
       kLive, 431, 497, 663},
      {"live view then TV wall then record query",  // fill screen comes back with the playback set
       [](CToolbarButtonSet& s) {
         s.ShowLiveButtons(true, false, 4);
         s.ShowLiveButtons(false, false, 1);
         s.ShowPlaybackButtons(true);
       },
       kPlayback, 431, 233, 299},
  };
  for (const Row& row : rows) {
    CToolbarButtonSet set;
    row.steps(set);
    EXPECT_EQ(Visible(set), row.visible) << row.name;
    EXPECT_EQ(set.X(1284), row.patrolX) << row.name;
    EXPECT_EQ(set.X(1283), row.fillX) << row.name;
    EXPECT_EQ(set.X(1385), row.separatorX) << row.name;
  }
}

TEST(VideoToolbarButtons, PlaybackOffKeepsFillScreenVisibilityAndNeverTouchesFlip) {
  CToolbarButtonSet set;
  set.ShowLiveButtons(true, false, 4);  // hides fill screen
  set.ShowPlaybackButtons(false);
  EXPECT_FALSE(set.IsVisible(1283));
  set.ShowLiveButtons(false, false, 0);
  set.ShowPlaybackButtons(false);
  EXPECT_TRUE(set.IsVisible(1283));
  EXPECT_FALSE(set.IsVisible(1287));
}

TEST(VideoToolbarButtons, ShownButtonsNeverOverlap) {
  std::function<void(CToolbarButtonSet&)> pages[] = {
      [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, false, 0); },
      [](CToolbarButtonSet& s) { s.ShowLiveButtons(false, false, 1); s.ShowPlaybackButtons(true); },
      [](CToolbarButtonSet& s) { s.ShowLiveButtons(true, false, 4); },
  };
  for (auto& page : pages) {
    CToolbarButtonSet set;
    page(set);
    auto ids = set.VisibleControls();
    for (size_t i = 0; i < ids.size(); ++i) {
      for (size_t j = i + 1; j < ids.size(); ++j) {
        const int a = set.X(ids[i]), b = set.X(ids[j]);
        EXPECT_TRUE(a + set.Width(ids[i]) <= b || b + set.Width(ids[j]) <= a) << ids[i] << " " << ids[j];
      }
    }
  }
}

TEST(VideoToolbarButtons, ButtonMeanings) {
  const int layouts[] = {1, 4, 6, 9, 8, 16, 25, 36, 10, 13, 49, 64};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(GridLayoutOfButton(1023 + i), layouts[i]);
  EXPECT_EQ(GridLayoutOfButton(1017), 0);
  EXPECT_EQ(PlaybackWindowsOfButton(1380), 1);
  EXPECT_EQ(PlaybackWindowsOfButton(1381), 2);
  EXPECT_EQ(PlaybackWindowsOfButton(1382), 4);
  EXPECT_EQ(PlaybackWindowsOfButton(1383), 0);
  EXPECT_EQ(MouseModeOfButton(1352), 0);  // pointer
  EXPECT_EQ(MouseModeOfButton(1353), 3);  // moving
  EXPECT_EQ(MouseModeOfButton(1354), 1);  // zoom in
  EXPECT_EQ(MouseModeOfButton(1355), 2);  // zoom out
  EXPECT_EQ(MouseModeOfButton(1356), -1);
}

TEST(VideoToolbarButtons, ClockText) {
  std::tm t{};
  t.tm_year = 2024 - 1900;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 4;
  t.tm_sec = 9;
  EXPECT_EQ(ClockText(t), "2024-03-05 07:04:09");
  EXPECT_EQ(ClockTextNow().size(), 19u);
}

TEST(VideoToolbarButtons, AllSchemesOn) {
  RecSchemeInfo on1, on2, off;
  on1.OnOff = on2.OnOff = 1;
  EXPECT_EQ(AllSchemesOn({&on1, &on2}), 1);
  EXPECT_EQ(AllSchemesOn({&on1, &off, &on2}), 0);
  EXPECT_EQ(AllSchemesOn({}), 0);  // nothing records: the button offers to start
}

// Every face of every button, in each of its states, is a picture of the
// program at the button's size.
TEST(VideoToolbarButtons, EveryFaceIsAPictureAtTheButtonSize) {
  std::vector<std::pair<std::string, std::string>> faces;  // what, file
  auto add = [&](const std::string& what, const ButtonFace& face) {
    faces.emplace_back(what, face.picture != 0 ? PictureResourcePath(face.picture, "PNG")
                                               : PictureResourcePath(face.name, "PNG"));
  };
  for (int id : AllControls()) {
    if (IsSeparator(id)) continue;
    for (bool on : {false, true}) add("button " + std::to_string(id), InitialFace(id, on, on));
  }
  for (bool on : {false, true}) {
    const std::string state = on ? " on" : " off";
    add("record all" + state, RecordAllFace(on));
    add("manual record" + state, ManualRecordFace(on));
    for (UINT picture : {AlarmActionPicture(on), FillScreenPicture(on), TalkPicture(on), SoundPicture(on),
                         PatrolPicture(on), BroadcastPicture(on)}) {
      add("picture " + std::to_string(picture), ButtonFace{picture, "", 0});
    }
  }
  for (const auto& [what, file] : faces) {
    const QImage picture = LoadPictureFile(file);
    EXPECT_EQ(picture.size(), QSize(CToolbarButtonSet::kSize, CToolbarButtonSet::kSize)) << what << ": " << file;
  }
}
