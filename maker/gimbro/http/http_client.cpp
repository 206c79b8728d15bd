#include "maker/gimbro/http/http_client.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/http/http_answer.h"

namespace http {

// One request: its connection (a new one after a challenge), its timers and
// the reading of its answer.
class Client::Exchange : public QObject {
 public:
  Exchange(Client* client, const QUrl& url, const QByteArray& contentType, const QByteArray& body, int deadlineMs,
           Callback done)
      : QObject(client),
        client_(client),
        url_(url),
        contentType_(contentType),
        body_(body),
        deadlineMs_(deadlineMs),
        done_(std::move(done)),
        reader_(client->maxBody_) {
    deadline_.setSingleShot(true);
    connectTimer_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] { End(Result::kTimeout, QStringLiteral("no answer in time")); });
    connect(&connectTimer_, &QTimer::timeout, this,
            [this] { End(Result::kUnreachable, QStringLiteral("no answer to the connection")); });
  }

  void Start() {
    elapsed_.start();
    deadline_.start(deadlineMs_);
    Open();
  }

  // Stops every activity at once; the client deletes the exchange later.
  void Stop() {
    deadline_.stop();
    connectTimer_.stop();
    CloseSocket();
  }

  Callback TakeCallback() { return std::move(done_); }

 private:
  void Open() {
    CloseSocket();
    reader_ = AnswerReader(client_->maxBody_);
    received_ = 0;
    socket_ = new QTcpSocket(this);
    // Devices are reached directly, never through a proxy.
    socket_->setProxy(QNetworkProxy::NoProxy);
    // Read no further ahead than this: an endless answer waits in the
    // device's socket instead of in ours until it is cut off.
    socket_->setReadBufferSize(kReadWindow);
    connect(socket_, &QTcpSocket::connected, this, [this] { OnConnected(); });
    connect(socket_, &QTcpSocket::readyRead, this, [this] { OnReadyRead(); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] { OnClosed(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { OnClosed(); });
    connected_ = false;
    const qint64 left = std::max<qint64>(1, deadlineMs_ - elapsed_.elapsed());
    connectTimer_.start(static_cast<int>(std::min<qint64>(client_->connectTimeoutMs_, left)));
    socket_->connectToHost(url_.host(), static_cast<quint16>(url_.port(80)));
  }

  void CloseSocket() {
    if (socket_ == nullptr) return;
    socket_->disconnect(this);
    socket_->abort();
    socket_->deleteLater();
    socket_ = nullptr;
  }

  QByteArray Request() {
    QByteArray target = url_.path(QUrl::FullyEncoded).toUtf8();
    if (target.isEmpty()) target = "/";
    if (url_.hasQuery()) target += '?' + url_.query(QUrl::FullyEncoded).toUtf8();
    QByteArray host = url_.host(QUrl::FullyEncoded).toUtf8();
    if (host.contains(':')) host = '[' + host + ']';
    if (url_.port(80) != 80) host += ':' + QByteArray::number(url_.port(80));
    QByteArray head = "POST " + target + " HTTP/1.1\r\nHost: " + host + "\r\nContent-Type: " + contentType_ +
                      "\r\nContent-Length: " + QByteArray::number(body_.size()) + "\r\nConnection: close\r\n";
    const QByteArray authorization = client_->auth_.Authorization("POST", target);
    if (!authorization.isEmpty()) head += "Authorization: " + authorization + "\r\n";
    return head + "\r\n" + body_;
  }

  void OnConnected() {
    if (SocketMetItself(*socket_)) {
      End(Result::kUnreachable, QStringLiteral("nothing listens there"));
      return;
    }
    connectTimer_.stop();
    connected_ = true;
    socket_->write(Request());
  }

  void OnReadyRead() {
    if (socket_ == nullptr) return;
    const QByteArray data = socket_->read(kReadWindow);
    received_ += data.size();
    Judge(reader_.Feed(data));
  }

  void OnClosed() {
    if (socket_ == nullptr) return;
    if (!connected_) {
      End(Result::kUnreachable, socket_->errorString());
      return;
    }
    // What came before the close is read first.
    while (socket_ != nullptr && socket_->bytesAvailable() > 0 && reader_.state() == AnswerReader::State::kNeedMore) {
      OnReadyRead();
    }
    if (socket_ == nullptr || reader_.state() != AnswerReader::State::kNeedMore) return;
    const bool nothing = received_ == 0;
    const QString why = socket_->errorString();
    if (reader_.Finish() == AnswerReader::State::kDone) {
      Judge(AnswerReader::State::kDone);
    } else {
      End(Result::kBroken, nothing ? QStringLiteral("the connection closed without an answer (%1)").arg(why)
                                   : reader_.Error());
    }
  }

  void Judge(AnswerReader::State state) {
    switch (state) {
      case AnswerReader::State::kNeedMore:
        return;
      case AnswerReader::State::kTooLarge:
        End(Result::kTooLarge, reader_.Error());
        return;
      case AnswerReader::State::kError:
        End(reader_.HasStatus() ? Result::kBroken : Result::kNotHttp, reader_.Error());
        return;
      case AnswerReader::State::kDone:
        break;
    }
    if (reader_.Status() == 401 && !authAnswered_ &&
        client_->auth_.Take(ReadChallenges(reader_.Headers("www-authenticate")))) {
      // Asked again after this, the credentials were refused.
      authAnswered_ = true;
      Open();
      return;
    }
    Result result;
    result.kind = Result::kAnswer;
    result.status = reader_.Status();
    result.body = reader_.Body();
    End(std::move(result));
  }

  void End(Result::Kind kind, const QString& error) {
    Result result;
    result.kind = kind;
    result.error = error;
    End(std::move(result));
  }
  void End(Result result) { client_->Finish(this, std::move(result)); }

  Client* client_;
  QUrl url_;
  QByteArray contentType_;
  QByteArray body_;
  int deadlineMs_;
  Callback done_;
  AnswerReader reader_;
  QTimer deadline_;
  QTimer connectTimer_;
  QElapsedTimer elapsed_;
  QTcpSocket* socket_ = nullptr;
  bool connected_ = false;
  bool authAnswered_ = false;
  qint64 received_ = 0;
};

Client::Client(qint64 maxBodyBytes, int connectTimeoutMs, QObject* parent)
    : QObject(parent), maxBody_(maxBodyBytes), connectTimeoutMs_(connectTimeoutMs) {}

Client::~Client() { AbortAll(); }

void Client::SetCredentials(const QByteArray& user, const QByteArray& password) {
  auth_.SetCredentials(user, password);
}

void Client::Post(const QUrl& url, const QByteArray& contentType, const QByteArray& body, int deadlineMs,
                  Callback done) {
  auto* exchange = new Exchange(this, url, contentType, body, deadlineMs, std::move(done));
  exchanges_.push_back(exchange);
  if (url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
    // Reported from the event loop, as every other outcome.
    QTimer::singleShot(0, exchange, [this, exchange] {
      Result result;
      result.kind = Result::kUnreachable;
      result.error = QStringLiteral("not an http address");
      Finish(exchange, std::move(result));
    });
    return;
  }
  exchange->Start();
}

void Client::Finish(Exchange* exchange, Result result) {
  auto it = std::find(exchanges_.begin(), exchanges_.end(), exchange);
  if (it == exchanges_.end()) return;
  exchanges_.erase(it);
  exchange->Stop();
  Callback done = exchange->TakeCallback();
  // Possibly inside one of its own signals: deleted later.
  exchange->deleteLater();
  if (done) done(result);
}

void Client::AbortAll() {
  std::vector<Exchange*> exchanges;
  exchanges.swap(exchanges_);
  for (Exchange* exchange : exchanges) {
    exchange->Stop();
    exchange->deleteLater();
  }
}

}  // namespace http
