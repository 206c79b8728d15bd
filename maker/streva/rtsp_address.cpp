#include "streva/rtsp_address.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

namespace rtspaddress {
namespace {

std::string PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string PercentEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace

bool Parse(const std::string& url, Address* address) {
  Address a;
  std::string rest;
  if (url.size() > 7 && strncasecmp(url.c_str(), "rtsp://", 7) == 0) {
    rest = url.substr(7);
  } else if (url.size() > 6 && strncasecmp(url.c_str(), "vmq://", 6) == 0) {
    rest = url.substr(6);
    a.forceTcp = true;
  } else {
    return false;
  }
  for (unsigned char c : rest) {
    if (c <= ' ' || c == 0x7F) return false;
  }
  size_t slash = rest.find('/');
  std::string authority = rest.substr(0, slash);
  a.path = slash == std::string::npos ? "/" : rest.substr(slash);
  size_t at = authority.rfind('@');
  if (at != std::string::npos) {
    std::string userInfo = authority.substr(0, at);
    authority = authority.substr(at + 1);
    size_t colon = userInfo.find(':');
    a.user = PercentDecode(userInfo.substr(0, colon));
    if (colon != std::string::npos) a.password = PercentDecode(userInfo.substr(colon + 1));
    a.hasCredentials = true;
  }
  std::string portText;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string::npos) return false;
    a.host = authority.substr(1, close - 1);
    std::string after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after[0] != ':') return false;
      portText = after.substr(1);
      if (portText.empty()) return false;
    }
  } else {
    size_t colon = authority.find(':');
    a.host = authority.substr(0, colon);
    if (colon != std::string::npos) {
      portText = authority.substr(colon + 1);
      if (portText.empty()) return false;
    }
  }
  if (a.host.empty()) return false;
  for (unsigned char c : a.host) {
    if (!(std::isalnum(c) || c == '.' || c == '-' || c == '_' || c == ':' || c >= 0x80)) return false;
  }
  if (!portText.empty()) {
    if (portText.size() > 5) return false;
    for (unsigned char c : portText) {
      if (!std::isdigit(c)) return false;
    }
    a.port = std::atoi(portText.c_str());
    if (a.port < 1 || a.port > 65535) return false;
  }
  *address = a;
  return true;
}

std::string ToFfmpegUrl(const Address& address, const std::string& hostOverride) {
  std::string url = "rtsp://";
  if (!address.user.empty()) {
    url += PercentEncode(address.user);
    if (!address.password.empty()) url += ":" + PercentEncode(address.password);
    url += "@";
  }
  const std::string& host = hostOverride.empty() ? address.host : hostOverride;
  if (host.find(':') != std::string::npos) {
    url += "[" + host + "]";
  } else {
    url += host;
  }
  url += ":" + std::to_string(address.port) + address.path;
  return url;
}

}  // namespace rtspaddress
