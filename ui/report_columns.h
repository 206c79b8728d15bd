// The report list's column string: "title[,width[,alignment]]" entries joined
// by ';', e.g. "Time,150;Device,120,1;Type,80,2". Empty pieces are dropped
// before fields are counted, so "A,50;;B" is two columns and "Name,,2" is a
// column of width 2. Width defaults to 100; alignment 1 is centred, 2 right,
// anything else (and the default 0) left.
#pragma once

#include <string>
#include <vector>

enum class ColumnAlign { Left, Center, Right };

struct ReportColumn {
  std::string title;  // ANSI text
  int width = 100;
  ColumnAlign align = ColumnAlign::Left;
};

std::vector<ReportColumn> ParseColumnHeader(const std::string& headerText);
