#include "harlen/pages/network/net_fields.h"

#include <cstring>
#include <string>

#include "harlen/link/xml/text_codec.h"
#include "harlen/pages/common/page_text.h"

QString MacText(const uint8_t mac[6]) {
  return QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
}

int ApplyMacText(std::string_view text, uint8_t mac[6]) {
  constexpr size_t kLongest = 20;
  constexpr int kBytes = 6;
  if (text.size() >= kLongest) return 0;
  int taken = 0;
  int set = 0;
  for (size_t dash = text.find('-', 1); dash != std::string_view::npos && dash >= 1; dash = text.find('-', 1)) {
    if (taken < kBytes) {
      mac[taken] = HexToByte(text.substr(0, dash));
      ++set;
    }
    ++taken;
    text.remove_prefix(dash + 1);
  }
  if (taken == kBytes - 1 && text.size() == 2) {
    mac[kBytes - 1] = HexToByte(text);
    ++set;
  }
  return set;
}

bool StoreTextIfFits(char* field, size_t width, const QString& text) {
  const std::string ansi = QTextAnsi(text);
  if (ansi.size() >= width) return false;
  std::memset(field, 0, width);
  std::memcpy(field, ansi.data(), ansi.size());
  return true;
}

int CardTypeItem(int cardtype) { return cardtype >= 1 && cardtype <= kCardTypes ? cardtype - 1 : -1; }

uint8_t CardTypeValue(int item) { return static_cast<uint8_t>(item >= 0 && item < kCardTypes ? item + 1 : 0); }

int DdnsTypeItem(int type) { return type == kDdnsCloudType ? 0 : -1; }
