// The configuration sections whose records hold what the NVR sent.
//
// Save-all sends a record back only when it was loaded from the NVR: a record
// that never arrived, or arrived in a form its loader refused, holds zeros or
// half a configuration, and written over the NVR's it would wipe accounts or
// network settings.
#pragma once

#include <cstdint>

class NvrLoadedSections {
 public:
  // Section numbers are those of the link (0 to 31).
  void Mark(int section, bool loaded) {
    if (section < 0 || section >= 32) return;
    const uint32_t bit = uint32_t{1} << section;
    bits_ = loaded ? (bits_ | bit) : (bits_ & ~bit);
  }
  bool Has(int section) const { return section >= 0 && section < 32 && (bits_ & (uint32_t{1} << section)) != 0; }
  bool Any() const { return bits_ != 0; }
  void Clear() { bits_ = 0; }

 private:
  uint32_t bits_ = 0;
};
