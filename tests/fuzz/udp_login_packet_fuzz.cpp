// Feeds arbitrary datagrams to the readers of the UDP login: the packet
// reader, the device notice with its new-address text, and (the same bytes as
// text) the cloud answer that describes a notified device.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "relay/udp/udp_device_notice.h"
#include "relay/udp/udp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const udplogin::Datagram datagram = udplogin::ReadDatagram(data, size);
  if (datagram.kind == udplogin::Datagram::kNotice && size < udplogin::kNoticeSize) __builtin_trap();
  // A notice as the login thread hands it on: the first 1232 bytes, zero-padded here.
  std::vector<uint8_t> block(data, data + std::min(size, udplogin::kNoticeSize));
  block.resize(udplogin::kNoticeSize, 0);
  if (const auto notice = udplogin::ReadDeviceNotice(block.data(), block.size())) {
    if (notice->text.size() > udplogin::kNoticeSize - 28) __builtin_trap();
    udplogin::ReadNewAddresses(notice->text);
  }
  const std::string text(reinterpret_cast<const char*>(data), size);
  DevInfo device;
  udplogin::ReadNoticeDeviceAnswer(text.c_str(), &device);
  return 0;
}
