#include "settings/record/rec_scheme_form.h"

#include <gtest/gtest.h>

#include <climits>

#include "core/fixed_text.h"

namespace {

TimeOfDay Hms(int h, int m, int s) { return TimeOfDay::FromHms(h, m, s); }

RecSchemeInfo WithSpans(std::initializer_list<RecTime> spans) {
  RecSchemeInfo scheme;
  scheme.lstRecTime = spans;
  return scheme;
}

RecTime Span(int day, TimeOfDay start, TimeOfDay end, int slot = 1) {
  RecTime span;
  span.TimeDuration = slot;
  span.DayOfWeek = day;
  span.StartTime = start;
  span.EndTime = end;
  return span;
}

}  // namespace

TEST(RecSchemeValueMaps, ComboItemsAndNumbers) {
  const struct {
    int seconds, item;
  } preRec[] = {{3, 0}, {5, 1}, {8, 2}, {10, 3}, {4, 1}, {0, 1}, {-3, 1}, {600, 1}};
  for (const auto& c : preRec) EXPECT_EQ(PreRecItem(c.seconds), c.item) << c.seconds;

  const struct {
    int seconds, current, item;
  } fileTime[] = {{600, 2, 0}, {1200, 0, 1}, {1800, 0, 2}, {2400, 0, 3}, {3000, 0, 4}, {3600, 0, 5},
                  {900, 4, 4}, {0, 3, 3},    {4200, 1, 1}, {-600, 5, 5}, {601, 0, 0}};
  for (const auto& c : fileTime) EXPECT_EQ(FileTimeItem(c.seconds, c.current), c.item) << c.seconds;

  const struct {
    const char* text;
    int value;
  } numbers[] = {{"60", 60}, {"", 0}, {"12ab", 12}, {"abc", 0}, {"0010", 10}, {" 5", 0},
                 {"99999999999", INT_MAX}, {"600", 600}};
  for (const auto& c : numbers) EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
}

TEST(RecSchemeSpanRows, CheckedRowsBecomeSpansInSlotOrder) {
  std::array<RecSpanRow, kSpanRowCount> rows{};
  rows[4] = {true, 7, Hms(0, 0, 0), Hms(23, 59, 59)};  // row 5, every day
  rows[1] = {true, 1, Hms(8, 0, 0), Hms(8, 0, 0)};     // row 2, Monday, start equal to end
  rows[2] = {true, 1, Hms(8, 0, 0), Hms(10, 0, 0)};    // row 3 overlaps row 2: a scheme's own spans are not tested
  std::list<RecTime> spans;
  const SpanReadResult read = ReadSpanRows(rows, spans);
  EXPECT_EQ(read.textId, 0u);
  ASSERT_EQ(spans.size(), 3u);
  auto it = spans.begin();
  EXPECT_EQ(it->TimeDuration, 2);
  EXPECT_EQ(it->DayOfWeek, 2);
  EXPECT_EQ((++it)->TimeDuration, 3);
  EXPECT_EQ((++it)->TimeDuration, 5);
  EXPECT_EQ(it->DayOfWeek, 8);

  // The first wrong row in slot order names itself; nothing is kept.
  rows[5] = {true, 0, Hms(9, 0, 0), Hms(8, 0, 0)};
  rows[6] = {true, 0, Hms(9, 0, 0), Hms(8, 0, 0)};
  const SpanReadResult wrong = ReadSpanRows(rows, spans);
  EXPECT_EQ(wrong.textId, 783u);
  EXPECT_EQ(wrong.row, 6);
  EXPECT_TRUE(spans.empty());

  const SpanReadResult none = ReadSpanRows(std::array<RecSpanRow, kSpanRowCount>{}, spans);
  EXPECT_EQ(none.textId, 795u);
}

TEST(RecSchemeSpanRows, ShownByTheirSlot) {
  const auto rows = SpanRowsOf({Span(3, Hms(1, 0, 0), Hms(2, 0, 0), 9),   // no such row: not shown
                                Span(2, Hms(8, 0, 0), Hms(9, 0, 0), 4),
                                Span(5, Hms(10, 0, 0), Hms(11, 0, 0), 4),  // the later span of a slot stays
                                Span(8, Hms(0, 0, 0), Hms(23, 59, 59), 1)});
  EXPECT_TRUE(rows[0].checked);
  EXPECT_EQ(rows[0].dayIndex, 7);
  EXPECT_TRUE(rows[3].checked);
  EXPECT_EQ(rows[3].dayIndex, 4);
  EXPECT_EQ(rows[3].start, Hms(10, 0, 0));
  for (int k : {1, 2, 4, 5, 6}) {
    EXPECT_FALSE(rows[static_cast<size_t>(k)].checked) << k;
    EXPECT_EQ(rows[static_cast<size_t>(k)].start, Hms(0, 0, 0));
    EXPECT_EQ(rows[static_cast<size_t>(k)].end, Hms(23, 59, 59));
  }
}

TEST(CheckTimeConflict, OverlapsOfTwoSchemes) {
  constexpr int kMon = 2, kTue = 3, kEvery = 8;
  const struct {
    RecTime a, b;
    int result;
  } cases[] = {
      {Span(kMon, Hms(8, 0, 0), Hms(12, 0, 0)), Span(kMon, Hms(12, 0, 0), Hms(18, 0, 0)), -1},  // they touch
      {Span(kMon, Hms(8, 0, 0), Hms(11, 59, 59)), Span(kMon, Hms(12, 0, 0), Hms(18, 0, 0)), 0},
      {Span(kMon, Hms(12, 0, 0), Hms(18, 0, 0)), Span(kMon, Hms(8, 0, 0), Hms(12, 0, 0)), -1},
      {Span(kMon, Hms(10, 0, 0), Hms(11, 0, 0)), Span(kMon, Hms(8, 0, 0), Hms(18, 0, 0)), -1},  // b covers a
      {Span(kMon, Hms(8, 0, 0), Hms(18, 0, 0)), Span(kMon, Hms(10, 0, 0), Hms(11, 0, 0)), -1},  // a covers b
      {Span(kMon, Hms(8, 0, 0), Hms(12, 0, 0)), Span(kTue, Hms(8, 0, 0), Hms(12, 0, 0)), 0},
      {Span(kEvery, Hms(8, 0, 0), Hms(9, 0, 0)), Span(kTue, Hms(8, 30, 0), Hms(12, 0, 0)), -1},
      {Span(kTue, Hms(8, 30, 0), Hms(12, 0, 0)), Span(kEvery, Hms(8, 0, 0), Hms(9, 0, 0)), -1},
      {Span(kEvery, Hms(8, 0, 0), Hms(9, 0, 0)), Span(kTue, Hms(9, 0, 1), Hms(12, 0, 0)), 0},
      {Span(kEvery, Hms(0, 0, 0), Hms(23, 59, 59)), Span(kEvery, Hms(23, 59, 59), Hms(23, 59, 59)), -1},
  };
  for (const auto& c : cases) {
    const RecSchemeInfo a = WithSpans({c.a}), b = WithSpans({c.b});
    EXPECT_EQ(CheckTimeConflict(a, b), c.result)
        << c.a.DayOfWeek << " " << FormatTimeOfDay(c.a.StartTime) << "-" << FormatTimeOfDay(c.a.EndTime) << " / "
        << c.b.DayOfWeek << " " << FormatTimeOfDay(c.b.StartTime) << "-" << FormatTimeOfDay(c.b.EndTime);
  }
  // Any pair decides, in either list.
  const RecSchemeInfo a = WithSpans({Span(kMon, Hms(1, 0, 0), Hms(2, 0, 0)), Span(kTue, Hms(8, 0, 0), Hms(9, 0, 0))});
  const RecSchemeInfo b = WithSpans({Span(kMon, Hms(3, 0, 0), Hms(4, 0, 0)), Span(kTue, Hms(8, 30, 0), Hms(8, 40, 0))});
  EXPECT_EQ(CheckTimeConflict(a, b), -1);
  EXPECT_EQ(CheckTimeConflict(a, RecSchemeInfo{}), 0);
}

// Texts longer than their fields (a GBK name of 2-byte characters may be
// twice the characters' count) are cut before the character that would not
// fit, never past the field and never through a character.
TEST(BuildSchemeFromForm, OverLongGbkTextsAreCutOnACharacterBoundary) {
  RecSchemeForm form;
  form.name = "A";
  for (int i = 0; i < 200; ++i) form.name += "\xD6\xD0";  // 401 bytes
  form.paths[2] = std::string(1500, 'p');
  for (int i = 0; i < 300; ++i) form.paths[0] += "\xB9\xFA";  // 600 bytes: fits
  form.spans[0].checked = true;
  SpanReadResult refusal;
  const auto scheme = BuildSchemeFromForm(form, &refusal);
  ASSERT_TRUE(scheme);
  const std::string name = FixedText(scheme->SchemeName);
  EXPECT_EQ(name.size(), 259u);  // "A" and 129 whole characters
  EXPECT_EQ(name, form.name.substr(0, 259));
  EXPECT_EQ(FixedText(scheme->StoragePath1), form.paths[0]);
  EXPECT_EQ(FixedText(scheme->StoragePath3).size(), 1023u);
  EXPECT_EQ(scheme->StoragePath3[1023], '\0');

  form.name = std::string(258, 'x') + "\xD6\xD0";  // the last character would end at byte 260
  const auto cut = BuildSchemeFromForm(form, &refusal);
  EXPECT_EQ(FixedText(cut->SchemeName), std::string(258, 'x'));
}

TEST(BuildSchemeFromForm, TakesTheControlsByTheValueMaps) {
  RecSchemeForm form;
  form.name = "Night";
  form.paths = {"", "", "G:\\"};
  form.storageScheme = 0;
  form.startType = 2;
  form.onOff = 1;
  form.recStreamType = 0;
  form.recAudio = 1;
  form.fileTimeText = "40";
  form.preRecText = "10";
  form.detRecText = "120";
  form.spans[6] = {true, 3, Hms(1, 2, 3), Hms(4, 5, 6)};
  const auto scheme = BuildSchemeFromForm(form, nullptr);
  ASSERT_TRUE(scheme);
  EXPECT_STREQ(scheme->StoragePath1, "");
  EXPECT_STREQ(scheme->StoragePath3, "G:\\");
  EXPECT_EQ(scheme->SaveDate, 0);
  EXPECT_EQ(scheme->StorageScheme, 0);
  EXPECT_EQ(scheme->StartType, 2);
  EXPECT_EQ(scheme->OnOff, 1);
  EXPECT_EQ(scheme->RecStreamType, 0);
  EXPECT_EQ(scheme->RecAudio, 1);
  EXPECT_EQ(scheme->RecFileTime, 2400);
  EXPECT_EQ(scheme->PreRecTime, 10);
  EXPECT_EQ(scheme->DetRecTime, 120);
  ASSERT_EQ(scheme->lstRecTime.size(), 1u);
  EXPECT_EQ(scheme->lstRecTime.front().TimeDuration, 7);
  EXPECT_EQ(scheme->lstRecTime.front().DayOfWeek, 4);
  EXPECT_TRUE(scheme->lstDev.empty());
}
