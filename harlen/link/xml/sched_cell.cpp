#include "harlen/link/xml/sched_cell.h"

#include <tinyxml.h>

#include "harlen/link/xml/harlen_trace.h"
#include "harlen/link/xml/section_xml.h"

namespace {

template <class CellOf>
void ReadCells(std::string_view text, SchedCell (&cells)[kSchedDays][kSchedHours], CellOf cellOf) {
  const size_t count = text.size() < static_cast<size_t>(kSchedCells) ? text.size() : kSchedCells;
  for (size_t i = 0; i < count; ++i) cells[i / kSchedHours][i % kSchedHours] = cellOf(text[i]);
}

template <class CharOf>
std::string WriteCells(const SchedCell (&cells)[kSchedDays][kSchedHours], CharOf charOf) {
  std::string text;
  text.reserve(kSchedCells);
  for (const auto& day : cells) {
    for (SchedCell cell : day) text.push_back(charOf(cell));
  }
  return text;
}

}  // namespace

SchedCell SchedCellFromChar(char c) {
  switch (c) {
    case 'T':
      return 1;
    case 'D':
      return 2;
    case 'A':
      return 3;
    case '2':
      return 4;
    case '1':
      return 5;
    default:
      return 0;
  }
}

char SchedCellToChar(SchedCell cell) {
  static const char kLetters[] = {'C', 'T', 'D', 'A', '2', '1'};
  return cell < sizeof kLetters ? kLetters[cell] : 'C';
}

void ReadSchedText(std::string_view text, SchedCell (&cells)[kSchedDays][kSchedHours]) {
  ReadCells(text, cells, SchedCellFromChar);
}

std::string SchedText(const SchedCell (&cells)[kSchedDays][kSchedHours]) { return WriteCells(cells, SchedCellToChar); }

void ReadArmingText(std::string_view text, SchedCell (&cells)[kSchedDays][kSchedHours]) {
  ReadCells(text, cells, [](char c) { return c == '1' ? kArmed : kNotArmed; });
}

std::string ArmingText(const SchedCell (&cells)[kSchedDays][kSchedHours]) {
  return WriteCells(cells, [](SchedCell cell) { return cell == kArmed ? '1' : '0'; });
}

void LoadSchedAttrs(const TiXmlElement* element, SchedTable& table) {
  int32_t enable = AttrInt(element, "enable");
  if (enable > 1) {
    HarlenTrace("enable %d error.", enable);
    enable = 1;
  } else if (enable < 0) {
    HarlenTrace("enable %d error.", enable);
    enable = 0;
  }
  table.enable = static_cast<uint16_t>(enable);
  const char* sched = element != nullptr ? element->Attribute("sched") : nullptr;
  ReadSchedText(sched != nullptr ? sched : "", table.cells);
}

void SetSchedAttrs(TiXmlElement* element, const SchedTable& table) {
  element->SetAttribute("enable", table.enable);
  element->SetAttribute("sched", SchedText(table.cells).c_str());
}
