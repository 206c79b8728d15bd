#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <vector>

namespace codepage {
namespace {

// One iconv descriptor per direction, guarded: iconv_t keeps shift state and
// must not be used by two threads at once.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on an invalid or incomplete input sequence it writes
  // `replacement` and skips one input byte. Output is raw bytes of the target.
  std::string Run(std::string_view in, std::string_view replacement) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1) || in.empty()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    std::vector<char> buffer(in.size() * 4 + 16);
    while (srcLeft > 0) {
      char* dst = buffer.data();
      size_t dstLeft = buffer.size();
      size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer.data(), buffer.size() - dstLeft);
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL: one bad byte, replace it and go on.
      out.append(replacement);
      ++src;
      --srcLeft;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

 private:
  iconv_t cd_;
  std::mutex mutex_;
};

Converter& GbkToUtf8Converter() {
  static Converter c("UTF-8", "GBK");
  return c;
}

Converter& Utf8ToGbkConverter() {
  static Converter c("GBK//TRANSLIT", "UTF-8");
  return c;
}

// Plain ASCII reads the same in GBK and UTF-8 (file names of record folders,
// most paths): it needs no converter.
bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return GbkToUtf8Converter().Run(gbk, "\xEF\xBF\xBD");
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return Utf8ToGbkConverter().Run(utf8, "?");
}

std::wstring GbkToWide(std::string_view gbk) {
  return ToQString(gbk).toStdWString();
}

std::string WideToGbk(std::wstring_view wide) {
  return FromQString(QString::fromWCharArray(wide.data(), static_cast<qsizetype>(wide.size())));
}

QString ToQString(std::string_view gbk) {
  const std::string utf8 = GbkToUtf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return Utf8ToGbk(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace codepage
