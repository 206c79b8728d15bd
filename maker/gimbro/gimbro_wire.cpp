#include "maker/gimbro/gimbro_wire.h"

#include <QCryptographicHash>
#include <cstring>

namespace gimbro_wire {

uint32_t ReadU32(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<uint32_t>(u[0]) | (static_cast<uint32_t>(u[1]) << 8) |
         (static_cast<uint32_t>(u[2]) << 16) | (static_cast<uint32_t>(u[3]) << 24);
}

void AppendU32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string Encode(uint16_t type, int32_t a, int32_t b, std::string_view body) {
  std::string out;
  out.reserve(kHeaderSize + body.size());
  out.append(kMagic, 4);
  out.push_back(static_cast<char>(type & 0xFF));
  out.push_back(static_cast<char>(type >> 8));
  out.append(2, '\0');
  AppendU32(out, static_cast<uint32_t>(a));
  AppendU32(out, static_cast<uint32_t>(b));
  AppendU32(out, static_cast<uint32_t>(body.size()));
  out.append(body);
  return out;
}

void FrameReader::Feed(const char* data, size_t size) {
  if (!error_.empty()) return;
  // Drop what was consumed before growing the buffer, so it holds at most one
  // frame plus what arrived with it.
  if (offset_ > 0) {
    buffer_.erase(0, offset_);
    offset_ = 0;
  }
  buffer_.append(data, size);
}

FrameReader::Result FrameReader::Next(Frame& frame) {
  if (!error_.empty()) return Result::kError;
  const size_t available = buffer_.size() - offset_;
  const char* p = buffer_.data() + offset_;
  // A wrong magic is reported as soon as its first bytes are seen.
  const size_t magicSeen = available < 4 ? available : 4;
  if (std::memcmp(p, kMagic, magicSeen) != 0) {
    error_ = "bad frame magic";
    return Result::kError;
  }
  if (available < kHeaderSize) return Result::kNeedMore;
  const uint32_t length = ReadU32(p + 16);
  if (length > kMaxBody) {
    error_ = "frame body too long (" + std::to_string(length) + " bytes)";
    return Result::kError;
  }
  if (available - kHeaderSize < length) return Result::kNeedMore;
  frame.type = static_cast<uint16_t>(static_cast<unsigned char>(p[4]) |
                                     (static_cast<unsigned char>(p[5]) << 8));
  frame.a = static_cast<int32_t>(ReadU32(p + 8));
  frame.b = static_cast<int32_t>(ReadU32(p + 12));
  frame.body.assign(p + kHeaderSize, length);
  offset_ += kHeaderSize + length;
  return Result::kFrame;
}

std::string LoginDigest(std::string_view nonce, std::string_view login, std::string_view password) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  hash.addData(QByteArrayView(nonce.data(), static_cast<qsizetype>(nonce.size())));
  hash.addData(QByteArrayView(":", 1));
  hash.addData(QByteArrayView(login.data(), static_cast<qsizetype>(login.size())));
  hash.addData(QByteArrayView(":", 1));
  hash.addData(QByteArrayView(password.data(), static_cast<qsizetype>(password.size())));
  return hash.result().toHex().toStdString();
}

}  // namespace gimbro_wire
