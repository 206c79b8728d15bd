#include "live/toolbar/video_toolbar_buttons.h"

#include <cstdio>
#include <cstring>

#include "core/rec_scheme.h"

namespace vtb {

namespace {

constexpr int kLayouts[] = {1, 4, 6, 9, 8, 16, 25, 36, 10, 13, 49, 64};  // buttons 1023..1034

// Starting x of every control. Stated by the program: the mouse-mode buttons at
// 50, 77, 104, 131, patrol at 431, fill screen at 497, the second separator at
// 663. The rest is ours: the layout buttons fill the gap between the mouse-mode
// buttons and patrol, the pane buttons follow; the playback buttons sit where
// the live ones are hidden, so both sets never overlap.
const std::map<int, int>& StartX() {
  static const std::map<int, int> x = [] {
    std::map<int, int> m = {
        {IDC_POINTER, 50},       {IDC_MOVING, 77},          {IDC_ZOOM_IN, 104},     {IDC_ZOOM_OUT, 131},
        {IDC_SEPARATOR_1, 155},  {IDC_PLAYBACK_1, 164},     {IDC_PLAYBACK_2, 187},  {IDC_PLAYBACK_4, 210},
        {IDC_DRAW_TVWALL, 227},  {IDC_HIDE_SHOW, 266},      {IDC_PATROL, 431},      {IDC_FULL_SCREEN, 458},
        {IDC_FILL_SCREEN, 497},  {IDC_STREAM, 524},         {IDC_STOP, 551},        {IDC_CAPTURE, 578},
        {IDC_TALK, 605},         {IDC_SOUND, 632},          {IDC_SEPARATOR_2, 663}, {IDC_STOP_ALL, 677},
        {IDC_ALARM_ACTION, 704}, {IDC_MANUAL_RECORD, 731},  {IDC_LOCK, 758},        {IDC_RECORD_ALL, 785},
        {IDC_BROADCAST, 812},    {IDC_FLIP, 839},
    };
    for (int id = IDC_LAYOUT_FIRST; id <= IDC_LAYOUT_LAST; ++id) m[id] = 163 + (id - IDC_LAYOUT_FIRST) * 22;
    return m;
  }();
  return x;
}

// Tool tips by button; 0: none.
UINT ToolTipOf(int id) {
  static const std::map<int, UINT> tips = {
      {IDC_FULL_SCREEN, 300}, {IDC_STREAM, 301},      {IDC_STOP, 302},        {IDC_CAPTURE, 303},
      {IDC_TALK, 304},        {IDC_SOUND, 305},       {IDC_STOP_ALL, 306},    {IDC_ALARM_ACTION, 307},
      {IDC_FILL_SCREEN, 308}, {IDC_PATROL, 309},      {IDC_DRAW_TVWALL, 310}, {IDC_MANUAL_RECORD, 311},
      {IDC_LOCK, 313},        {IDC_POINTER, 314},     {IDC_MOVING, 315},      {IDC_ZOOM_IN, 316},
      {IDC_ZOOM_OUT, 317},    {IDC_RECORD_ALL, 318},  {IDC_BROADCAST, 1083},  {IDC_HIDE_SHOW, 1423},
  };
  auto it = tips.find(id);
  return it == tips.end() ? 0 : it->second;
}

}  // namespace

const std::vector<int>& AllControls() {
  static const std::vector<int> ids = [] {
    std::vector<int> v;
    for (const auto& [id, x] : StartX()) v.push_back(id);
    return v;
  }();
  return ids;
}

bool IsSeparator(int id) { return id == IDC_SEPARATOR_1 || id == IDC_SEPARATOR_2; }

int GridLayoutOfButton(int id) {
  return id >= IDC_LAYOUT_FIRST && id <= IDC_LAYOUT_LAST ? kLayouts[id - IDC_LAYOUT_FIRST] : 0;
}

int PlaybackWindowsOfButton(int id) {
  switch (id) {
    case IDC_PLAYBACK_1: return 1;
    case IDC_PLAYBACK_2: return 2;
    case IDC_PLAYBACK_4: return 4;
    default: return 0;
  }
}

int MouseModeOfButton(int id) {
  switch (id) {
    case IDC_POINTER: return 0;
    case IDC_ZOOM_IN: return 1;
    case IDC_ZOOM_OUT: return 2;
    case IDC_MOVING: return 3;
    default: return -1;
  }
}

UINT AlarmActionPicture(bool on) { return on ? kPicAlarmOn : kPicAlarmOff; }
UINT FillScreenPicture(bool on) { return on ? kPicFillOn : kPicFillOff; }
UINT TalkPicture(bool on) { return on ? kPicTalkOn : kPicTalkOff; }
UINT SoundPicture(bool on) { return on ? kPicSoundOn : kPicSoundOff; }
UINT PatrolPicture(bool on) { return on ? kPicPatrolOn : kPicPatrolOff; }
UINT BroadcastPicture(bool running) { return running ? kPicBroadcastOn : kPicBroadcastOff; }

ButtonFace RecordAllFace(bool allRecording) {
  return allRecording ? ButtonFace{kPicRecordAllOn, "", 332} : ButtonFace{kPicRecordAllOff, "", 318};
}

ButtonFace ManualRecordFace(bool recording) {
  return recording ? ButtonFace{kPicRecordOn, "", 333} : ButtonFace{kPicRecordOff, "", 311};
}

ButtonFace InitialFace(int id, bool allRecording, bool fillScreen) {
  ButtonFace face;
  face.toolTip = ToolTipOf(id);
  switch (id) {
    case IDC_TALK: face.picture = TalkPicture(false); break;
    case IDC_SOUND: face.picture = SoundPicture(false); break;
    case IDC_PATROL: face.picture = PatrolPicture(false); break;
    case IDC_MANUAL_RECORD: return ManualRecordFace(false);
    case IDC_ALARM_ACTION: face.picture = AlarmActionPicture(false); break;
    case IDC_FILL_SCREEN: face.picture = FillScreenPicture(fillScreen); break;
    case IDC_RECORD_ALL: return RecordAllFace(allRecording);
    case IDC_BROADCAST: face.picture = BroadcastPicture(false); break;
    default: face.name = "video_toolbar_" + std::to_string(id); break;
  }
  return face;
}

CToolbarButtonSet::CToolbarButtonSet() {
  for (const auto& [id, x] : StartX()) m_places[id] = Place{x, true};
  // Hidden by the template until a page asks for them.
  Show({IDC_DRAW_TVWALL, IDC_FLIP, IDC_PLAYBACK_1, IDC_PLAYBACK_2, IDC_PLAYBACK_4, IDC_HIDE_SHOW}, false);
}

void CToolbarButtonSet::Show(std::initializer_list<int> ids, bool show) {
  for (int id : ids) m_places[id].visible = show;
}

void CToolbarButtonSet::ShowRange(int first, int last, bool show) {
  for (int id = first; id <= last; ++id) m_places[id].visible = show;
}

void CToolbarButtonSet::ShowLiveButtons(bool tvWall, bool hide, int curModule) {
  if (tvWall) {
    ShowRange(IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, false);
    ShowRange(IDC_FULL_SCREEN, IDC_SOUND, false);
    ShowRange(IDC_STOP_ALL, IDC_FILL_SCREEN, false);
    ShowRange(IDC_POINTER, IDC_ZOOM_OUT, false);
    Show({IDC_MANUAL_RECORD, IDC_LOCK, IDC_RECORD_ALL, IDC_BROADCAST, IDC_SEPARATOR_1, IDC_SEPARATOR_2}, false);
    m_places[IDC_PATROL] = Place{200, true};
    Show({IDC_DRAW_TVWALL}, true);
    return;
  }
  Show({IDC_DRAW_TVWALL}, false);
  ShowRange(IDC_POINTER, IDC_ZOOM_OUT, true);
  const bool live = curModule == kModuleLive && !hide;
  ShowRange(IDC_LAYOUT_FIRST, IDC_LAYOUT_LAST, live);
  ShowRange(IDC_FULL_SCREEN, IDC_SOUND, live);
  ShowRange(IDC_STOP_ALL, IDC_PATROL, live);
  Show({IDC_MANUAL_RECORD, IDC_LOCK, IDC_RECORD_ALL, IDC_BROADCAST, IDC_SEPARATOR_1, IDC_SEPARATOR_2}, live);
  m_places[IDC_PATROL].x = 431;
}

void CToolbarButtonSet::ShowPlaybackButtons(bool on) {
  if (on) {
    Show({IDC_PLAYBACK_1, IDC_PLAYBACK_2, IDC_PLAYBACK_4, IDC_FULL_SCREEN, IDC_HIDE_SHOW}, true);
    m_places[IDC_FILL_SCREEN] = Place{233, true};
    m_places[IDC_SEPARATOR_2].x = 299;
    Show({IDC_SEPARATOR_1, IDC_SEPARATOR_2}, true);
  } else {
    Show({IDC_PLAYBACK_1, IDC_PLAYBACK_2, IDC_PLAYBACK_4, IDC_FULL_SCREEN, IDC_HIDE_SHOW}, false);
    m_places[IDC_FILL_SCREEN].x = 497;
    m_places[IDC_SEPARATOR_2].x = 663;
    Show({IDC_SEPARATOR_1, IDC_SEPARATOR_2}, false);
  }
}

bool CToolbarButtonSet::IsVisible(int id) const {
  auto it = m_places.find(id);
  return it != m_places.end() && it->second.visible;
}

int CToolbarButtonSet::X(int id) const {
  auto it = m_places.find(id);
  return it == m_places.end() ? 0 : it->second.x;
}

std::vector<int> CToolbarButtonSet::VisibleControls() const {
  std::vector<int> ids;
  for (const auto& [id, place] : m_places) {
    if (place.visible) ids.push_back(id);
  }
  return ids;
}

std::string ClockText(const std::tm& local) {
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

std::string ClockTextNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return ClockText(local);
}

int AllSchemesOn(const std::list<RecSchemeInfo*>& schemes) {
  if (schemes.empty()) return 0;
  for (const RecSchemeInfo* scheme : schemes) {
    if (scheme && scheme->OnOff == 0) return 0;
  }
  return 1;
}

}  // namespace vtb
