// Feeds arbitrary datagrams to the reader of the UDP login's packets.
#include <cstddef>
#include <cstdint>

#include "relay/udp/udp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const udplogin::Datagram datagram = udplogin::ReadDatagram(data, size);
  if (datagram.kind == udplogin::Datagram::kNotice && size < udplogin::kNoticeSize) __builtin_trap();
  return 0;
}
