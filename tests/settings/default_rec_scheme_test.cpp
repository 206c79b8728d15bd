#include "settings/record/default_rec_scheme.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/fixed_text.h"
#include "platform/paths.h"
#include "records/recording/rec_environment.h"
#include "tests/shell/dev_records.h"

namespace {

struct Schemes {
  std::vector<std::unique_ptr<RecSchemeInfo>> owned;
  std::list<RecSchemeInfo*> list;
  RecSchemeInfo* Add(const char* name, int onOff) {
    owned.push_back(std::make_unique<RecSchemeInfo>());
    CopyFixedText(owned.back()->SchemeName, name);
    owned.back()->OnOff = onOff;
    list.push_back(owned.back().get());
    return owned.back().get();
  }
};

}  // namespace

TEST(SwitchDefaultScheme, SwitchesTheDefaultSchemeAndRecomputesTheAllRecordingFlag) {
  const struct {
    int defaultOn, otherOn;
    int defaultAfter, allRecording;
  } cases[] = {
      {0, 1, 1, 1},  // every scheme on now
      {1, 1, 0, 0},
      {0, 0, 1, 0},  // the default is on, but another scheme stays off
      {1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    Schemes schemes;
    schemes.Add("Night", c.otherOn);
    RecSchemeInfo* def = schemes.Add("Default Strategy", c.defaultOn);
    const DefaultRecSwitch result = SwitchDefaultScheme(schemes.list, "Default Strategy");
    EXPECT_EQ(result.scheme, def);
    EXPECT_EQ(def->OnOff, c.defaultAfter) << c.defaultOn << c.otherOn;
    EXPECT_EQ(result.allRecording, c.allRecording) << c.defaultOn << c.otherOn;
    EXPECT_EQ(schemes.list.front()->OnOff, c.otherOn);  // other schemes are left as they are
  }
}

TEST(SwitchDefaultScheme, TwiceReturnsToTheFirstState) {
  Schemes schemes;
  RecSchemeInfo* def = schemes.Add("Default Strategy", 0);
  SwitchDefaultScheme(schemes.list, "Default Strategy");
  const DefaultRecSwitch second = SwitchDefaultScheme(schemes.list, "Default Strategy");
  EXPECT_EQ(def->OnOff, 0);
  EXPECT_EQ(second.allRecording, 0);
}

TEST(SwitchDefaultScheme, WithoutTheDefaultSchemeOnlyTheFlagIsComputed) {
  Schemes schemes;
  schemes.Add("Default Strategy 2", 1);  // names are compared exactly
  const DefaultRecSwitch result = SwitchDefaultScheme(schemes.list, "Default Strategy");
  EXPECT_EQ(result.scheme, nullptr);
  EXPECT_EQ(result.allRecording, 1);
  EXPECT_EQ(schemes.list.front()->OnOff, 1);
}

TEST(NewDefaultScheme, RecordsEveryChannelButDecodersAndNvrsThemselves) {
  const std::list<DevInfo> devices = {Dev("cam", "cam", 1, "g"),       Dev("decoder", "decoder", 2, "g"),
                                      Dev("nvr", "nvr", 4, "g", 0, 0),   Dev("nvr", "nvr-1", 4, "g", 0, 1),
                                      Dev("dvs", "dvs", 0, "g"),         Dev("relay", "relay", 3, "g")};
  std::unique_ptr<RecSchemeInfo> scheme(NewDefaultScheme(devices, {"E:\\", "G:\\"}));
  std::vector<std::string> names;
  for (const DevInfo& dev : scheme->lstDev) names.push_back(dev.DevName);
  EXPECT_EQ(names, (std::vector<std::string>{"cam", "nvr-1", "dvs", "relay"}));
  EXPECT_STREQ(scheme->SchemeName, "Default Strategy");
  EXPECT_STREQ(scheme->StoragePath1, "E:\\");
  EXPECT_STREQ(scheme->StoragePath2, "G:\\");
  EXPECT_STREQ(scheme->StoragePath3, "");
  EXPECT_EQ(scheme->OnOff, 0);
  EXPECT_EQ(scheme->StorageScheme, 1);
  EXPECT_EQ(scheme->PreRecTime, 5);
  EXPECT_EQ(scheme->RecFileTime, 1800);
  EXPECT_EQ(scheme->RecStreamType, 1);
  EXPECT_EQ(scheme->StartType, 0);
  EXPECT_EQ(scheme->DetRecTime, 60);
  ASSERT_EQ(scheme->lstRecTime.size(), 1u);
  const RecTime& span = scheme->lstRecTime.front();
  EXPECT_EQ(span.TimeDuration, 1);
  EXPECT_EQ(span.DayOfWeek, 8);
  EXPECT_EQ(span.StartTime, TimeOfDay::FromHms(0, 0, 0));
  EXPECT_EQ(span.EndTime, TimeOfDay::FromHms(23, 59, 59));
}

TEST(HasEnoughSpace, AMissingDriveHasNoSpace) {
  paths::SetDriveRoot("/nonexistent-vemo-drives");
  EXPECT_FALSE(HasEnoughSpace(SystemRecEnvironment(), "D:\\"));
  EXPECT_TRUE(DefaultStoragePaths(SystemRecEnvironment()).empty());
  paths::SetDriveRoot("");
}
