// Schedules of the configuration sections: 8 rows of 24 hours, written as a
// text of 192 characters, row by row.
//
// Record and picture schedules: 'T' timed (1), 'D' motion (2), 'A' alarm (3),
// '2' motion and alarm (4), '1' motion or alarm (5), anything else none (0,
// written 'C'). Alarm arming schedules: '1' armed (2), anything else not
// armed (1, written '0').
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class TiXmlElement;

typedef uint32_t SchedCell;

constexpr int kSchedDays = 8;
constexpr int kSchedHours = 24;
constexpr int kSchedCells = kSchedDays * kSchedHours;

constexpr SchedCell kArmed = 2;
constexpr SchedCell kNotArmed = 1;

// A record or picture schedule: enable (16 bits in a 32-bit slot) and the cells.
struct SchedTable {
  uint16_t enable;
  SchedCell cells[kSchedDays][kSchedHours];
};

SchedCell SchedCellFromChar(char c);
char SchedCellToChar(SchedCell cell);

// Reads up to 192 characters into the cells; cells without a character stay as they are.
void ReadSchedText(std::string_view text, SchedCell (&cells)[kSchedDays][kSchedHours]);
std::string SchedText(const SchedCell (&cells)[kSchedDays][kSchedHours]);

void ReadArmingText(std::string_view text, SchedCell (&cells)[kSchedDays][kSchedHours]);
std::string ArmingText(const SchedCell (&cells)[kSchedDays][kSchedHours]);

// The attributes enable and sched of a schedule element. An enable above 1 is
// read as 1 (trace "enable %d error."), below 0 as 0.
void LoadSchedAttrs(const TiXmlElement* element, SchedTable& table);
void SetSchedAttrs(TiXmlElement* element, const SchedTable& table);
