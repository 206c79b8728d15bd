// Reads one HTTP/1.x answer as its bytes arrive from the connection.
//
// The reader keeps within fixed bounds whatever the peer sends: the status
// line and the header fields together (kMaxHeadBytes), the body after its
// transfer coding is removed (the limit given), every chunk-size line. A body
// announced larger than the limit is refused before it is read. The body ends
// at its Content-Length, at the last chunk of a chunked answer, or, for an
// answer with neither, when the connection closes. Interim answers (1xx)
// are skipped; 204 and 304 answers have no body.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace http {

class AnswerReader {
 public:
  enum class State {
    kNeedMore,  // feed more bytes, or Finish() when the connection closed
    kDone,      // the whole answer is here
    kError,     // not an HTTP answer, or a broken one (Error() says why)
    kTooLarge,  // the head or the body passed its bound
  };

  static constexpr int kMaxHeadBytes = 64 * 1024;
  static constexpr int kMaxChunkLine = 1024;

  explicit AnswerReader(qint64 maxBodyBytes);

  // Takes the next bytes of the connection. Once the state is no longer
  // kNeedMore, further bytes are ignored.
  State Feed(const char* data, qsizetype size);
  State Feed(const QByteArray& data) { return Feed(data.constData(), data.size()); }
  // The connection closed: completes an answer whose body runs to the close.
  State Finish();

  State state() const { return state_; }
  // True once a status line was read (the peer speaks HTTP).
  bool HasStatus() const { return status_ != 0; }
  int Status() const { return status_; }
  // The first value of a header field (name in any case), empty when absent.
  QByteArray Header(const QByteArray& name) const;
  // Every value of a header field, in order (WWW-Authenticate may repeat).
  QList<QByteArray> Headers(const QByteArray& name) const;
  const QByteArray& Body() const { return body_; }
  const QString& Error() const { return error_; }

 private:
  enum class Part { kStatusLine, kFields, kBody, kChunkSize, kChunkData, kChunkEnd, kTrailer };

  // Each step consumes what it can of pending_ and says whether to go on.
  bool Step();
  bool ReadLine(QByteArray* line, qsizetype bound);
  bool StatusLine(const QByteArray& line);
  bool Field(const QByteArray& line);
  bool StartBody();
  bool ChunkSize(const QByteArray& line);
  void Fail(State state, const QString& why);
  void Complete();

  qint64 maxBody_;
  State state_ = State::kNeedMore;
  Part part_ = Part::kStatusLine;
  QByteArray pending_;  // received and not yet consumed
  qsizetype headBytes_ = 0;
  int status_ = 0;
  QList<QPair<QByteArray, QByteArray>> fields_;  // lower-case name, value
  QByteArray body_;
  qint64 bodyLeft_ = -1;  // Content-Length or chunk bytes still to come; -1: to the close
  QString error_;
};

}  // namespace http
