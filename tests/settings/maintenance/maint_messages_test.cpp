// The maintenance requests as sent and the decoding of the devices' answers.
#include "settings/maintenance/maint_messages.h"

#include <gtest/gtest.h>

#include "gimbro/gimbro.h"

namespace {

using maint::Disk;
using maint::LocalClock;

TEST(MaintMessages, TimeBodyCarriesTheLocalClockAndTheZone) {
  struct Case {
    const char* name;
    LocalClock clock;
    const char* body;
  } cases[] = {
      {"UTC+8", {2024, 1, 5, 8, 3, 9, -480},
       "<REQUEST_PARAM  Time=\"20240105 08:03:09\"  TimeZone=\"1200\" />"},
      {"UTC", {2024, 12, 31, 23, 59, 59, 0}, "<REQUEST_PARAM  Time=\"20241231 23:59:59\"  TimeZone=\"720\" />"},
      {"UTC-5", {2025, 7, 4, 0, 0, 0, 300}, "<REQUEST_PARAM  Time=\"20250704 00:00:00\"  TimeZone=\"420\" />"},
      {"UTC+5:30", {2025, 2, 28, 12, 30, 0, -330},
       "<REQUEST_PARAM  Time=\"20250228 12:30:00\"  TimeZone=\"1050\" />"},
  };
  for (const Case& c : cases) EXPECT_EQ(maint::TimeBody(c.clock), c.body) << c.name;
}

// This binary runs in central European time (maint_time_zone.cpp): the zone
// sent is the one in force at the instant, so on either side of a change of
// daylight saving the local time and the zone name the same instant.
TEST(MaintMessages, ClockCountsDaylightSavingOnBothSidesOfAChange) {
  struct Case {
    const char* name;
    std::time_t utc;
    const char* body;
  } cases[] = {
      // 2024-03-31 00:59:59 UTC and a second later: 01:59:59 CET, then 03:00:00 CEST.
      {"before spring", 1711846799, "<REQUEST_PARAM  Time=\"20240331 01:59:59\"  TimeZone=\"780\" />"},
      {"after spring", 1711846800, "<REQUEST_PARAM  Time=\"20240331 03:00:00\"  TimeZone=\"840\" />"},
      // 2024-10-27 00:59:59 UTC and a second later: 02:59:59 CEST, then 02:00:00 CET.
      {"before autumn", 1729990799, "<REQUEST_PARAM  Time=\"20241027 02:59:59\"  TimeZone=\"840\" />"},
      {"after autumn", 1729990800, "<REQUEST_PARAM  Time=\"20241027 02:00:00\"  TimeZone=\"780\" />"},
  };
  for (const Case& c : cases) EXPECT_EQ(maint::TimeBody(maint::ClockAt(c.utc)), c.body) << c.name;
}

TEST(MaintMessages, StorageBodiesNameThePanelsDisk) {
  EXPECT_EQ(maint::StorageBody(0), "<REQUEST_PARAM DevName = \"sd1\" />");
  EXPECT_EQ(maint::StorageBody(1), "<REQUEST_PARAM DevName = \"sd2\" />");
  EXPECT_EQ(maint::StorageBody(2), "<REQUEST_PARAM DevName = \"usb\" />");
  EXPECT_EQ(maint::StorageBody(3), "");
  EXPECT_EQ(maint::StorageBody(-1), "");
}

TEST(MaintMessages, ReplyWordSplitsIntoCodeAndSignedResult) {
  struct Case {
    LONG word;
    LONG code, result;
  } cases[] = {
      {GimbroPackResponse(0, 1012), 1012, 0},
      {GimbroPackResponse(1, 1017), 1017, 1},
      {static_cast<LONG>(0x80000000u | 1018u), 1018, -128},  // top byte 0x80: negative, not 128
      {static_cast<LONG>(0xFF000000u | 1014u), 1014, -1},
      {GimbroPackResponse(0x7F, 0xFFFFFF), 0xFFFFFF, 127},
  };
  for (const Case& c : cases) {
    const maint::Reply reply = maint::SplitReply(c.word);
    EXPECT_EQ(reply.code, c.code) << c.word;
    EXPECT_EQ(reply.result, c.result) << c.word;
  }
}

TEST(MaintMessages, VersionIsTakenOnlyFromAWholeAnswer) {
  struct Case {
    const char* text;
    const char* version;  // null: none
  } cases[] = {
      {"<RESPONSE_PARAM FileSystemVersion=\"FS-2.4.1\" />", "FS-2.4.1"},
      {"<RESPONSE_PARAM FileSystemVersion=\"\" />", nullptr},
      {"<RESPONSE_PARAM Other=\"1\" />", nullptr},
      {"<ANSWER FileSystemVersion=\"FS-1\" />", nullptr},
      {"FileSystemVersion=FS-1", nullptr},
      {"<RESPONSE_PARAM FileSystemVersion=\"FS-1\"", nullptr},  // cut short
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const auto version = maint::ParseVersion(c.text);
    if (c.version == nullptr) {
      EXPECT_FALSE(version.has_value()) << c.text;
    } else {
      EXPECT_EQ(version.value_or("-"), c.version) << c.text;
    }
  }
}

TEST(MaintMessages, StorageAnswerListsEveryChildInOrder) {
  const auto four = maint::ParseStorage(
      "<RESPONSE_PARAM><A DevName=\"sd1\" Mounted=\"1\" Total=\"100\" Used=\"25\" Free=\"75\" Percent=\"25\" />"
      "<B DevName=\"sd2\" Mounted=\"0\" Total=\"0\" /><C DevName=\"usb\" Mounted=\"x\" Total=\"7\" />"
      "<D DevName=\"usb2\" Mounted=\"1\" /></RESPONSE_PARAM>");
  ASSERT_TRUE(four.has_value());
  ASSERT_EQ(four->size(), 4u);
  EXPECT_EQ((*four)[0].name, "sd1");
  EXPECT_TRUE((*four)[0].mounted);
  EXPECT_EQ((*four)[0].percent, "25");
  EXPECT_FALSE((*four)[1].mounted);
  EXPECT_FALSE((*four)[2].mounted);  // not a number: not mounted
  EXPECT_EQ((*four)[3].name, "usb2");

  const auto none = maint::ParseStorage("<RESPONSE_PARAM />");
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  for (const char* bad : {"", "not xml", "<RESPONSE_PARAM><DEV", "<OTHER><DEV DevName=\"sd1\" /></OTHER>"}) {
    EXPECT_FALSE(maint::ParseStorage(bad).has_value()) << bad;
  }
}

TEST(MaintMessages, PanelShowsTheDiskAndItsButtons) {
  const maint::PanelCaptions captions{"Total space", "Used space", "Free space", "Percent", "Unmount"};
  struct Case {
    const char* name;
    Disk disk;
    const char* total;
    bool format, unmount;
  } cases[] = {
      {"mounted", {"sd1", true, "1024", "256", "768", "25"}, "Total space : 1024(MB)", true, true},
      {"unmounted with space", {"sd2", false, "2048", "0", "2048", "0"}, "Total space : 2048(MB)Unmount", true, false},
      {"unmounted without space", {"usb", false, "0", "0", "0", "0"}, "Total space : 0(MB)Unmount", false, false},
  };
  for (const Case& c : cases) {
    const maint::PanelView view = maint::ViewOfDisk(c.disk, captions);
    EXPECT_EQ(view.labels[0], c.total) << c.name;
    EXPECT_EQ(view.formatEnabled, c.format) << c.name;
    EXPECT_EQ(view.unmountEnabled, c.unmount) << c.name;
  }
  const maint::PanelView mounted = maint::ViewOfDisk(cases[0].disk, captions);
  EXPECT_EQ(mounted.labels[1], "Used space : 256(MB)");
  EXPECT_EQ(mounted.labels[2], "Free space : 768(MB)");
  EXPECT_EQ(mounted.labels[3], "Percent : 25%");
  const maint::PanelView empty = maint::EmptyPanel(captions);
  EXPECT_EQ(empty.labels[0], "Total space :");
  EXPECT_EQ(empty.labels[3], "Percent :");
}

}  // namespace
