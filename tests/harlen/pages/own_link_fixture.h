// The windows that have an NVR link of their own (IP channels, manual
// recording), tested against the fake NVR: the library set up for the NVR,
// and released after each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_nvr_process.h"
#include "harlen/link/entry/harlen_module.h"
#include "harlen/link/harlen_api.h"
#include "support/modal_answerer.h"

class OwnLinkWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(nvr.Ready());
    const std::string address = "127.0.0.1";
    ASSERT_EQ(HL_Init(user, const_cast<char*>(address.c_str()), static_cast<unsigned short>(nvr.Port()), nullptr, nullptr),
              1);
  }
  void TearDown() override {
    HL_Release();
    g_bHarlenInited = false;
  }

  char user[6] = "admin";
  FakeNvrProcess nvr;
  ModalAnswerer answerer;
};
