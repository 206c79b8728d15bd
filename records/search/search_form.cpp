#include "records/search/search_form.h"

#include <algorithm>

#include <tuple>

int PageCount(int total) { return total <= 0 ? 0 : total / 20 + (total % 20 ? 1 : 0); }

bool IsLater(const RecSearchTime& a, const RecSearchTime& b) {
  return std::tie(a.nYear, a.nMonth, a.nDay, a.nHour, a.nMinute, a.nSecond) >
         std::tie(b.nYear, b.nMonth, b.nDay, b.nHour, b.nMinute, b.nSecond);
}

std::string ResultColumns(int width, const std::string& path, const std::string& size, const std::string& download,
                          const std::string& play, const std::array<int, 3>& least) {
  const int quarter = width / 4;
  auto narrow = [quarter, &least](size_t k) { return std::to_string(std::max(quarter - 100, least[k])); };
  return path + "," + std::to_string(quarter + 300) + "; " + size + "," + narrow(0) + "; " + download + "," +
         narrow(1) + "; " + play + "," + narrow(2);
}
