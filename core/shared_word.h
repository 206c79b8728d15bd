// SharedWord: an int that one thread writes while others read it without a
// lock (the run-time state words of a device record). The word itself is
// atomic; a record that holds it is still copied and assigned as a whole.
#pragma once

#include <atomic>

class SharedWord {
 public:
  constexpr SharedWord(int value = 0) noexcept : value_(value) {}  // NOLINT: converts like the int it replaces
  SharedWord(const SharedWord& other) noexcept : value_(other.value_.load()) {}
  SharedWord& operator=(const SharedWord& other) noexcept {
    value_.store(other.value_.load());
    return *this;
  }
  SharedWord& operator=(int value) noexcept {
    value_.store(value);
    return *this;
  }
  operator int() const noexcept { return value_.load(); }  // NOLINT: reads like the int it replaces

 private:
  std::atomic<int> value_;
};
