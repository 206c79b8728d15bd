#include "harlen/link/protocol/nvr_request.h"

#include <cstring>

#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/sections/ipc_head_info.h"

namespace {

// Appends items to a frame in a bounded buffer; once an item does not fit,
// every later call does nothing and Finish() reports -1.
class FrameWriter {
 public:
  FrameWriter(uint8_t* buffer, size_t capacity, int command) : buffer_(buffer), capacity_(capacity) {
    used_ = NVRMC_FRAME_HEAD_SIZE;
    failed_ = buffer == nullptr || capacity < NVRMC_FRAME_HEAD_SIZE;
    uint8_t header[NVRMC_MSG_HEADER_SIZE] = {};
    std::memcpy(header, NVRMC_FRAME_MAGIC, 4);
    WriteLe32(header + 8, static_cast<uint32_t>(command));  // payload length and status: 0 for now
    AddItem(NVRMC_TLV_HEADER, header, sizeof header);
  }

  void AddItem(uint32_t type, const void* value, size_t length) {
    if (failed_ || length >= NVRMC_ITEM_LENGTH_LIMIT || capacity_ - used_ < NVRMC_ITEM_HEAD_SIZE ||
        capacity_ - used_ - NVRMC_ITEM_HEAD_SIZE < length) {
      failed_ = true;
      return;
    }
    WriteLe32(buffer_ + used_, type);
    WriteLe32(buffer_ + used_ + 4, static_cast<uint32_t>(length));
    if (length > 0) std::memcpy(buffer_ + used_ + NVRMC_ITEM_HEAD_SIZE, value, length);
    used_ += NVRMC_ITEM_HEAD_SIZE + length;
  }

  void AddNumber(uint32_t type, int value) {
    uint8_t bytes[4];
    WriteLe32(bytes, static_cast<uint32_t>(value));
    AddItem(type, bytes, sizeof bytes);
  }

  // Adds the terminator, writes the payload length into the header and puts
  // the frame head in front: the frame's length, or -1.
  int Finish() {
    AddItem(NVRMC_TLV_END, nullptr, 0);
    if (failed_ || used_ > 0x7FFFFFFF) return -1;
    uint8_t* payload = buffer_ + NVRMC_FRAME_HEAD_SIZE;
    const uint32_t payloadLength = static_cast<uint32_t>(used_ - NVRMC_FRAME_HEAD_SIZE);
    NvrItemView header;
    if (FindNvrItem(payload, payloadLength, NVRMC_TLV_HEADER, header) && header.length == NVRMC_MSG_HEADER_SIZE) {
      WriteLe32(const_cast<uint8_t*>(header.value) + 12, payloadLength);
    }
    std::memcpy(buffer_, NVRMC_FRAME_MAGIC, 4);
    WriteLe32(buffer_ + 4, 0);
    WriteLe32(buffer_ + 8, payloadLength);
    return static_cast<int>(used_);
  }

 private:
  uint8_t* buffer_;
  size_t capacity_;
  size_t used_ = 0;
  bool failed_ = false;
};

int WriteTextRequest(uint8_t* buffer, size_t capacity, int command, uint32_t numberType, int number,
                     const char* text, size_t textLength) {
  FrameWriter frame(buffer, capacity, command);
  frame.AddNumber(numberType, number);
  frame.AddItem(NVRMC_TLV_DATA, text, text == nullptr ? 0 : textLength);
  return frame.Finish();
}

}  // namespace

int WriteGetConfigRequest(uint8_t* buffer, size_t capacity, int section) {
  FrameWriter frame(buffer, capacity, NVRMC_CMD_GET_CONFIG);
  frame.AddNumber(NVRMC_TLV_SECTION, section);
  return frame.Finish();
}

int WriteSetConfigRequest(uint8_t* buffer, size_t capacity, int section, const char* text, size_t textLength) {
  return WriteTextRequest(buffer, capacity, NVRMC_CMD_SET_CONFIG, NVRMC_TLV_SECTION, section, text, textLength);
}

int WriteRestoreDefaultRequest(uint8_t* buffer, size_t capacity) {
  FrameWriter frame(buffer, capacity, NVRMC_CMD_RESTORE_DEFAULT);
  frame.AddNumber(NVRMC_TLV_SECTION, NVR_SECTION_ALL);
  return frame.Finish();
}

int WriteSearchCamerasRequest(uint8_t* buffer, size_t capacity) {
  FrameWriter frame(buffer, capacity, NVRMC_CMD_SEARCH_IPC);
  return frame.Finish();
}

int WriteSetIpcNetParamRequest(uint8_t* buffer, size_t capacity, const IpcHeadInfo& info) {
  uint8_t record[NVRMC_IPC_NETPARAM_SIZE];
  PackIpcHeadInfo(info, record);
  FrameWriter frame(buffer, capacity, NVRMC_CMD_SET_IPC_NETPARAM);
  frame.AddItem(NVRMC_TLV_IPC_NETPARAM, record, sizeof record);
  return frame.Finish();
}

int WriteControlRequest(uint8_t* buffer, size_t capacity, int code, const char* text, size_t textLength) {
  return WriteTextRequest(buffer, capacity, NVRMC_CMD_CONTROL, NVRMC_TLV_CTRL_CODE, code, text, textLength);
}

int WriteQueryStatusRequest(uint8_t* buffer, size_t capacity, int code) {
  return WriteControlRequest(buffer, capacity, code, nullptr, 0);
}

size_t SetConfigFrameSize(size_t textLength) {
  return NVRMC_FRAME_HEAD_SIZE + (NVRMC_ITEM_HEAD_SIZE + NVRMC_MSG_HEADER_SIZE) + (NVRMC_ITEM_HEAD_SIZE + 4) +
         (NVRMC_ITEM_HEAD_SIZE + textLength) + NVRMC_ITEM_HEAD_SIZE;
}
