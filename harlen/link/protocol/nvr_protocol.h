// The bytes of the NVR link: frames, items, commands, sections, control codes.
//
// One TCP connection to the NVR carries frames both ways. All integers are
// 32-bit little-endian, without padding:
//
//   frame    0  4  magic "svpi"
//            4  4  reserved, 0
//            8  4  payload length n
//           12  n  payload: items, then a terminator item (type 0, length 0)
//   item     0  4  type (1 to 67)
//            4  4  value length (at most 0xFFFFFE)
//            8  -  value
//   header   the value of item 1, always the first item, 40 bytes:
//            0 magic "svpi", 4 reserved 0, 8 command, 12 payload length (as
//            in the frame), 16 status (0 in requests; 0 = success in
//            replies), 20..39 zero
//
// Texts (item 20) are 8-bit GBK text without a terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr uint8_t NVRMC_FRAME_MAGIC[4] = {'s', 'v', 'p', 'i'};
constexpr size_t NVRMC_FRAME_HEAD_SIZE = 12;
constexpr size_t NVRMC_ITEM_HEAD_SIZE = 8;
constexpr size_t NVRMC_MSG_HEADER_SIZE = 40;
// Items whose length reaches this value end an item walk.
constexpr uint32_t NVRMC_ITEM_LENGTH_LIMIT = 0xFFFFFF;
// The receiver holds at most this many payload bytes of one frame.
constexpr size_t NVRMC_RECV_CAPACITY = 512000;
// The send buffer an owner gives its link; a whole frame must fit in it.
constexpr size_t NVRMC_SEND_BUFFER_SIZE = 1048576;
// The camera network record carried by item 60.
constexpr size_t NVRMC_IPC_NETPARAM_SIZE = 88;

enum NvrItemType : uint32_t {
  NVRMC_TLV_END = 0,
  NVRMC_TLV_HEADER = 1,
  NVRMC_TLV_SECTION = 19,
  NVRMC_TLV_DATA = 20,
  NVRMC_TLV_IPC_NETPARAM = 60,
  NVRMC_TLV_CTRL_CODE = 67,
  NVRMC_TLV_INVALID = 68,  // this type and every higher one end an item walk
};

enum NvrCommand : int {
  NVRMC_CMD_SET_CONFIG = 4382,
  NVRMC_CMD_SET_CONFIG_REPLY = 4383,
  NVRMC_CMD_RESTORE_DEFAULT = 4384,
  NVRMC_CMD_RESTORE_DEFAULT_REPLY = 4385,
  NVRMC_CMD_GET_CONFIG = 4390,
  NVRMC_CMD_GET_CONFIG_REPLY = 4391,
  NVRMC_CMD_SEARCH_IPC = 4394,
  NVRMC_CMD_SEARCH_IPC_REPLY = 4395,
  NVRMC_CMD_SET_IPC_NETPARAM = 4397,
  NVRMC_CMD_SET_IPC_NETPARAM_REPLY = 4398,
  NVRMC_CMD_CONTROL = 4401,
  NVRMC_CMD_CONTROL_REPLY = 4402,
};

enum NvrSection : int {
  NVR_SECTION_ALL = 0,
  NVR_SECTION_COMMON = 1,
  NVR_SECTION_SYSTEMPARAM = 2,
  NVR_SECTION_IPCCHANNEL = 5,
  NVR_SECTION_CHANNELCFG = 6,
  NVR_SECTION_DISK = 7,
  NVR_SECTION_ALARMLINKAGE = 8,
  NVR_SECTION_NETWORK = 12,
  NVR_SECTION_DDNS = 13,
  NVR_SECTION_NTP = 14,
  NVR_SECTION_EMAIL = 15,
  NVR_SECTION_MANAGEHOSTS = 16,
  NVR_SECTION_USERCFG = 17,
  NVR_SECTION_RECORDDRIVEN = 18,
};

enum NvrControlCode : int {
  NVRMC_CTRL_FORMAT_DISK = 1,
  NVRMC_CTRL_SET_TIME = 3,
  NVRMC_STATUS_DISK = 4097,
  NVRMC_STATUS_CODERATE = 4098,
  NVRMC_STATUS_ONLINEUSER = 4099,
  NVRMC_STATUS_TIME = 4100,
};

// The value of one item inside a payload.
struct NvrItemView {
  const uint8_t* value = nullptr;
  uint32_t length = 0;
};

// Finds the first item of `type` in a payload. The walk stops at an item of
// type 0 or 68 and above, at a length of 0xFFFFFF or more, or at the end of
// the payload; an item is only taken when its value lies wholly inside.
bool FindNvrItem(const uint8_t* payload, size_t payloadLength, uint32_t type, NvrItemView& item);

// One reply as the link hands it to its owner.
struct NvrReply {
  int command = 0;
  int status = 0;
  int argument = -1;     // section or control code; -1 when absent or not used
  bool hasData = false;  // acknowledgements carry no text
  std::string data;      // the text item's bytes, copied (std::string adds the zero)
};

// Reads the reply a payload carries. False when the payload delivers nothing:
// no header item, an unknown command, or a text item missing where one is needed.
bool ParseNvrReply(const uint8_t* payload, size_t payloadLength, NvrReply& reply);

uint32_t ReadLe32(const uint8_t* p);
void WriteLe32(uint8_t* p, uint32_t value);
