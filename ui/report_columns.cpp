#include "ui/report_columns.h"

#include <climits>
#include <cstdlib>

namespace {

std::vector<std::string> SplitDroppingEmpty(const std::string& text, char sep) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(sep, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// The integer value of a field as the C library reads it: leading digits, 0
// when there are none, clamped to int.
int IntegerValue(const std::string& field) {
  long long value = std::strtoll(field.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

std::vector<ReportColumn> ParseColumnHeader(const std::string& headerText) {
  std::vector<ReportColumn> columns;
  for (const std::string& entry : SplitDroppingEmpty(headerText, ';')) {
    std::vector<std::string> fields = SplitDroppingEmpty(entry, ',');
    if (fields.empty()) continue;
    ReportColumn column;
    column.title = fields[0];
    if (fields.size() > 1) column.width = IntegerValue(fields[1]);
    if (fields.size() > 2) {
      int align = IntegerValue(fields[2]);
      column.align = align == 1 ? ColumnAlign::Center : align == 2 ? ColumnAlign::Right : ColumnAlign::Left;
    }
    columns.push_back(column);
  }
  return columns;
}
