// harlen_host: a small host program for trying Harlen's windows by hand.
//
//   harlen_host [--host ADDRESS] [--port PORT] [--user NAME] [--english]
//               [--open embedded|main|ipchannel|manualrec]
//
// It loads libharlen.so like any host, calls HL_Init with the NVR's address
// (127.0.0.1:40001 by default, where tools/fake_nvr.py listens) and shows a
// window whose buttons open Harlen's windows: the main configuration window
// embedded in this window or on its own, the IP channel window and the manual
// record window. --open opens one at start. The firmware upgrade of the system
// page is carried out by a pretend upload that reports its progress from a
// thread of its own, as a real host would, and fails for a missing file.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "harlen/link/harlen_api.h"

namespace {

// The pretend upload: one at a time, in steps of a tenth of the file.
class PretendUpload {
 public:
  ~PretendUpload() { Stop(); }

  static int Callback(const char* firmwarePath, int op, void* user) {
    auto* upload = static_cast<PretendUpload*>(user);
    if (op == HL_UPGRADE_CANCEL) {
      upload->Stop();
    } else if (op == HL_UPGRADE_START) {
      upload->Start(firmwarePath != nullptr ? firmwarePath : "");
    }
    return 0;
  }

 private:
  void Start(const std::string& path) {
    Stop();
    stop_ = false;
    const long long size = QFileInfo(QString::fromStdString(path)).size();
    worker_ = std::thread([this, size] {
      if (size <= 0) {
        HL_OnUpgradeEvent(HL_UPGRADE_EVENT_FAILED, 0, nullptr, nullptr);
        return;
      }
      for (int step = 1; step <= 10 && !stop_; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const std::string xml = "<upload start=\"" + std::to_string(size * step / 10) + "\" filesize=\"" +
                                std::to_string(size) + "\" />";
        HL_OnUpgradeEvent(HL_UPGRADE_EVENT_PROGRESS, 0, xml.c_str(), nullptr);
      }
      if (!stop_) HL_OnUpgradeEvent(HL_UPGRADE_EVENT_FINISHED, 0, nullptr, nullptr);
    });
  }

  void Stop() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
  }

  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Opens Harlen's windows against an NVR."));
  parser.addHelpOption();
  parser.addOption({QStringLiteral("host"), QStringLiteral("The NVR's address."), QStringLiteral("address"),
                    QStringLiteral("127.0.0.1")});
  parser.addOption({QStringLiteral("port"), QStringLiteral("The NVR's port."), QStringLiteral("port"),
                    QStringLiteral("40001")});
  parser.addOption({QStringLiteral("user"), QStringLiteral("The user logged in to the NVR."), QStringLiteral("name"),
                    QStringLiteral("admin")});
  parser.addOption({QStringLiteral("english"), QStringLiteral("English texts.")});
  parser.addOption({QStringLiteral("open"), QStringLiteral("A window to open at start: embedded, main, ipchannel or "
                                                           "manualrec."),
                    QStringLiteral("window")});
  parser.process(app);

  std::string host = parser.value(QStringLiteral("host")).toStdString();
  std::string user = parser.value(QStringLiteral("user")).toStdString();
  const auto port = static_cast<unsigned short>(parser.value(QStringLiteral("port")).toUInt());
  if (parser.isSet(QStringLiteral("english"))) HL_LoadLanguage(HL_LANGUAGE_ENGLISH);
  PretendUpload upload;
  if (HL_Init(user.data(), host.data(), port, reinterpret_cast<void*>(&PretendUpload::Callback), &upload) != 1) {
    qCritical("The host and the user name must be shorter than 260 bytes.");
    return 2;
  }

  QWidget window;
  window.setWindowTitle(QStringLiteral("Harlen host - %1:%2").arg(QString::fromStdString(host)).arg(port));
  auto* layout = new QVBoxLayout(&window);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  auto* area = new QWidget(&window);  // Harlen's embedded window goes in here
  area->setMinimumSize(824, 604);
  layout->addWidget(area, 1);
  auto addButton = [&](const char* text, auto action) {
    auto* button = new QPushButton(QString::fromUtf8(text), &window);
    QObject::connect(button, &QPushButton::clicked, action);
    buttons->addWidget(button);
  };
  addButton("Embedded", [&] { HL_ShowConfigByVemo(user.data(), host.data(), port, area); });
  addButton("Hide embedded", [] { HL_HideConfigByVemo(); });
  addButton("Stand-alone", [] { HL_Harlen(); });
  addButton("IP channels", [] { HL_IpChannelConfig(); });
  addButton("Manual recording", [] { HL_ManualRecConfig(); });
  buttons->addStretch();
  window.show();

  const QString open = parser.value(QStringLiteral("open"));
  QTimer::singleShot(0, [&] {
    if (open == QStringLiteral("embedded")) HL_ShowConfigByVemo(user.data(), host.data(), port, area);
    if (open == QStringLiteral("main")) HL_Harlen();
    if (open == QStringLiteral("ipchannel")) HL_IpChannelConfig();
    if (open == QStringLiteral("manualrec")) HL_ManualRecConfig();
  });
  const int result = app.exec();
  HL_Release();
  return result;
}
