#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "core/md5.h"

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string LowerHexOf(const std::string& bytes) {
  char out[33];
  EXPECT_EQ(Md5LowerHex(reinterpret_cast<const unsigned char*>(bytes.data()), out,
                        static_cast<unsigned>(bytes.size())),
            0);
  return out;
}

TEST(Md5, Rfc1321Vectors) {
  const struct {
    const char* text;
    const char* digest;
  } cases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"a", "0CC175B9C0F1B6A831C399E269772661"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& c : cases) {
    char upper[33];
    Md5UpperHex(c.text, upper);
    EXPECT_STREQ(upper, c.digest) << c.text;
    // Both text forms give the same digits, differing only in letter case.
    EXPECT_EQ(LowerHexOf(c.text), Lower(c.digest)) << c.text;
  }
}

TEST(Md5, FinalWipesTheContext) {
  Md5Context context;
  Md5Init(&context);
  Md5Update(&context, reinterpret_cast<const unsigned char*>("secret"), 6);
  unsigned char digest[16];
  Md5Final(digest, &context);
  const unsigned char* raw = reinterpret_cast<const unsigned char*>(&context);
  for (size_t i = 0; i < sizeof context; ++i) ASSERT_EQ(raw[i], 0) << i;
}

// Random inputs of every length around the block and padding boundaries, fed in
// random pieces, against Python's hashlib.
TEST(Md5, MatchesPythonHashlibOnRandomInputs) {
  std::mt19937 random(20261208);
  std::vector<std::string> inputs;
  for (size_t length = 0; length <= 200; ++length) inputs.emplace_back(length, '\0');
  for (int i = 0; i < 40; ++i) inputs.emplace_back(std::uniform_int_distribution<size_t>(201, 5000)(random), '\0');
  inputs.emplace_back(1 << 20, '\0');
  for (std::string& input : inputs) {
    for (char& c : input) c = static_cast<char>(random() & 0xFF);
  }

  TempFolder folder;
  {
    std::ofstream hexFile(folder.File("inputs.txt"));
    for (const std::string& input : inputs) {
      for (unsigned char c : input) {
        char hex[3];
        snprintf(hex, sizeof hex, "%02x", c);
        hexFile << hex;
      }
      hexFile << '\n';
    }
  }
  const std::string command = "/usr/bin/python3 -c \"import hashlib,sys\n"
                              "for l in open(sys.argv[1]): print(hashlib.md5(bytes.fromhex(l.strip())).hexdigest())\" " +
                              folder.File("inputs.txt");
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> expected;
  char line[128];
  while (fgets(line, sizeof line, pipe)) expected.emplace_back(line, 32);
  ASSERT_EQ(pclose(pipe), 0);
  ASSERT_EQ(expected.size(), inputs.size());

  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string& input = inputs[i];
    Md5Context context;
    Md5Init(&context);
    size_t done = 0;
    while (done < input.size()) {
      const size_t piece = std::min(input.size() - done, std::uniform_int_distribution<size_t>(0, 130)(random));
      Md5Update(&context, reinterpret_cast<const unsigned char*>(input.data() + done), static_cast<unsigned>(piece));
      done += piece;
    }
    unsigned char digest[16];
    Md5Final(digest, &context);
    char hex[33];
    for (int b = 0; b < 16; ++b) snprintf(hex + 2 * b, 3, "%02x", digest[b]);
    EXPECT_EQ(std::string(hex), expected[i]) << "input " << i << " of " << input.size() << " bytes";
    EXPECT_EQ(LowerHexOf(input), expected[i]);
  }
}

}  // namespace
