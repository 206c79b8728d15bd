// What the players' commands become for relay and NVR sources.
#include <gtest/gtest.h>

#include "records/playback/replay_commands.h"

using namespace replaycmd;

TEST(ReplayCommands, RelayStepsAndSpeedCodes) {
  struct Case {
    LONG command, value;
    RelayOp op;
    LONG dayValue, fileValue;  // with the piece starting at 3600
  };
  const Case cases[] = {
      {kContinue, 0, RelayOp::kContinue, 0, 0},
      {kPause, 0, RelayOp::kPause, 0, 0},
      {kStop, 0, RelayOp::kStop, 0, 0},
      {kPrevious, 0, RelayOp::kPrevious, 0, 0},
      {kNext, 0, RelayOp::kNext, 0, 0},
      {kSlow, 0, RelayOp::kStepPause, 0, 0},
      {kSlow, 1, RelayOp::kStepContinue, 0, 0},
      {kSlow, 2, RelayOp::kSpeed, 2, 2},
      {kSlow, 32, RelayOp::kSpeed, 6, 6},
      {kSlow, 3, RelayOp::kSpeed, 1, 1},    // not a factor of the bar
      {kFast, 4, RelayOp::kSpeed, 8, 8},
      {kFast, 32, RelayOp::kSpeed, 11, 11},
      {kFast, 5, RelayOp::kSpeed, 1, 1},
      {kNormal, 0, RelayOp::kSpeed, 0, 0},
      {kSeek, 120, RelayOp::kSeek, 3720, 120},  // a day seeks to a second of the day
      {5, 0, RelayOp::kNone, 0, 0},
      {10, 0, RelayOp::kNone, 0, 0},
  };
  for (const Case& c : cases) {
    const RelayStep day = RelayDayStep(c.command, c.value, 3600);
    const RelayStep file = RelayFileStep(c.command, c.value);
    EXPECT_EQ(day.op, c.op) << c.command << " " << c.value;
    EXPECT_EQ(file.op, c.op) << c.command << " " << c.value;
    EXPECT_EQ(day.value, c.dayValue) << c.command << " " << c.value;
    EXPECT_EQ(file.value, c.fileValue) << c.command << " " << c.value;
  }
}

TEST(ReplayCommands, NvrDaysMoveByPieces) {
  // Next and previous become seeks of a whole piece; the rest pass unchanged.
  EXPECT_EQ(NvrDayStep(kNext, 0).command, kSeek);
  EXPECT_EQ(NvrDayStep(kNext, 0).value, 600);
  EXPECT_EQ(NvrDayStep(kPrevious, 0).value, -600);
  EXPECT_EQ(NvrDayStep(kFast, 8).command, kFast);
  EXPECT_EQ(NvrDayStep(kFast, 8).value, 8);

  // Second 3725 of 2024-01-05: 01:02:05, in the piece from 3600.
  EXPECT_EQ(NvrTimeText(2024, 1, 5, 3725), "20240105010205");
  EXPECT_EQ(NvrTimeText(2024, 12, 31, 86399), "20241231235959");
  EXPECT_EQ(NvrPieceStart(3725), 3600);
  EXPECT_EQ(NvrPieceStart(599), 0);
  // A seek is relative to the piece of the cursor; only whole pieces move the slot.
  EXPECT_EQ(NvrSeekTarget(3725, 120), 3720);
  EXPECT_EQ(NvrSeekTarget(3725, -600), 3000);
  EXPECT_TRUE(NvrSeekMovesPiece(600));
  EXPECT_TRUE(NvrSeekMovesPiece(-600));
  EXPECT_FALSE(NvrSeekMovesPiece(120));
}

TEST(ReplayCommands, NvrFilesPassTheirCommandsButNeverTakeNextForTheNvrsStop) {
  struct Case {
    LONG command, value, nvrCommand, nvrValue;
  } cases[] = {
      {kContinue, 0, kContinue, 0}, {kPause, 0, kPause, 0},  {kFast, 4, kFast, 4},   {kSlow, 8, kSlow, 8},
      {kSlow, 0, kSlow, 0},         {kNormal, 0, kNormal, 0}, {kSeek, 17, kSeek, 17}, {kStop, 0, kNvrStop, 0},
      {kNext, 0, kNone, 0},         {kPrevious, 0, kNone, 0}, {5, 3, kNone, 0},       {11, 0, kNone, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    EXPECT_EQ(NvrFileStep(c.command, c.value).command, c.nvrCommand);
    EXPECT_EQ(NvrFileStep(c.command, c.value).value, c.nvrValue);
  }
}

TEST(ReplayCommands, DaysAsAutomationDates) {
  EXPECT_EQ(DayDate(1899, 12, 30), 0.0);
  EXPECT_EQ(DayDate(2024, 1, 5), 45296.0);
  EXPECT_EQ(DayDate(2024, 2, 30), 0.0);  // no such day
}
