#include "harlen/link/sections/ipc_head_info.h"

#include <cstring>

#include "harlen/link/xml/field_text.h"

namespace {

void PutLe16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Addresses are kept in network order: their four bytes go out as they lie in memory.
void PutAddress(uint8_t* p, uint32_t address) { std::memcpy(p, &address, 4); }

uint32_t GetAddress(const uint8_t* p) {
  uint32_t address;
  std::memcpy(&address, p, 4);
  return address;
}

template <size_t N>
void PutText(uint8_t* p, const char (&field)[N]) {
  char copy[N];
  CopyFieldText(copy, FieldText(field));
  std::memcpy(p, copy, N);
}

template <size_t N>
void GetText(const uint8_t* p, char (&field)[N]) {
  CopyFieldText(field, FieldText(reinterpret_cast<const char*>(p), N));
}

}  // namespace

void PackIpcHeadInfo(const IpcHeadInfo& info, uint8_t out[kIpcHeadInfoWireSize]) {
  std::memset(out, 0, kIpcHeadInfoWireSize);
  PutText(out, info.serial);
  std::memcpy(out + 20, info.mac, 6);
  PutAddress(out + 28, info.ip);
  PutAddress(out + 32, info.mask);
  PutAddress(out + 36, info.gateway);
  PutAddress(out + 40, info.dns1);
  PutAddress(out + 44, info.dns2);
  PutLe16(out + 48, info.rtpoverrtsp);
  PutLe16(out + 50, info.videoport);
  PutLe16(out + 52, info.ptzport);
  PutLe16(out + 54, info.webport);
  PutText(out + 56, info.username);
  PutText(out + 72, info.password);
}

void UnpackIpcHeadInfo(const uint8_t in[kIpcHeadInfoWireSize], IpcHeadInfo& info) {
  info = IpcHeadInfo{};
  GetText(in, info.serial);
  std::memcpy(info.mac, in + 20, 6);
  info.ip = GetAddress(in + 28);
  info.mask = GetAddress(in + 32);
  info.gateway = GetAddress(in + 36);
  info.dns1 = GetAddress(in + 40);
  info.dns2 = GetAddress(in + 44);
  info.rtpoverrtsp = GetLe16(in + 48);
  info.videoport = GetLe16(in + 50);
  info.ptzport = GetLe16(in + 52);
  info.webport = GetLe16(in + 54);
  GetText(in + 56, info.username);
  GetText(in + 72, info.password);
}
