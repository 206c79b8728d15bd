#include "records/playback/replay_commands.h"

#include <QDate>
#include <cstdio>

namespace replaycmd {

namespace {

// 2, 4, 8, 16, 32 as 0 to 4; -1 for any other factor.
int FactorStep(LONG factor) {
  int step = 0;
  for (LONG f = 2; f <= 32; f *= 2, ++step) {
    if (factor == f) return step;
  }
  return -1;
}

}  // namespace

LONG RelaySlowCode(LONG factor) {
  const int step = FactorStep(factor);
  return step < 0 ? 1 : 2 + step;
}

LONG RelayFastCode(LONG factor) {
  const int step = FactorStep(factor);
  return step < 0 ? 1 : 7 + step;
}

namespace {

RelayStep CommonStep(LONG command, LONG value) {
  switch (command) {
    case kContinue: return {RelayOp::kContinue, 0};
    case kPause: return {RelayOp::kPause, 0};
    case kStop: return {RelayOp::kStop, 0};
    case kPrevious: return {RelayOp::kPrevious, 0};
    case kNext: return {RelayOp::kNext, 0};
    case kSlow:
      if (value == 0) return {RelayOp::kStepPause, 0};
      if (value == 1) return {RelayOp::kStepContinue, 0};
      return {RelayOp::kSpeed, RelaySlowCode(value)};
    case kFast: return {RelayOp::kSpeed, RelayFastCode(value)};
    case kNormal: return {RelayOp::kSpeed, 0};
    default: return {};
  }
}

}  // namespace

RelayStep RelayDayStep(LONG command, LONG value, int startSecond) {
  if (command == kSeek) return {RelayOp::kSeek, value + startSecond};
  return CommonStep(command, value);
}

RelayStep RelayFileStep(LONG command, LONG value) {
  if (command == kSeek) return {RelayOp::kSeek, value};
  return CommonStep(command, value);
}

NvrStep NvrDayStep(LONG command, LONG value) {
  if (command == kNext) return {kSeek, kNvrPieceSeconds};
  if (command == kPrevious) return {kSeek, -kNvrPieceSeconds};
  return {command, value};
}

NvrStep NvrFileStep(LONG command, LONG value) {
  switch (command) {
    case kStop: return {kNvrStop, 0};
    case kContinue:
    case kPause:
    case kSlow:
    case kFast:
    case kSeek:
    case kNormal: return {command, value};
    default: return {kNone, 0};
  }
}

std::string NvrTimeText(int year, int month, int day, int second) {
  char text[32];
  std::snprintf(text, sizeof(text), "%04d%02d%02d%02d%02d%02d", year, month, day, second / 3600, second % 3600 / 60,
                second % 60);
  return text;
}

DATE DayDate(int year, int month, int day) {
  const QDate date(year, month, day);
  if (!date.isValid()) return 0;
  return static_cast<DATE>(QDate(1899, 12, 30).daysTo(date));
}

}  // namespace replaycmd
