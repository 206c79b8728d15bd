// Small rules of the record search page's form: pages of results and the
// order of the two times of the span.
#pragma once

#include <array>
#include <string>

#include "records/search/rec_file_search.h"

// Pages of 20 results: total / 20, one more for a remainder.
int PageCount(int total);

// Whether `a` lies after `b`, compared to the second.
bool IsLater(const RecSearchTime& a, const RecSearchTime& b);

// The result list's columns (title and width of each) for a list `width` pixels wide:
// "path,W/4+300; size,W/4-100; download,W/4-100; play,W/4-100", where the size,
// download and play columns are at least as wide as `least` gives (the widths
// their titles and texts need).
std::string ResultColumns(int width, const std::string& path, const std::string& size, const std::string& download,
                          const std::string& play, const std::array<int, 3>& least = {0, 0, 0});
