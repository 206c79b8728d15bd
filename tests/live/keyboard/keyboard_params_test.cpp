// "KeyboardParams.txt": reading the line, the keyboard's parse into port codes
// and the settings page's reading and writing of the same line.
#include "live/keyboard/keyboard_params.h"

#include <gtest/gtest.h>

#include <string>

#include "serial_keyboard_test_support.h"

namespace {

struct ParseCase {
  const char* line;
  KeyboardParams expected;
};

// The names are not checked, the order decides; unknown words give the
// first code.
const ParseCase kParseCases[] = {
    {"Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE",
     {1, 3, 9600, 8, kStopBitsOne, kParityNone, kFlowNone}},
    {"Switch=0,COMPort=255,BandRate=19200,DataBits=7,StopBits=15,Verify=ODD,FlowControl=HARDWARE",
     {0, 255, 19200, 7, kStopBitsOneAndHalf, kParityOdd, kFlowHardware}},
    {"Switch=1,COMPort=1,BandRate=2400,DataBits=5,StopBits=20,Verify=EVEN,FlowControl=SOFTWARE",
     {1, 1, 2400, 5, kStopBitsTwo, kParityEven, kFlowSoftware}},
    {"A=1,B=2,C=4800,D=6,E=12,F=MARK,G=none", {1, 2, 4800, 6, kStopBitsOne, kParityMark, kFlowNone}},
    {"Switch=1,COMPort=2,BandRate=9600,DataBits=8,StopBits=1,Verify=SPACE,FlowControl=",
     {1, 2, 9600, 8, kStopBitsOne, kParitySpace, kFlowNone}},
};

void ExpectParams(const KeyboardParams& actual, const KeyboardParams& expected) {
  EXPECT_EQ(actual.Switch, expected.Switch);
  EXPECT_EQ(actual.COMPort, expected.COMPort);
  EXPECT_EQ(actual.BandRate, expected.BandRate);
  EXPECT_EQ(actual.DataBits, expected.DataBits);
  EXPECT_EQ(actual.StopBits, expected.StopBits);
  EXPECT_EQ(actual.Verify, expected.Verify);
  EXPECT_EQ(actual.FlowControl, expected.FlowControl);
}

}  // namespace

TEST(KeyboardParams, ParsesSevenFieldsInOrder) {
  for (const ParseCase& c : kParseCases) {
    SCOPED_TRACE(c.line);
    KeyboardParams params;
    EXPECT_EQ(ParseKeyboardParams(c.line, params), kKeyboardParamsFieldCount);
    ExpectParams(params, c.expected);
  }
}

TEST(KeyboardParams, OtherFieldCountsLeaveTheSettingsAlone) {
  const KeyboardParams before{1, 4, 4800, 7, kStopBitsTwo, kParityOdd, kFlowHardware};
  const struct {
    const char* line;
    int fields;
  } cases[] = {
      {"Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE", 6},
      {"Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=NONE,", 8},
      {"", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    KeyboardParams params = before;
    EXPECT_EQ(ParseKeyboardParams(c.line, params), c.fields);
    ExpectParams(params, before);
  }
}

TEST(KeyboardParams, PageReadsWhatItWrites) {
  const CString line = FormatKeyboardParamsLine(1, "12", 4800, 7, 15, "ODD", "SOFTWARE");
  EXPECT_EQ(line, "Switch=1,COMPort=12,BandRate=4800,DataBits=7,StopBits=15,Verify=ODD,FlowControl=SOFTWARE");
  const KeyboardPageValues values = ScanKeyboardPageValues(line);
  EXPECT_EQ(values.Switch, 1);
  EXPECT_EQ(values.COMPort, 12);
  EXPECT_EQ(values.BandRate, 4800);
  EXPECT_EQ(values.DataBits, 7);
  EXPECT_EQ(values.StopBits, 15);
  EXPECT_EQ(values.Verify, "ODD");
  EXPECT_EQ(values.FlowControl, "SOFTWARE");

  // Nothing chosen: zeros and empty words, still seven fields for the keyboard.
  const CString empty = FormatKeyboardParamsLine(0, "1", 0, 0, 0, "", "");
  EXPECT_EQ(empty, "Switch=0,COMPort=1,BandRate=0,DataBits=0,StopBits=0,Verify=,FlowControl=");
  KeyboardParams params;
  EXPECT_EQ(ParseKeyboardParams(empty, params), kKeyboardParamsFieldCount);
  EXPECT_GE(empty.size(), kKeyboardParamsMinSize);
}

TEST(KeyboardParams, PageReadingStopsAtTheFirstFieldThatDoesNotRead) {
  const KeyboardPageValues values = ScanKeyboardPageValues("Switch=1,COMPort=x,BandRate=9600");
  EXPECT_EQ(values.Switch, 1);
  EXPECT_EQ(values.COMPort, 0);
  EXPECT_EQ(values.BandRate, 0);
  EXPECT_EQ(values.Verify, "");
}

TEST(KeyboardParams, ListIndexes) {
  EXPECT_EQ(KeyboardListIndex(kKeyboardBandRates, 19200), 3);
  EXPECT_EQ(KeyboardListIndex(kKeyboardBandRates, 115200), -1);
  EXPECT_EQ(KeyboardListIndex(kKeyboardStopBitsTenths, 15), 1);
  EXPECT_EQ(KeyboardListIndex(kKeyboardVerifyWords, "EVEN"), 2);
  EXPECT_EQ(KeyboardListIndex(kKeyboardVerifyWords, "MARK"), -1);
  EXPECT_EQ(KeyboardListIndex(kKeyboardFlowWords, "HARDWARE"), 1);
}

using KeyboardParamsFile = KeyboardTest;

TEST_F(KeyboardParamsFile, ShorterThanFiftyBytesCountsAsMissing) {
  CString line;
  EXPECT_FALSE(ReadKeyboardParamsLine(line));  // no file
  WriteParamsFile(std::string(49, 'x'));
  EXPECT_FALSE(ReadKeyboardParamsLine(line));
  WriteParamsFile(std::string(50, 'x'));
  ASSERT_TRUE(ReadKeyboardParamsLine(line));
  EXPECT_EQ(line, std::string(50, 'x'));
}

TEST_F(KeyboardParamsFile, LineIsTheFirst127BytesUpToALineEnd) {
  WriteParamsFile(std::string(200, 'y'));
  CString line;
  ASSERT_TRUE(ReadKeyboardParamsLine(line));
  EXPECT_EQ(line, std::string(kKeyboardParamsMaxLine, 'y'));

  const std::string written = "Switch=1,COMPort=3,BandRate=9600,DataBits=8,StopBits=10,Verify=NONE,FlowControl=SOFTWARE";
  WriteParamsFile(written + "\r\nsecond line");
  ASSERT_TRUE(ReadKeyboardParamsLine(line));
  EXPECT_EQ(line, written);
  KeyboardParams params;
  ASSERT_EQ(ParseKeyboardParams(line, params), kKeyboardParamsFieldCount);
  EXPECT_EQ(params.FlowControl, kFlowSoftware);  // the line end does not belong to the word
}

TEST_F(KeyboardParamsFile, WriteReplacesTheWholeFile) {
  WriteParamsFile(std::string(300, 'z'));
  const CString line = "Switch=0,COMPort=2,BandRate=2400,DataBits=8,StopBits=20,Verify=EVEN,FlowControl=NONE";
  ASSERT_TRUE(WriteKeyboardParamsLine(line));
  EXPECT_EQ(ParamsFile(), line);
}
