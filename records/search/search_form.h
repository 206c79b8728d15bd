// Small rules of the record search page's form: pages of results and the
// order of the two times of the span.
#pragma once

#include "records/search/rec_file_search.h"

// Pages of 20 results: total / 20, one more for a remainder.
int PageCount(int total);

// Whether `a` lies after `b`, compared to the second.
bool IsLater(const RecSearchTime& a, const RecSearchTime& b);
