#include "relay/pair/vemo_peer.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/peer_lifetime.h"

namespace fs = std::filesystem;

namespace {

void Write(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

bool Accepts(int port) {
  QTcpSocket socket;
  socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
  const bool up = socket.waitForConnected(300);
  socket.abort();
  return up;
}

}  // namespace

int FreeLocalPort() {
  QTcpServer server;
  if (!server.listen(QHostAddress::LocalHost, 0)) return 0;
  const int port = server.serverPort();
  server.close();
  return port;
}

void VemoPeer::WriteConfig(int relayPort, int ptzPort) const {
  const std::string config = m_folder.File("Config/");
  const std::string digest = kDigest;
  Write(config + "UserInfo.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<UserInfo>\n\t<mlog>1</mlog>\n"
        "\t<LoginSetting><AutoLogin>0</AutoLogin></LoginSetting>\n"
        "\t<LoginList><Login><UserName>admin</UserName><Password>" + digest +
        "</Password><SaveFlg>1</SaveFlg><LastUsingFlg>1</LastUsingFlg></Login></LoginList>\n"
        "\t<UserList><User><UserName>admin</UserName><Password>" + digest +
        "</Password><GroupName>default</GroupName><RoleName>default</RoleName></User></UserList>\n"
        "\t<GroupList><Group><GroupName>default</GroupName><RoleName>default</RoleName></Group></GroupList>\n"
        "\t<RoleList><Role><RoleName>default</RoleName><SurPTZ>1</SurPTZ><Record>1</Record><Alarm>1</Alarm>"
        "<PTZ>1</PTZ><UserManager>1</UserManager><HighLeve>1</HighLeve></Role></RoleList>\n</UserInfo>\n");
  const std::string name = m_options.nvr ? "Nvr" : "Gate";
  Write(config + "DevInfo.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevInfo>\n\t<DevList><Dev><DevType>" +
            std::string(m_options.nvr ? "4" : "1") + "</DevType><DevSN>SN-B-1</DevSN><DevId>" + name +
            "</DevId><DevName>" + name + "</DevName><GroupName>Default</GroupName>"
            "<LoginName>admin</LoginName><LoginPsw>secret</LoginPsw><IPAddr>127.0.0.1</IPAddr>"
            "<ProtocolType>RTSP</ProtocolType><DefRes>D1</DefRes><VisitMod>0</VisitMod><PtzPort>" +
            std::to_string(ptzPort) + "</PtzPort><VideoPort>" + std::to_string(m_options.rtspPort) +
            "</VideoPort><RtpOverRtsp>1</RtpOverRtsp></Dev></DevList>\n"
            "\t<GroupList><Group><GroupName nType=\"1\">Default</GroupName></Group></GroupList>\n</DevInfo>\n");
  // The scheme records only while it has a span: from recordFrom, every day.
  const bool records = m_options.recordFrom >= 0;
  auto clock = [](int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", second / 3600, second / 60 % 60, second % 60);
    return std::string(text);
  };
  if (records) fs::create_directories(m_folder.File("drives/D"));
  const std::string spans =
      records ? "<RecTime><TimeDuration>1</TimeDuration><DayOfWeek>8</DayOfWeek><StartTime>" +
                    clock(m_options.recordFrom) + "</StartTime><EndTime>" +
                    clock(m_options.recordFrom + m_options.recordSeconds) + "</EndTime></RecTime>"
              : "";
  Write(config + "RecInfo.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo>\n<RecScheme><SchemeName>Plan</SchemeName>"
        "<StoragePath1>D:\\</StoragePath1><StoragePath2></StoragePath2><StoragePath3></StoragePath3>"
        "<SaveDate>0</SaveDate><StorageScheme>0</StorageScheme><StartType>0</StartType><OnOff>" +
            std::string(records ? "1" : "0") +
            "</OnOff><PreRecTime>0</PreRecTime><RecFileTime>600</RecFileTime><DetRecTime>0</DetRecTime>"
            "<RecAudio>1</RecAudio><RecStreamType>1</RecStreamType><Dev><DevName>" + name + "</DevName><DevId>" +
            name + "</DevId></Dev><RecTimeList>" + spans + "</RecTimeList></RecScheme>\n</RecInfo>\n");
  Write(config + "ForwardInfo.xml",
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Forwarded><Forward IPAddr=\"127.0.0.1\" Port=\"" +
            std::to_string(relayPort) + "\" ChannelCount=\"16\" UserCount=\"4\" Running=\"1\" /></Forwarded>\n");
}

bool VemoPeer::Start(int ptzPort, const VemoPeerOptions& options) {
  m_options = options;
  // A free port may be taken by another program before B binds it: B then
  // says so in its log, and starts again on another port.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (StartOn(FreeLocalPort(), ptzPort)) return true;
    Stop();
  }
  return false;
}

bool VemoPeer::StartOn(int relayPort, int ptzPort) {
  WriteConfig(relayPort, ptzPort);
  const std::string bin = QCoreApplication::applicationDirPath().toStdString();
  for (const char* shared : {"Images", "Lang", "Resources"}) {
    std::error_code ignored;
    fs::create_directory_symlink(bin + "/" + shared, m_folder.File(shared), ignored);
  }
  fs::create_directories(m_folder.File("run"));
  fs::permissions(m_folder.File("run"), fs::perms::owner_all);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_PROGRAM_DIR", QString::fromStdString(m_folder.Path()));
  env.insert("VEMO_DRIVE_ROOT", QString::fromStdString(m_folder.File("drives")));
  env.insert("VEMO_REGISTRY_FILE", QString::fromStdString(m_folder.File("registry.ini")));
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(m_folder.File("run")));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(m_folder.File("config")));
  env.insert("VEMO_LOCAL_MAC", kMac);
  env.insert("QT_QPA_PLATFORM", "offscreen");
  m_process.setProcessEnvironment(env);
  m_process.setProcessChannelMode(QProcess::MergedChannels);
  DieWithParent(m_process);
  m_process.start(QString::fromStdString(bin + "/vemo"), {QStringLiteral("autologin")});
  if (!m_process.waitForStarted(10000)) return false;
  // The forwarding server starts 10 s after the main window; a busy machine
  // takes longer. Only B's own word tells that B (not another program) listens.
  const std::string runs = "port " + std::to_string(relayPort) + " runs";
  const std::string failed = "port " + std::to_string(relayPort) + " did not start";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerStartMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (m_process.state() != QProcess::Running) return false;
    const std::string log = Log();
    if (log.find(failed) != std::string::npos) return false;
    if (log.find(runs) != std::string::npos && Accepts(relayPort)) {
      m_port = relayPort;
      return true;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return false;
}

void VemoPeer::Stop() {
  if (m_process.state() == QProcess::NotRunning) return;
  m_process.kill();
  m_process.waitForFinished(10000);
}

std::string VemoPeer::Output() {
  m_output += m_process.readAll().toStdString();
  return m_output;
}

std::string VemoPeer::Log() const {
  std::string text;
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(m_folder.File("drives"), ignored)) {
    if (entry.path().filename() != "clientlog.txt") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    text += std::string(std::istreambuf_iterator<char>(file), {});
  }
  return text;
}
