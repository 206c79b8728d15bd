#include "serial_keyboard_test_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "common/peer_lifetime.h"
#include "core/client_log.h"
#include "platform/paths.h"
#include "platform/string_table.h"

SocatPair::SocatPair() {
  DieWithParent(process_);
  process_.start("socat", {"-d", "-d", "pty,raw,echo=0", "pty,raw,echo=0"});
  if (!process_.waitForStarted(kPeerStartMs)) return;
  // socat names each pseudo-terminal on stderr ("... N PTY is /dev/pts/7")
  // and then says it starts the transfer loop.
  static const QRegularExpression kPty("PTY is (\\S+)");
  QString text;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerStartMs);
  while (!text.contains("starting data transfer loop") && std::chrono::steady_clock::now() < deadline) {
    process_.waitForReadyRead(200);
    text += QString::fromLocal8Bit(process_.readAllStandardError());
  }
  std::vector<std::string> names;
  for (auto it = kPty.globalMatch(text); it.hasNext();) names.push_back(it.next().captured(1).toStdString());
  if (names.size() == 2 && text.contains("starting data transfer loop")) {
    port_ = names[0];
    peer_ = names[1];
  }
}

SocatPair::~SocatPair() { Kill(); }

void SocatPair::Kill() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(10000);
}

bool SocatPair::Write(const std::vector<uint8_t>& bytes) {
  const int fd = open(peer_.c_str(), O_WRONLY | O_NOCTTY);
  if (fd < 0) return false;
  const ssize_t written = write(fd, bytes.data(), bytes.size());
  close(fd);
  return written == static_cast<ssize_t>(bytes.size());
}

void KeyboardRecordingHost::SendKeyboardPtzData(const CString& text) {
  {
    std::lock_guard<std::mutex> lock(lock_);
    texts_.push_back(text);
  }
  arrived_.notify_all();
}

bool KeyboardRecordingHost::WaitForBytes(size_t count, int seconds) {
  std::unique_lock<std::mutex> lock(lock_);
  return arrived_.wait_for(lock, std::chrono::seconds(seconds), [&] {
    size_t total = 0;
    for (const CString& text : texts_) total += TransBytes(text).size();
    return total >= count;
  });
}

std::vector<CString> KeyboardRecordingHost::Texts() {
  std::lock_guard<std::mutex> lock(lock_);
  return texts_;
}

std::vector<uint8_t> KeyboardRecordingHost::Bytes() {
  std::vector<uint8_t> bytes;
  for (const CString& text : Texts()) {
    const std::vector<uint8_t> chunk = TransBytes(text);
    bytes.insert(bytes.end(), chunk.begin(), chunk.end());
  }
  return bytes;
}

void KeyboardRecordingHost::Clear() {
  std::lock_guard<std::mutex> lock(lock_);
  texts_.clear();
}

bool WaitUntil(const std::function<bool()>& done, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

std::vector<uint8_t> TransBytes(const std::string& text) {
  static const std::string kHead = "<xml>\n<cmd>trans</cmd>\n<data>";
  static const std::string kTail = "</data>\n</xml>";
  if (text.rfind(kHead, 0) != 0 || text.size() < kHead.size() + kTail.size() ||
      text.compare(text.size() - kTail.size(), kTail.size(), kTail) != 0) {
    return {};
  }
  const std::string hex = text.substr(kHead.size(), text.size() - kHead.size() - kTail.size());
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

void KeyboardTest::SetUp() {
  const std::string bin = QCoreApplication::applicationDirPath().toStdString();
  for (const char* folder : {"Lang", "Resources"}) {
    std::filesystem::create_directory_symlink(bin + "/" + folder, folder_.File(folder));
  }
  paths::SetProgramFolder(folder_.Path());
  paths::SetDriveRoot(folder_.File("drives"));
  std::filesystem::create_directories(folder_.File("drives/D/Vemo-Log"));
  ASSERT_EQ(OpenLogFile("D:\\Vemo-Log\\clientlog.txt"), 0);
  ASSERT_TRUE(LoadLanguageLibrary("LangEn.dll"));
}

void KeyboardTest::TearDown() {
  CloseLogFile();
  paths::SetDriveRoot("");
  paths::SetProgramFolder("");
}

void KeyboardTest::WriteParamsFile(const std::string& content) {
  std::ofstream(folder_.File("KeyboardParams.txt"), std::ios::binary) << content;
}

namespace {

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

std::string KeyboardTest::ParamsFile() const { return FileText(folder_.File("KeyboardParams.txt")); }

void KeyboardTest::LinkComPort(int port, const std::string& device) {
  const std::string link = folder_.File("COM" + std::to_string(port));
  std::error_code ec;
  std::filesystem::remove(link, ec);
  std::filesystem::create_symlink(device, link);
}

std::string KeyboardTest::Log() const { return FileText(folder_.File("drives/D/Vemo-Log/clientlog.txt")); }
