// What a page does with the ticks of the copy-to window: the record of the
// item shown is copied, whole, over every other ticked item.
#pragma once

#include <cstdint>

// Copies records[source] over records[k] for every k below `count` whose flag
// is 1, except the source itself. The number of records written.
template <class Record>
int CopyToTicked(Record* records, int count, int source, const int32_t* flags) {
  if (source < 0 || source >= count) return 0;
  int copied = 0;
  for (int k = 0; k < count; ++k) {
    if (k == source || flags[k] != 1) continue;
    records[k] = records[source];
    ++copied;
  }
  return copied;
}
