#include "records/search/search_form.h"

#include <tuple>

int PageCount(int total) { return total <= 0 ? 0 : total / 20 + (total % 20 ? 1 : 0); }

bool IsLater(const RecSearchTime& a, const RecSearchTime& b) {
  return std::tie(a.nYear, a.nMonth, a.nDay, a.nHour, a.nMinute, a.nSecond) >
         std::tie(b.nYear, b.nMonth, b.nDay, b.nHour, b.nMinute, b.nSecond);
}
