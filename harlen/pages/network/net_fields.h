// The value rules of the network page and its windows: the hardware address
// typed pair by pair, texts stored only when they fit, and the list items that
// stand for record values.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The six bytes as "00-1A-2B-3C-4D-5E".
QString MacText(const uint8_t mac[6]);
// Reads "XX-XX-..." as typed: every complete pair before a dash sets its byte
// (at most six), and a last pair of exactly two characters after five dashed
// ones sets byte 5. A text of 20 bytes or more, or one without dashes, sets
// nothing. Returns the number of bytes set.
int ApplyMacText(std::string_view text, uint8_t mac[6]);

// Stores the window's text as GBK when it fits `width` bytes with its
// terminating zero; otherwise the field keeps its text. True when stored.
bool StoreTextIfFits(char* field, size_t width, const QString& text);
template <size_t N>
bool StoreTextIfFits(char (&field)[N], const QString& text) {
  return StoreTextIfFits(field, N, text);
}

// The card-type list: item i is the card type i + 1 (1 to 6); -1 (no item)
// for a value outside.
constexpr int kCardTypes = 6;
int CardTypeItem(int cardtype);
uint8_t CardTypeValue(int item);

// The DDNS server-type list's one item is the cloud provider, type 1; any other
// stored type shows no item.
constexpr uint8_t kDdnsCloudType = 1;
int DdnsTypeItem(int type);
