// The record-scheme page's Add, Modify and Delete: every refusal shows its one
// message and changes nothing (neither the list nor "RecInfo.xml"); every
// success changes the list and "RecInfo.xml" then holds the list.
#include <functional>

#include "record_page_fixture.h"
#include "settings/record/default_rec_scheme.h"

namespace {

constexpr int kMonday = 1;  // day combo index
constexpr int kTuesday = 2;
constexpr int kEveryday = 7;

class SchemeButtonsTest : public RecordPageTest {
 public:
  void SetUp() override {
    RecordPageTest::SetUp();
    CreatePage();  // before the devices: no default scheme is made
    cam_ = &AddDevice("Cam1", "ID1");
    other_ = &AddDevice("Cam2", "ID2");
    night_ = AddScheme("Night", 2, Hms(8, 0, 0), Hms(12, 0, 0), {cam_});  // Monday
    page_.InitDevTree();
    SaveRecInfo();
    savedFile_ = ReadConfig("RecInfo.xml");
    savedList_ = DescribeList(g_lstRecSchemeInfo);
  }
  // Puts the scheme tree's channels: ticks them in the tree of all channels and presses Add.
  void SchemeChannels(std::vector<std::string> names) {
    auto* root = TreeRoot(CSettingRecordDlg::IDC_SCHEME_TREE);
    for (int i = 0; i < root->childCount(); ++i) root->child(i)->setCheckState(0, Qt::Checked);
    page_.OnBnClickedRemoveDev();
    auto* all = TreeRoot(CSettingRecordDlg::IDC_DEV_TREE);
    for (int i = 0; i < all->childCount(); ++i) all->child(i)->setCheckState(0, Qt::Unchecked);
    for (const std::string& name : names) Tick(CSettingRecordDlg::IDC_DEV_TREE, name);
    page_.OnBnClickedAddDev();
  }
  void ExpectNothingChanged(const std::string& why) {
    EXPECT_EQ(DescribeList(g_lstRecSchemeInfo), savedList_) << why;
    EXPECT_EQ(ReadConfig("RecInfo.xml"), savedFile_) << why;
  }

  DevInfo* cam_ = nullptr;
  DevInfo* other_ = nullptr;
  RecSchemeInfo* night_ = nullptr;
  std::string savedFile_;
  std::vector<std::string> savedList_;
};

struct FormCase {
  const char* why;
  std::function<void(SchemeButtonsTest&)> change;  // applied to a form that would be accepted
  const char* message;
};

}  // namespace

TEST_F(SchemeButtonsTest, AddRefusesWithOneMessageAndChangesNothing) {
  const FormCase cases[] = {
      {"empty name", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, ""); },
       "Please input strategy name to be added!"},
      {"a name of blanks, which the file cannot keep",
       [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, " \t  "); }, "Please input strategy name to be added!"},
      {"existing name", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "Night"); },
       "The strategy name already exist!"},
      {"existing name as the file reads it", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "  Night "); },
       "The strategy name already exist!"},
      {"no path", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_PATH1, ""); }, "Please input storage path!"},
      {"motion time 9", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "9"); },
       "Motion detect record time out of range!"},
      {"motion time 601", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "601"); },
       "Motion detect record time out of range!"},
      {"motion time empty", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, ""); },
       "Motion detect record time out of range!"},
      {"wrong span in row 3", [](auto& t) { t.SetSpan(3, true, kMonday, Hms(9, 0, 0), Hms(8, 0, 0)); },
       "Time span3:Wrong record time!"},
      {"no span", [](auto& t) { t.SetSpan(1, false); }, "Please set the record time!"},
      {"span of Cam1 overlapping Night's", [](auto& t) { t.SetSpan(1, true, kMonday, Hms(12, 0, 0), Hms(18, 0, 0)); },
       "Cam1 Record time conflict!"},
      {"every day against Night's Monday", [](auto& t) { t.SetSpan(1, true, kEveryday, Hms(11, 0, 0), Hms(11, 30, 0)); },
       "Cam1 Record time conflict!"},
  };
  for (const FormCase& c : cases) {
    FillValidForm("Day");
    SchemeChannels({"Cam1", "Cam2"});
    SetSpan(1, true, kTuesday);
    c.change(*this);
    Press(CSettingRecordDlg::IDC_BTN_ADD);
    EXPECT_EQ(message_, c.message) << c.why;
    ExpectNothingChanged(c.why);
    EXPECT_EQ(page_.ShownScheme(), nullptr) << c.why;
  }
  EXPECT_TRUE(host_.calls.empty());
}

TEST_F(SchemeButtonsTest, AddAcceptsTheEdgesAndSavesAtOnce) {
  const struct {
    const char* name;
    std::function<void(SchemeButtonsTest&)> change;
  } cases[] = {
      {"Ten", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "10"); }},
      {"SixHundred", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "600"); }},
      {"Third path only",
       [](auto& t) {
         t.SetText(CSettingRecordDlg::IDC_PATH1, "");
         t.SetText(CSettingRecordDlg::IDC_PATH3, "G:\\Rec");
       }},
      {"Touching nothing",
       [](auto& t) {
         t.SchemeChannels({"Cam1"});  // Night records Cam1 on Mondays until 12:00:00
         t.SetSpan(1, true, kMonday, Hms(12, 0, 1), Hms(18, 0, 0));
       }},
      {"An instant", [](auto& t) { t.SetSpan(1, true, kMonday, Hms(8, 0, 0), Hms(8, 0, 0)); t.SchemeChannels({"Cam2"}); }},
      {"Own overlap",
       [](auto& t) {
         t.SetSpan(1, true, kTuesday, Hms(8, 0, 0), Hms(10, 0, 0));
         t.SetSpan(2, true, kTuesday, Hms(8, 0, 0), Hms(10, 0, 0));
       }},
  };
  for (const auto& c : cases) {
    FillValidForm(c.name);
    SchemeChannels({});
    SetSpan(1, true, kTuesday);
    c.change(*this);
    host_.calls.clear();
    Press(CSettingRecordDlg::IDC_BTN_ADD);
    EXPECT_EQ(message_, "Add record strategy success!") << c.name;
    ASSERT_EQ(g_lstRecSchemeInfo.back()->SchemeName, std::string(c.name));
    EXPECT_EQ(page_.ShownScheme(), g_lstRecSchemeInfo.back());
    EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowRecSchemeTree"});
    ExpectFileHoldsTheList();
  }
  const RecSchemeInfo& third = **std::next(g_lstRecSchemeInfo.begin(), 3);
  EXPECT_STREQ(third.StoragePath1, "");
  EXPECT_STREQ(third.StoragePath2, "");
  EXPECT_STREQ(third.StoragePath3, "G:\\Rec");
  EXPECT_EQ(g_lstRecSchemeInfo.back()->lstRecTime.size(), 2u);
  // The whole form, by the value maps.
  FillValidForm("Full");
  Select(CSettingRecordDlg::IDC_STORAGE_SCHEME, 0);
  Select(CSettingRecordDlg::IDC_START_TYPE, 2);
  Select(CSettingRecordDlg::IDC_ON_OFF, 1);
  Select(CSettingRecordDlg::IDC_REC_STREAM, 0);
  Select(CSettingRecordDlg::IDC_FILE_TIME, 0);
  Select(CSettingRecordDlg::IDC_PRE_REC_TIME, 2);
  Control<QCheckBox>(CSettingRecordDlg::IDC_REC_AUDIO)->setChecked(true);
  SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "45");
  SetSpan(1, false);
  SetSpan(5, true, 4, Hms(1, 2, 3), Hms(4, 5, 6));
  SchemeChannels({"Cam2"});
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(Describe(*g_lstRecSchemeInfo.back()),
            "Full|D:\\||" "|0 0 2 1 8 600 45 1 0 devs Cam2/ID2 spans 5:5:01:02:03-04:05:06");
  ExpectFileHoldsTheList();
}

// A name is stored as "RecInfo.xml" keeps it: its blanks condensed as the file
// reader condenses them, so the name loads back as it was saved.
TEST_F(SchemeButtonsTest, NamesAreStoredAsTheFileKeepsThem) {
  FillValidForm("  Late   night\t ");
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(message_, "Add record strategy success!");
  EXPECT_STREQ(g_lstRecSchemeInfo.back()->SchemeName, "Late night");
  ExpectFileHoldsTheList();
  FillValidForm("Late night");
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(message_, "The strategy name already exist!");
  page_.ShowSchemeInfo(night_);
  SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "   ");
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Please input strategy name to be modified!");
}

// A scheme name typed longer than its field is stored cut on a character
// boundary; two names that differ only past the field are the same name.
TEST_F(SchemeButtonsTest, OverLongGbkNamesAreCutOnACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 200; ++i) name += "\xC2\xBC\xCF\xF1";  // 400 characters: 800 bytes of GBK
  FillValidForm(name.substr(0, 512));                        // the edit takes 256 characters
  SetSpan(1, true, kTuesday);
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(message_, "Add record strategy success!");
  const std::string stored = FixedText(g_lstRecSchemeInfo.back()->SchemeName);
  EXPECT_EQ(stored, name.substr(0, 258));  // 129 whole characters: the 130th would not fit
  ExpectFileHoldsTheList();
  FillValidForm(name.substr(0, 258) + "\xB1\xF0");
  SetSpan(1, true, kTuesday);
  Press(CSettingRecordDlg::IDC_BTN_ADD);
  EXPECT_EQ(message_, "The strategy name already exist!");
}

TEST_F(SchemeButtonsTest, ModifyRefusesWithOneMessageAndChangesNothing) {
  RecSchemeInfo* day = AddScheme("Day", 3, Hms(8, 0, 0), Hms(12, 0, 0), {other_});  // Tuesday
  AddScheme("Default Strategy", 8, Hms(0, 0, 0), Hms(0, 0, 1), {});
  SaveRecInfo();
  savedFile_ = ReadConfig("RecInfo.xml");
  savedList_ = DescribeList(g_lstRecSchemeInfo);

  Press(CSettingRecordDlg::IDC_BTN_MODIFY);  // nothing shown yet
  EXPECT_EQ(message_, "Please select record strategy from the strategy list in the left!");

  const FormCase cases[] = {
      {"empty name", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, ""); },
       "Please input strategy name to be modified!"},
      {"no path", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_PATH1, ""); }, "Please input storage path"},
      {"motion time 601", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "601"); },
       "Motion detect record time out of range"},
      {"another scheme's name", [](auto& t) { t.SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "Day"); },
       "The stratgy name already exist!"},
      {"wrong span in row 7", [](auto& t) { t.SetSpan(7, true, kMonday, Hms(23, 0, 0), Hms(22, 59, 59)); },
       "Time span7:Wrong record time!"},
      {"no span", [](auto& t) { t.SetSpan(1, false); }, "Please set the record time!"},
      {"Cam2 against Day's Tuesday", [](auto& t) { t.SchemeChannels({"Cam1", "Cam2"}); t.SetSpan(1, true, kTuesday, Hms(11, 0, 0), Hms(13, 0, 0)); },
       "Cam2 Record time conflict!"},
  };
  for (const FormCase& c : cases) {
    page_.ShowSchemeInfo(night_);
    SetText(CSettingRecordDlg::IDC_DET_REC_TIME, "60");
    c.change(*this);
    Press(CSettingRecordDlg::IDC_BTN_MODIFY);
    EXPECT_EQ(message_, c.message) << c.why;
    ExpectNothingChanged(c.why);
  }
  page_.ShowSchemeInfo(FindRecScheme(g_lstRecSchemeInfo, "Default Strategy"));
  SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "Mine");
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Not allowed to modify default strategy name!");
  ExpectNothingChanged("default renamed");
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_EQ(day->lstDev.size(), 1u);
}

// Modify rewrites the shown scheme in place (the pointers to it stay valid),
// never conflicts with its own old spans, keeps the channels of the scheme
// tree and stores the shown combo items.
TEST_F(SchemeButtonsTest, ModifyRewritesTheShownSchemeInPlace) {
  night_->PreRecTime = 4;      // shown as 5 s
  night_->RecFileTime = 900;   // leaves the file-length combo on its item
  Select(CSettingRecordDlg::IDC_FILE_TIME, 4);
  page_.ShowSchemeInfo(night_);
  SetText(CSettingRecordDlg::IDC_SCHEME_NAME, "Late night");
  SetSpan(1, true, kMonday, Hms(9, 0, 0), Hms(11, 0, 0));  // inside the old span
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Modify record strategy success!");
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  EXPECT_EQ(g_lstRecSchemeInfo.front(), night_);
  EXPECT_EQ(Describe(*night_), "Late night|D:\\||" "|0 0 0 0 5 3000 60 0 1 devs Cam1/ID1 spans 1:2:09:00:00-11:00:00");
  EXPECT_EQ(page_.ShownScheme(), night_);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"SetAllRecording 0", "ShowRecSchemeTree"}));
  ExpectFileHoldsTheList();
  // Shown under its new name: a second Modify finds it.
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Modify record strategy success!");
}

// The default scheme keeps its name but all else may change; the record
// controls of the main window follow its on/off.
TEST_F(SchemeButtonsTest, ModifyOfTheDefaultSchemeDrivesTheRecordControls) {
  recordButton_->SetCaptionW(L"Stop Record");
  RecSchemeInfo* def = AddScheme("Default Strategy", 8, Hms(0, 0, 0), Hms(23, 59, 59), {other_});
  page_.ShowSchemeInfo(def);
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL)->isEnabled());
  Select(CSettingRecordDlg::IDC_ON_OFF, 0);
  Select(CSettingRecordDlg::IDC_STORAGE_SCHEME, 0);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Modify record strategy success!");
  EXPECT_EQ(def->StorageScheme, 0);
  EXPECT_EQ(recordButton_->GetCaptionW(), L"Start Record");
  EXPECT_EQ(host_.allRecording, 0);

  night_->OnOff = 1;  // every scheme on after this change: recording all
  Select(CSettingRecordDlg::IDC_ON_OFF, 1);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(recordButton_->GetCaptionW(), L"Stop Record");
  EXPECT_EQ(host_.allRecording, 1);
  night_->OnOff = 0;  // another scheme is off: not recording all
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(recordButton_->GetCaptionW(), L"Stop Record");
  EXPECT_EQ(host_.allRecording, 0);
  ExpectFileHoldsTheList();
}

TEST_F(SchemeButtonsTest, DeleteRemovesTheShownSchemeButNeverTheDefault) {
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(message_, "Please select record strategy from strategy list in the left!");
  ExpectNothingChanged("nothing shown");

  RecSchemeInfo* def = AddScheme("Default Strategy", 8, Hms(0, 0, 0), Hms(23, 59, 59), {other_});
  page_.ShowSchemeInfo(def);
  EXPECT_FALSE(page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL)->isEnabled());
  Press(CSettingRecordDlg::IDC_BTN_DEL);  // the button is off; the handler refuses too
  EXPECT_EQ(message_, "");
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 2u);

  page_.ShowSchemeInfo(night_);
  EXPECT_TRUE(page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL)->isEnabled());
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(message_, "Remove record strategy success!");
  ASSERT_EQ(g_lstRecSchemeInfo.size(), 1u);
  EXPECT_EQ(g_lstRecSchemeInfo.front(), def);
  EXPECT_EQ(host_.calls, std::vector<std::string>{"ShowRecSchemeTree"});
  ExpectFileHoldsTheList();
  // The form keeps the deleted scheme; the page no longer refers to it.
  EXPECT_EQ(TextOf(CSettingRecordDlg::IDC_SCHEME_NAME), "Night");
  EXPECT_EQ(page_.ShownScheme(), nullptr);
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(message_, "Remove record strategy success!");
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "The record strategy to be modified not exist!");
  EXPECT_EQ(g_lstRecSchemeInfo.size(), 1u);
  ExpectFileHoldsTheList();
}

// A scheme deleted while the page shows it (the page's pointer then dangles)
// is found by name only: Modify answers that it does not exist and touches
// nothing, and a new scheme of that name is the one Modify changes.
TEST_F(SchemeButtonsTest, ASchemeRemovedWhileShownIsNeverTouchedThroughItsOldPointer) {
  page_.ShowSchemeInfo(night_);
  {
    CsLock lock(&g_csAppData);
    g_lstRecSchemeInfo.remove(night_);
    delete night_;  // as a reload of the list would
  }
  night_ = nullptr;
  EXPECT_EQ(page_.ShownScheme(), nullptr);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "The record strategy to be modified not exist!");
  EXPECT_TRUE(g_lstRecSchemeInfo.empty());
  RecSchemeInfo* again = AddScheme("Night", 4, Hms(1, 0, 0), Hms(2, 0, 0), {});
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(message_, "Modify record strategy success!");
  EXPECT_EQ(again->lstRecTime.front().DayOfWeek, 2);
}

// Modify and Delete stop the recordings of the scheme's channels on their
// stream objects: a stream shown in a pane stays open, one that serves a relay
// peer keeps its stream for the peer.
TEST_F(SchemeButtonsTest, ModifyAndDeleteStopTheSchemesRecordings) {
  auto recording = [&](DevInfo& dev, bool renders, bool relay) {
    FakeStream& main = streams_.streams[dev.pRtspEvent1];
    main = FakeStream{};
    main.id = 7;
    main.kind = 1;
    main.recording = true;
    main.renders = renders;
    main.relay = relay;
    dev.MainStreamId = 7;
    dev.bRecording = 1;
    dev.RecSpanId = 1;
    dev.nMotionAlarm = 14;
    CopyFixedText(dev.RecSchemeName, "Night");
  };
  recording(*cam_, false, false);
  page_.ShowSchemeInfo(night_);
  {
    LogCapture log;
    Press(CSettingRecordDlg::IDC_BTN_MODIFY);
    EXPECT_EQ(log.Count("CSettingRecordDlg::OnBnClickedBtnModify(): RtspEvent1 Stop Record, DevName=Cam1"), 1);
    EXPECT_EQ(log.Count("CSettingRecordDlg::OnBnClickedBtnModify(): RtspEvent1 Stop decoder delete stream id=7, "
                        "DevName=Cam1"), 1);
  }
  EXPECT_EQ(message_, "Modify record strategy success!");
  FakeStream& main = streams_.streams[cam_->pRtspEvent1];
  EXPECT_EQ(main.stopRecordCalls, 1);
  EXPECT_EQ(main.stopAllCalls, 1);
  EXPECT_EQ(main.closeDecoderCalls, 1);
  EXPECT_EQ(cam_->MainStreamId, 0);
  EXPECT_EQ(cam_->bRecording, 0);
  EXPECT_EQ(cam_->RecSpanId, 0);
  EXPECT_EQ(cam_->nMotionAlarm, 0);
  EXPECT_STREQ(cam_->RecSchemeName, "");

  recording(*cam_, true, false);  // shown in a pane
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(streams_.streams[cam_->pRtspEvent1].stopRecordCalls, 1);
  EXPECT_EQ(streams_.streams[cam_->pRtspEvent1].stopAllCalls, 0);
  EXPECT_EQ(cam_->MainStreamId, 7);
  EXPECT_EQ(cam_->bRecording, 0);

  recording(*cam_, false, true);  // serves a relay peer
  LogCapture log;
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(log.Count("CSettingRecordDlg::OnBnClickedBtnDelScheme(): RtspEvent1 Stop Record, DevName=Cam1"), 1);
  EXPECT_EQ(log.Count("RtspEvent2"), 0);  // the sub stream did not record
  EXPECT_EQ(message_, "Remove record strategy success!");
  EXPECT_EQ(streams_.streams[cam_->pRtspEvent1].stopRecordCalls, 1);
  EXPECT_EQ(streams_.streams[cam_->pRtspEvent1].stopAllCalls, 0);
  EXPECT_EQ(streams_.streams[cam_->pRtspEvent1].closeDecoderCalls, 1);
  EXPECT_EQ(cam_->bRecording, 0);
  EXPECT_EQ(cam_->nMotionAlarm, 14);  // Delete leaves the waiting alarms
}

// A recording that Modify or Delete stopped is reported stopped through the
// main window, as the recording thread reports its own stops; a channel that
// did not record is not reported.
TEST_F(SchemeButtonsTest, StoppedRecordingsAreReportedThroughTheMainWindow) {
  page_.ShowSchemeInfo(night_);
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);  // nothing records
  EXPECT_EQ(message_, "Modify record strategy success!");
  EXPECT_TRUE(host_.recordStates.empty());

  cam_->bRecording = 1;
  CopyFixedText(cam_->RecSchemeName, "Night");
  Press(CSettingRecordDlg::IDC_BTN_MODIFY);
  EXPECT_EQ(host_.recordStates, std::vector<std::string>{"Cam1 3"});

  cam_->bRecording = 1;
  Press(CSettingRecordDlg::IDC_BTN_DEL);
  EXPECT_EQ(message_, "Remove record strategy success!");
  EXPECT_EQ(host_.recordStates, (std::vector<std::string>{"Cam1 3", "Cam1 3"}));
}

// The device editor's new channels join the default scheme, once per display
// name; nothing is saved until the next change of the schemes.
TEST_F(SchemeButtonsTest, NewChannelsJoinTheDefaultScheme) {
  page_.AddDevToDefaultScheme(*cam_);  // no default scheme: nothing
  EXPECT_EQ(night_->lstDev.size(), 1u);
  RecSchemeInfo* def = AddScheme("Default Strategy", 8, Hms(0, 0, 0), Hms(23, 59, 59), {cam_});
  page_.AddDevToDefaultScheme(*cam_);
  DevInfo sameName = *other_;
  CopyFixedText(sameName.DevName, "Cam1");
  page_.AddDevToDefaultScheme(sameName);
  EXPECT_EQ(def->lstDev.size(), 1u);
  page_.AddDevToDefaultScheme(*other_);
  ASSERT_EQ(def->lstDev.size(), 2u);
  EXPECT_STREQ(def->lstDev.back().DevName, "Cam2");
  EXPECT_EQ(ReadConfig("RecInfo.xml"), savedFile_);
}

// The Delete button is off exactly while the default scheme is shown.
TEST_F(SchemeButtonsTest, DeleteIsOffExactlyWhileTheDefaultSchemeIsShown) {
  QWidget* del = page_.GetDlgItem(CSettingRecordDlg::IDC_BTN_DEL);
  page_.ShowSchemeInfo(AddScheme("Default Strategy", 8, Hms(0, 0, 0), Hms(23, 59, 59), {}));
  EXPECT_FALSE(del->isEnabled());
  FillValidForm("Evening");
  Press(CSettingRecordDlg::IDC_BTN_ADD);  // the new scheme is the shown one
  EXPECT_EQ(message_, "Add record strategy success!");
  EXPECT_TRUE(del->isEnabled());
  page_.ShowSchemeInfo(FindRecScheme(g_lstRecSchemeInfo, "Default Strategy"));
  EXPECT_FALSE(del->isEnabled());
  page_.ShowSchemeInfo(night_);
  EXPECT_TRUE(del->isEnabled());
}
