// Frames, keys, dates and translations of the relay protocol.
#include <gtest/gtest.h>

#include "pelk/pelk.h"
#include "pelk/pelk_auth.h"
#include "pelk/pelk_client.h"
#include "pelk/pelk_time.h"
#include "pelk/pelk_wire.h"

using namespace pelk;

TEST(PelkWireTest, HeaderChecks) {
  std::vector<uint8_t> frame = FrameBuilder(kPing).Finish();
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> change;
    uint32_t limit;
    HeaderCheck expected;
  };
  const Case cases[] = {
      {"as built", [](auto&) {}, kMaxPayload, HeaderCheck::kOk},
      {"magic", [](auto& f) { f[0] = 'X'; }, kMaxPayload, HeaderCheck::kBadMagic},
      {"version", [](auto& f) { f[4] = 2; }, kMaxPayload, HeaderCheck::kBadVersion},
      {"length past the limit", [](auto& f) { f[8] = 0x01; f[9] = 0x04; }, 1024, HeaderCheck::kTooLong},
      {"length at the limit", [](auto& f) { f[8] = 0x00; f[9] = 0x04; }, 1024, HeaderCheck::kOk},
      {"huge length", [](auto& f) { f[11] = 0xFF; }, kMaxPayload, HeaderCheck::kTooLong},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = frame;
    c.change(bytes);
    FrameHeader header;
    EXPECT_EQ(ParseHeader(bytes.data(), c.limit, &header), c.expected) << c.name;
  }
}

TEST(PelkWireTest, PayloadRoundTripAndReadsPastTheEnd) {
  RelayPtzPreset preset;
  CopyText(preset.szDevKey, "00-11-22-33-44-55:10.0.0.9");
  CopyText(preset.szPreset, "s1#12:00-13:00");
  preset.dwAction = 1;
  std::vector<uint8_t> frame =
      FrameBuilder(kPtzPreset).U32(7).U64(0x123456789ULL).FixedText("abcdef", 4).Record(preset).Finish();
  FrameHeader header;
  ASSERT_EQ(ParseHeader(frame.data(), kMaxPayload, &header), HeaderCheck::kOk);
  EXPECT_EQ(header.type, kPtzPreset);
  EXPECT_EQ(header.length, frame.size() - kHeaderSize);
  PayloadReader reader(frame.data() + kHeaderSize, header.length);
  EXPECT_EQ(reader.U32(), 7u);
  EXPECT_EQ(reader.U64(), 0x123456789ULL);
  char text[4];
  reader.FixedText(text, sizeof text);
  EXPECT_STREQ(text, "abc");
  RelayPtzPreset back;
  ASSERT_TRUE(reader.Record(&back));
  EXPECT_EQ(std::memcmp(&back, &preset, sizeof back), 0);
  EXPECT_TRUE(reader.Ok());
  EXPECT_EQ(reader.Remaining(), 0u);
  EXPECT_EQ(reader.U32(), 0u);
  EXPECT_FALSE(reader.Ok());
}

TEST(PelkWireTest, DeviceKeySplitsAtTheFirstColon) {
  struct Case {
    const char* key;
    const char* left;
    const char* right;
  };
  const Case cases[] = {
      {"00-1A-2B-3C-4D-5E:192.168.1.20", "00-1A-2B-3C-4D-5E", "192.168.1.20"},
      {"mac:ip:more", "mac", "ip:more"},
      {"mac:", "mac", ""},
      {"no colon", "", ""},
      {":ip", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    char left[PELK_KEY_PART_SIZE];
    char right[PELK_KEY_PART_SIZE];
    std::memset(left, 'x', sizeof left);
    std::memset(right, 'x', sizeof right);
    SplitDeviceKey(c.key, left, right);
    EXPECT_STREQ(left, c.left) << c.key;
    EXPECT_STREQ(right, c.right) << c.key;
  }
  char left[PELK_KEY_PART_SIZE];
  char right[PELK_KEY_PART_SIZE];
  SplitDeviceKey(nullptr, left, right);
  EXPECT_STREQ(left, "");
  const std::string longPart(400, 'a');
  SplitDeviceKey((longPart + ":" + longPart).c_str(), left, right);
  EXPECT_EQ(std::strlen(left), 259u);
  EXPECT_EQ(std::strlen(right), 259u);
  EXPECT_EQ(FormatDeviceKey("00-1A-2B-3C-4D-5E", "10.1.2.3"), "00-1A-2B-3C-4D-5E:10.1.2.3");
}

TEST(PelkWireTest, RequesterSpeedCodesBecomeTheServingTable) {
  // Requester: 0 normal, 2..6 slow by 2..32, 7..11 fast by 2..32, other normal.
  // Serving: 1 normal, 2..6 fast by 2..32, 7..11 slow by 2..32.
  const std::pair<LONG, DWORD> cases[] = {{0, 1},  {1, 1},  {2, 7},  {3, 8},  {4, 9},   {5, 10}, {6, 11},
                                          {7, 2},  {8, 3},  {9, 4},  {10, 5}, {11, 6},  {12, 1}, {-1, 1}};
  for (const auto& [requester, serving] : cases) EXPECT_EQ(ServingSpeed(requester), serving) << requester;
}

TEST(PelkWireTest, DatesTravelAsOneTextForm) {
  // 2024-02-29 13:45:30 as an automation date.
  const CivilTime leap{2024, 2, 29, 13, 45, 30};
  const DATE date = ToAutomationDate(leap);
  EXPECT_NEAR(date, 45351.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0, 1e-9);
  EXPECT_EQ(FormatTimeText(FromAutomationDate(date)), "2024-02-29 13:45:30");
  EXPECT_EQ(FormatTimeText(FromAutomationDate(0.0)), "1899-12-30 00:00:00");
  SYSTEMTIME end;
  end.wYear = 2023;
  end.wMonth = 12;
  end.wDay = 31;
  end.wHour = 23;
  end.wMinute = 59;
  end.wSecond = 59;
  EXPECT_EQ(FormatTimeText(FromSystemTime(end)), "2023-12-31 23:59:59");
  CivilTime parsed;
  ASSERT_TRUE(ParseTimeText("2023-12-31 23:59:59", &parsed));
  EXPECT_EQ(parsed.year, 2023);
  EXPECT_EQ(parsed.second, 59);
  for (const char* bad : {"2023-13-01 00:00:00", "2023-12-31 24:00:00", "31.12.2023 10:00:00", "2023-12-31", "",
                          "2023-12-31 10:00:00x"}) {
    EXPECT_FALSE(ParseTimeText(bad, &parsed)) << bad;
  }
}

TEST(PelkAuthTest, TheProofNeedsThePasswordInAnyLetterCaseAndTheNonces) {
  PelkPasswordVerifier verifier;
  verifier.serverNonce = MakeNonce();
  verifier.clientNonce = MakeNonce();
  EXPECT_NE(verifier.serverNonce, verifier.clientNonce);
  verifier.userName = "admin";
  verifier.proof = MakeProof("e10adc3949ba59abbe56e057f20f883e", verifier.serverNonce, verifier.clientNonce, "admin");
  EXPECT_TRUE(Pelk_CheckPassword(&verifier, "E10ADC3949BA59ABBE56E057F20F883E"));
  EXPECT_FALSE(Pelk_CheckPassword(&verifier, "E10ADC3949BA59ABBE56E057F20F883F"));
  EXPECT_FALSE(Pelk_CheckPassword(&verifier, ""));
  EXPECT_FALSE(Pelk_CheckPassword(nullptr, "x"));
  PelkPasswordVerifier replayed = verifier;
  replayed.serverNonce = MakeNonce();  // the same proof against a new challenge
  EXPECT_FALSE(Pelk_CheckPassword(&replayed, "E10ADC3949BA59ABBE56E057F20F883E"));
  PelkPasswordVerifier otherUser = verifier;
  otherUser.userName = "guest";
  EXPECT_FALSE(Pelk_CheckPassword(&otherUser, "E10ADC3949BA59ABBE56E057F20F883E"));
}
