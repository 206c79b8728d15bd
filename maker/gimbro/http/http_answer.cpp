#include "maker/gimbro/http/http_answer.h"

#include <algorithm>

namespace http {

namespace {

bool IsToken(const QByteArray& name) {
  if (name.isEmpty()) return false;
  for (char c : name) {
    if (c <= ' ' || c >= 127 || c == ':' || c == '(' || c == ')' || c == ',' || c == ';' || c == '"') return false;
  }
  return true;
}

}  // namespace

AnswerReader::AnswerReader(qint64 maxBodyBytes) : maxBody_(maxBodyBytes) {}

void AnswerReader::Fail(State state, const QString& why) {
  state_ = state;
  error_ = why;
  pending_.clear();
}

void AnswerReader::Complete() {
  state_ = State::kDone;
  pending_.clear();
}

AnswerReader::State AnswerReader::Feed(const char* data, qsizetype size) {
  if (state_ != State::kNeedMore || size <= 0) return state_;
  pending_.append(data, size);
  while (state_ == State::kNeedMore && Step()) {
  }
  return state_;
}

AnswerReader::State AnswerReader::Finish() {
  if (state_ != State::kNeedMore) return state_;
  if (part_ == Part::kBody && bodyLeft_ < 0) {
    Complete();
  } else if (!HasStatus() && pending_.isEmpty() && headBytes_ == 0) {
    Fail(State::kError, QStringLiteral("the connection closed without an answer"));
  } else {
    Fail(State::kError, QStringLiteral("the connection closed in the middle of the answer"));
  }
  return state_;
}

bool AnswerReader::ReadLine(QByteArray* line, qsizetype bound) {
  const qsizetype end = pending_.indexOf('\n');
  if (end < 0 || end + 1 > bound) {
    if (end >= 0 || pending_.size() > bound) {
      if (part_ == Part::kChunkSize || part_ == Part::kChunkEnd) {
        Fail(State::kError, QStringLiteral("a broken chunk of the chunked answer"));
      } else {
        Fail(State::kTooLarge, QStringLiteral("the answer's head passes %1 bytes").arg(kMaxHeadBytes));
      }
    }
    return false;
  }
  *line = pending_.left(end);
  if (line->endsWith('\r')) line->chop(1);
  pending_.remove(0, end + 1);
  return true;
}

bool AnswerReader::Step() {
  QByteArray line;
  switch (part_) {
    case Part::kStatusLine: {
      // Anything else than an HTTP answer is refused at its first bytes.
      const QByteArray start = pending_.left(5);
      if (!QByteArray("HTTP/").startsWith(start) && !start.startsWith("HTTP/")) {
        Fail(State::kError, QStringLiteral("not an HTTP answer"));
        return false;
      }
      if (!ReadLine(&line, kMaxHeadBytes - headBytes_)) return false;
      headBytes_ += line.size() + 2;
      return StatusLine(line);
    }
    case Part::kFields:
    case Part::kTrailer:
      if (!ReadLine(&line, kMaxHeadBytes - headBytes_)) return false;
      headBytes_ += line.size() + 2;
      if (part_ == Part::kTrailer) {
        if (line.isEmpty()) Complete();
        return state_ == State::kNeedMore;
      }
      if (!line.isEmpty()) return Field(line);
      if (status_ < 200) {
        // An interim answer: the real one follows.
        status_ = 0;
        fields_.clear();
        part_ = Part::kStatusLine;
        return true;
      }
      return StartBody();
    case Part::kBody:
    case Part::kChunkData: {
      if (pending_.isEmpty()) return false;
      const qsizetype take = bodyLeft_ < 0 ? pending_.size() : static_cast<qsizetype>(std::min<qint64>(bodyLeft_, pending_.size()));
      if (body_.size() + take > maxBody_) {
        Fail(State::kTooLarge, QStringLiteral("the answer's body passes %1 bytes").arg(maxBody_));
        return false;
      }
      body_.append(pending_.constData(), take);
      pending_.remove(0, take);
      if (bodyLeft_ >= 0) bodyLeft_ -= take;
      if (bodyLeft_ == 0) {
        if (part_ == Part::kBody) {
          Complete();
          return false;
        }
        part_ = Part::kChunkEnd;
      }
      return true;
    }
    case Part::kChunkSize:
      if (!ReadLine(&line, kMaxChunkLine)) return false;
      return ChunkSize(line);
    case Part::kChunkEnd:
      if (!ReadLine(&line, 2)) return false;
      if (!line.isEmpty()) {
        Fail(State::kError, QStringLiteral("a broken chunk of the chunked answer"));
        return false;
      }
      part_ = Part::kChunkSize;
      return true;
  }
  return false;
}

bool AnswerReader::StatusLine(const QByteArray& line) {
  // "HTTP/1.1 200 OK"; the reason may be empty or missing.
  const QList<QByteArray> words = line.split(' ');
  bool ok = false;
  const int status = words.size() >= 2 && words[1].size() == 3 ? words[1].toInt(&ok) : 0;
  if (!line.startsWith("HTTP/1.") || !ok || status < 100 || status > 599) {
    Fail(State::kError, QStringLiteral("not an HTTP answer"));
    return false;
  }
  status_ = status;
  part_ = Part::kFields;
  return true;
}

bool AnswerReader::Field(const QByteArray& line) {
  if ((line.startsWith(' ') || line.startsWith('\t')) && !fields_.isEmpty()) {
    // An old-style continuation of the previous field.
    fields_.last().second += ' ' + line.trimmed();
    return true;
  }
  const qsizetype colon = line.indexOf(':');
  const QByteArray name = colon > 0 ? line.left(colon).toLower() : QByteArray();
  if (!IsToken(name)) {
    Fail(State::kError, QStringLiteral("a broken header field in the answer"));
    return false;
  }
  fields_.append({name, line.mid(colon + 1).trimmed()});
  return true;
}

bool AnswerReader::StartBody() {
  if (status_ == 204 || status_ == 304) {
    Complete();
    return false;
  }
  if (Header("transfer-encoding").toLower().trimmed().endsWith("chunked")) {
    part_ = Part::kChunkSize;
    return true;
  }
  const QList<QByteArray> lengths = Headers("content-length");
  if (lengths.isEmpty()) {
    part_ = Part::kBody;  // to the close of the connection
    bodyLeft_ = -1;
    return true;
  }
  qint64 length = -1;
  for (const QByteArray& text : lengths) {
    bool ok = !text.isEmpty() && text.size() <= 18;
    for (char c : text) ok = ok && c >= '0' && c <= '9';
    const qint64 value = ok ? text.toLongLong(&ok) : -1;
    if (!ok || (length >= 0 && value != length)) {
      Fail(State::kError, QStringLiteral("the answer's length is not readable"));
      return false;
    }
    length = value;
  }
  if (length > maxBody_) {
    Fail(State::kTooLarge, QStringLiteral("the answer announces %1 bytes, more than %2").arg(length).arg(maxBody_));
    return false;
  }
  if (length == 0) {
    Complete();
    return false;
  }
  part_ = Part::kBody;
  bodyLeft_ = length;
  return true;
}

bool AnswerReader::ChunkSize(const QByteArray& line) {
  QByteArray digits = line;
  const qsizetype extension = digits.indexOf(';');
  if (extension >= 0) digits.truncate(extension);
  digits = digits.trimmed();
  bool ok = !digits.isEmpty() && digits.size() <= 15;
  const qint64 size = ok ? digits.toLongLong(&ok, 16) : -1;
  if (!ok || size < 0 || digits.startsWith('-') || digits.startsWith('+')) {
    Fail(State::kError, QStringLiteral("a broken chunk of the chunked answer"));
    return false;
  }
  if (size == 0) {
    part_ = Part::kTrailer;
    return true;
  }
  if (body_.size() + size > maxBody_) {
    Fail(State::kTooLarge, QStringLiteral("the answer's body passes %1 bytes").arg(maxBody_));
    return false;
  }
  bodyLeft_ = size;
  part_ = Part::kChunkData;
  return true;
}

QByteArray AnswerReader::Header(const QByteArray& name) const {
  const QByteArray wanted = name.toLower();
  for (const auto& field : fields_) {
    if (field.first == wanted) return field.second;
  }
  return {};
}

QList<QByteArray> AnswerReader::Headers(const QByteArray& name) const {
  const QByteArray wanted = name.toLower();
  QList<QByteArray> values;
  for (const auto& field : fields_) {
    if (field.first == wanted) values.append(field.second);
  }
  return values;
}

}  // namespace http
