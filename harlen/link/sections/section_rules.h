// Small rules shared by the section loaders and builders.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include <tinyxml.h>

#include "harlen/link/xml/harlen_trace.h"

// Records are plain fixed-size structures: clearing one zeroes every byte.
template <class Record>
void ClearRecord(Record& record) {
  static_assert(std::is_trivially_copyable_v<Record>);
  std::memset(static_cast<void*>(&record), 0, sizeof record);
}

// The banner of a loader of one element, and of a whole section or control text.
inline void TraceElementBanner(const char* loader) {
  HarlenTrace("------------------------%s-------------------------------", loader);
}
inline void TraceSectionBanner(const char* loader) {
  HarlenTrace("#######################%s#######################", loader);
}

// The trace of rows past a list's capacity.
inline void TraceRowsIgnored(unsigned capacity) { HarlenTrace("rows > %u, egnored.", capacity); }

// What a list loader does with one row.
enum class Row { kTaken, kSkipped, kStop };

// Hands the children `name` of parent, in document order, to take(row, taken)
// where taken counts the rows taken before; a row beyond `capacity` ends the
// list with the trace (the capacity as its number). The number of rows taken.
template <class Take>
unsigned ForEachRow(const TiXmlElement* parent, const char* name, unsigned capacity, Take take,
                    const char* ignoredTrace = "rows > %u, egnored.") {
  unsigned taken = 0;
  for (const TiXmlElement* row = parent->FirstChildElement(name); row != nullptr; row = row->NextSiblingElement(name)) {
    if (taken >= capacity) {
      HarlenTrace(ignoredTrace, capacity);
      break;
    }
    const Row result = take(row, taken);
    if (result == Row::kStop) break;
    if (result == Row::kTaken) ++taken;
  }
  return taken;
}

// Any non-zero value is 1.
inline uint8_t AsFlag(int32_t value) { return value != 0 ? 1 : 0; }

// value when it lies in [low, high], else fallback.
inline int32_t InRange(int32_t value, int32_t low, int32_t high, int32_t fallback) {
  return value >= low && value <= high ? value : fallback;
}

// A list's count as written: never more than its capacity.
inline unsigned Capped(uint32_t count, unsigned capacity) { return count < capacity ? count : capacity; }
