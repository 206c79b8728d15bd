#include "records/search/search_form.h"

#include <tuple>

int PageCount(int total) { return total <= 0 ? 0 : total / 20 + (total % 20 ? 1 : 0); }

bool IsLater(const RecSearchTime& a, const RecSearchTime& b) {
  return std::tie(a.nYear, a.nMonth, a.nDay, a.nHour, a.nMinute, a.nSecond) >
         std::tie(b.nYear, b.nMonth, b.nDay, b.nHour, b.nMinute, b.nSecond);
}

std::string ResultColumns(int width, const std::string& path, const std::string& size, const std::string& download,
                          const std::string& play) {
  const int quarter = width / 4;
  return path + "," + std::to_string(quarter + 300) + "; " + size + "," + std::to_string(quarter - 100) + "; " +
         download + "," + std::to_string(quarter - 100) + "; " + play + "," + std::to_string(quarter - 100);
}
