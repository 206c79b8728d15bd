#include "vemo_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QProcessEnvironment>
#include <cstdio>
#include <filesystem>

#include "common/peer_lifetime.h"
#include "platform/file_api.h"

namespace {

void Write(const std::string& path, const std::string& text) { fileapi::WriteWhole(path, text.data(), text.size()); }

std::string Clock(int secondOfDay) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
  return text;
}

}  // namespace

VemoPeer::VemoPeer(const VemoPeerSetup& setup) : setup_(setup) {}

VemoPeer::~VemoPeer() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

std::string VemoPeer::PasswordDigest() {
  return QCryptographicHash::hash("relay", QCryptographicHash::Md5).toHex().toUpper().toStdString();
}

void VemoPeer::WriteConfig() const {
  namespace fs = std::filesystem;
  fs::create_directories(folder_.File("Config"));
  fs::create_directories(folder_.File("run"));
  fs::permissions(folder_.File("run"), fs::perms::owner_all, fs::perm_options::replace);
  for (const char* shared : {"Images", "Lang", "Resources"}) {
    fs::create_directory_symlink(setup_.programFolder + shared, folder_.File(shared));
  }
  const std::string digest = PasswordDigest();
  Write(folder_.File("Config/UserInfo.xml"),
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<UserInfo>\n<mlog>1</mlog>\n"
        "<LoginSetting><AutoLogin>0</AutoLogin></LoginSetting>\n"
        "<LoginList><Login><UserName>admin</UserName><Password>" + digest +
            "</Password><SaveFlg>1</SaveFlg><LastUsingFlg>1</LastUsingFlg></Login></LoginList>\n"
            "<UserList><User><UserName>admin</UserName><Password>" + digest +
            "</Password><GroupName>default</GroupName><RoleName>default</RoleName></User></UserList>\n"
            "<GroupList><Group><GroupName>default</GroupName><RoleName>default</RoleName></Group></GroupList>\n"
            "<RoleList><Role><RoleName>default</RoleName><SurPTZ>1</SurPTZ><Record>1</Record><Alarm>1</Alarm>"
            "<PTZ>1</PTZ><UserManager>1</UserManager><HighLeve>1</HighLeve></Role></RoleList>\n</UserInfo>\n");
  Write(folder_.File("Config/DevInfo.xml"),
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<DevInfo>\n<DevList><Dev><DevType>" +
            std::string(setup_.nvr ? "4" : "1") + "</DevType><DevSN>SN-B-1</DevSN>" +
            (setup_.nvr ? "<DevId>Nvr</DevId><DevName>Nvr</DevName>" : "<DevId>Gate</DevId><DevName>Gate</DevName>") +
            "<GroupName>Default</GroupName>"
        "<LoginName>admin</LoginName><LoginPsw>secret</LoginPsw><IPAddr>127.0.0.1</IPAddr>"
        "<ProtocolType>RTSP</ProtocolType><DefRes>D1</DefRes><VisitMod>0</VisitMod><PtzPort>" +
            std::to_string(setup_.devicePort) + "</PtzPort><VideoPort>" + std::to_string(setup_.rtspPort) +
            "</VideoPort><RtpOverRtsp>1</RtpOverRtsp></Dev></DevList>\n"
            "<GroupList><Group><GroupName nType=\"1\">Default</GroupName></Group></GroupList>\n</DevInfo>\n");
  Write(folder_.File("Config/ForwardInfo.xml"),
        "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<Forwarded><Forward IPAddr=\"127.0.0.1\" Port=\"" +
            std::to_string(setup_.relayPort) + "\" ChannelCount=\"16\" UserCount=\"4\" Running=\"1\" /></Forwarded>\n");
  if (setup_.recordFrom >= 0) {
    fs::create_directories(folder_.File("drives/D"));
    Write(folder_.File("Config/RecInfo.xml"),
          "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo>\n<RecScheme><SchemeName>Day</SchemeName>"
          "<StoragePath1>D:\\</StoragePath1><StoragePath2></StoragePath2><StoragePath3></StoragePath3>"
          "<SaveDate>0</SaveDate><StorageScheme>0</StorageScheme><StartType>0</StartType><OnOff>1</OnOff>"
          "<PreRecTime>0</PreRecTime><RecFileTime>600</RecFileTime><DetRecTime>30</DetRecTime>"
          "<RecAudio>0</RecAudio><RecStreamType>1</RecStreamType><Dev><DevName>Gate</DevName><DevId>Gate</DevId></Dev>"
          "<RecTimeList><RecTime><TimeDuration>1</TimeDuration><DayOfWeek>8</DayOfWeek><StartTime>" +
              Clock(setup_.recordFrom) + "</StartTime><EndTime>" +
              Clock(setup_.recordFrom + setup_.recordSeconds) +
              "</EndTime></RecTime></RecTimeList></RecScheme>\n</RecInfo>\n");
  }
}

bool VemoPeer::Start() {
  WriteConfig();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VEMO_PROGRAM_DIR", QString::fromStdString(folder_.Path()));
  env.insert("XDG_RUNTIME_DIR", QString::fromStdString(folder_.File("run")));
  env.insert("XDG_CONFIG_HOME", QString::fromStdString(folder_.File("config")));
  env.insert("VEMO_REGISTRY_FILE", QString::fromStdString(folder_.File("registry.ini")));
  env.insert("VEMO_LOCAL_MAC", QString::fromStdString(setup_.mac));
  env.insert("VEMO_DRIVE_ROOT", QString::fromStdString(folder_.File("drives")));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  process_.setProcessEnvironment(env);
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.setStandardOutputFile(QString::fromStdString(folder_.File("stdout.txt")));
  DieWithParent(process_);
  process_.start(QString::fromStdString(setup_.programFolder + "vemo"), {"autologin"});
  return process_.waitForStarted(10000);
}

void VemoPeer::Terminate() {
  process_.terminate();
  process_.waitForFinished(10000);
  if (process_.state() != QProcess::NotRunning) process_.kill();
}

bool VemoPeer::Listens() const {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(setup_.relayPort));
  const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

std::string VemoPeer::Log() const {
  std::string text;
  fileapi::ReadWhole(folder_.File("drives/D/Vemo-Log/clientlog.txt"), text);
  return text;
}
