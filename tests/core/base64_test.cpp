#include "core/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

constexpr BYTE kGuard = 0xA5;

std::string EncodeText(const std::string& bytes) {
  const int len = static_cast<int>(bytes.size());
  std::vector<char> out(CBase64::GetLength(len, TRUE) + 1, '#');
  const int n = CBase64::Encode(reinterpret_cast<const BYTE*>(bytes.data()), out.data(), len);
  EXPECT_EQ(n, CBase64::GetLength(len, TRUE));
  EXPECT_EQ(out[n], '\0');
  return std::string(out.data(), n);
}

// Decodes into a buffer sized by GetLength with guard bytes behind it; checks
// the guard and the terminating zero.
std::string DecodeText(const std::string& text) {
  const int len = static_cast<int>(text.size());
  const int size = CBase64::GetLength(len, FALSE);
  std::vector<BYTE> buffer(size + 8, kGuard);
  const int n = CBase64::Decode(text.data(), buffer.data(), len, size);
  EXPECT_GE(n, 0);
  EXPECT_LT(n, size) << "no room left for the terminating zero";
  if (n < size) {
    EXPECT_EQ(buffer[n], 0);
  }
  for (int i = size; i < size + 8; ++i) EXPECT_EQ(buffer[i], kGuard) << "wrote past the buffer";
  return std::string(reinterpret_cast<const char*>(buffer.data()), n);
}

}  // namespace

TEST(Base64, KnownTexts) {
  const struct {
    std::string plain, encoded;
  } cases[] = {
      {"", ""},         {"a", "YQ=="},    {"ab", "YWI="},       {"abc", "YWJj"},
      {"f", "Zg=="},    {"fo", "Zm8="},   {"foo", "Zm9v"},      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {std::string("\xFF\xFE\x00", 3), "//4A"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EncodeText(c.plain), c.encoded) << c.plain;
    EXPECT_EQ(DecodeText(c.encoded), c.plain) << c.encoded;
  }
}

TEST(Base64, EveryLengthUpToTenRoundTrips) {
  for (int len = 0; len <= 10; ++len) {
    std::string bytes;
    for (int i = 0; i < len; ++i) bytes.push_back(static_cast<char>(0xF0 + 37 * i));
    const std::string text = EncodeText(bytes);
    EXPECT_EQ(text.size() % 4, 0u);
    EXPECT_EQ(DecodeText(text), bytes) << "length " << len;
  }
}

TEST(Base64, DecodeSkipsForeignCharactersAndStopsAtPadding) {
  const struct {
    std::string text, plain;
  } cases[] = {
      {"Y W\r\nJ\tj", "abc"},                      // white space skipped
      {"\xC3YW\xA9Jj\xFF", "abc"},                 // bytes above 127 skipped
      {"Y!W-J*j", "abc"},                          // characters outside the alphabet
      {"YQ==YWJj", "a"},                           // stops at the first '='
      {"=YWJj", ""},
      {"YWI", "ab"},                               // unpadded tail
      {"YQ", "a"},
      {"Y", ""},                                   // six bits make no byte
      {std::string("YW\0Jj", 5), "abc"},           // a zero is just a foreign character
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeText(c.text), c.plain) << c.text;
}

TEST(Base64, DecodeNeverWritesPastOutSize) {
  // "YWJjZGVm" is "abcdef": 6 bytes; give room for fewer.
  for (int size = 0; size <= 7; ++size) {
    std::vector<BYTE> buffer(size + 4, kGuard);
    const int n = CBase64::Decode("YWJjZGVm", buffer.data(), 8, size);
    EXPECT_EQ(n, std::min(size, 6));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer.data()), n), std::string("abcdef", n));
    if (n < size) {
      EXPECT_EQ(buffer[n], 0);
    }
    for (int i = size; i < size + 4; ++i) EXPECT_EQ(buffer[i], kGuard) << "size " << size;
  }
  EXPECT_EQ(CBase64::Decode("YWJj", nullptr, 4, 10), 0);
  BYTE one = kGuard;
  EXPECT_EQ(CBase64::Decode(nullptr, &one, 4, 1), 0);
  EXPECT_EQ(one, 0);
}

TEST(Base64, RandomGarbageStaysInsideTheQueriedBuffer) {
  std::mt19937 random(20240611);
  const std::string alphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  for (int round = 0; round < 2000; ++round) {
    const int len = static_cast<int>(random() % 64);
    std::string text;
    for (int i = 0; i < len; ++i) {
      // Mostly alphabet characters, so that long outputs occur, with any byte mixed in.
      text.push_back(random() % 4 ? alphabet[random() % 64] : static_cast<char>(random() % 256));
    }
    DecodeText(text);
  }
}

TEST(Base64, EncodeOfNothingIsAnEmptyText) {
  char out[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(CBase64::Encode(nullptr, out, 3), 0);
  EXPECT_EQ(out[0], '\0');
  out[0] = '#';
  const BYTE data[1] = {'a'};
  EXPECT_EQ(CBase64::Encode(data, out, 0), 0);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(CBase64::GetLength(-1, TRUE), 0);
  EXPECT_EQ(CBase64::GetLength(-1, FALSE), 0);
}
