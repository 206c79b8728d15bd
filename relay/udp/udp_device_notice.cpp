#include "relay/udp/udp_device_notice.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/cloud_device.h"
#include "core/fixed_text.h"
#include "core/text_convert.h"
#include "relay/udp/udp_packet.h"

namespace udplogin {
namespace {

constexpr size_t kTextOffset = 28;

void Say(std::string* why, const char* reason) {
  if (why != nullptr) *why = reason;
}

// The part after the first ':'; false without one.
bool ValueAfterColon(const std::string& line, std::string* value) {
  const size_t colon = line.find(':');
  if (colon == std::string::npos) return false;
  *value = line.substr(colon + 1);
  return true;
}

// A port number: digits only, 1 to 65535.
bool ReadPort(const std::string& text, int* port) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  *port = std::atoi(text.c_str());
  return *port >= 1 && *port <= 65535;
}

}  // namespace

std::optional<DeviceNotice> ReadDeviceNotice(const uint8_t* block, size_t length) {
  if (block == nullptr || length < kNoticeSize) return std::nullopt;
  DeviceNotice notice;
  notice.deviceId = std::to_string(ReadU64(block + 16));
  notice.code = ReadU32(block + 24);
  const char* text = reinterpret_cast<const char*>(block + kTextOffset);
  notice.text.assign(text, strnlen(text, kNoticeSize - kTextOffset));
  return notice;
}

std::optional<NewAddresses> ReadNewAddresses(const std::string& text, std::string* why) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  if (lines.size() != 5) {
    Say(why, "the text does not hold five lines");
    return std::nullopt;
  }
  NewAddresses addresses;
  std::string ptz, video;
  if (!ValueAfterColon(lines[0], &addresses.ip) || !ValueAfterColon(lines[1], &ptz) ||
      !ValueAfterColon(lines[3], &video)) {
    Say(why, "a line lacks its ':'");
    return std::nullopt;
  }
  if (addresses.ip.empty() || addresses.ip.size() >= sizeof(DevInfo::IPAddr)) {
    Say(why, "the address is empty or too long");
    return std::nullopt;
  }
  if (!ReadPort(ptz, &addresses.ptzPort) || !ReadPort(video, &addresses.videoPort)) {
    Say(why, "a port is not a number from 1 to 65535");
    return std::nullopt;
  }
  return addresses;
}

bool ReadNoticeDeviceAnswer(const char* answer, DevInfo* device, std::string* why) {
  TiXmlDocument document;
  document.Parse(answer != nullptr ? answer : "");
  const TiXmlElement* root = document.RootElement();
  if (document.Error() || root == nullptr) {
    Say(why, "the answer is no XML document");
    return false;
  }
  int error = 0;
  std::string answerIp;
  bool haveRecord = false;
  CloudNetwork network;
  for (const TiXmlElement* child = root->FirstChildElement(); child != nullptr && error == 0;
       child = child->NextSiblingElement()) {
    const std::string name = child->Value();
    if (name == "err") {
      error = std::atoi(GetNodeText(child));
    } else if (name == "ip") {
      answerIp = GetNodeText(child);
    } else if (name == "ls") {
      for (const TiXmlElement* node = child->FirstChildElement(); node != nullptr; node = node->NextSiblingElement()) {
        *device = DevInfo();
        ReadCloudDeviceFields(node, device);
        network = ReadCloudNetwork(GetNodeText(node->FirstChildElement("devreginfo")));
        haveRecord = true;
      }
    }
  }
  if (error != 0) {
    Say(why, "the cloud service refused (err is not 0)");
    return false;
  }
  if (!haveRecord || device->IPAddr[0] == '\0') {
    Say(why, "the answer names no device address");
    return false;
  }
  if (!network.ip.empty() && answerIp == network.ip) {
    CopyFixedText(device->IPAddr, network.ip.c_str());
    device->PtzPort = network.ptz;
    device->WebPort = network.web;
    device->VideoPort = network.video;
  }
  return true;
}

}  // namespace udplogin
