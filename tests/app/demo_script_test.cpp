// The demo (scripts/demo) with its real peers, in front of a stand-in for the
// program that only notes how it was started: the demo's configuration is
// written on its first start and kept at the next, where only the demo
// cameras' ports follow the cameras of that start; --fresh starts afresh.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The text with every port number left out.
std::string WithoutPorts(const std::string& xml) {
  static const QRegularExpression port(QStringLiteral("<(PtzPort|VideoPort)>\\d+</"));
  return QString::fromStdString(xml).replace(port, QStringLiteral("<\\1></")).toStdString();
}

class DemoScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    // A build folder whose program only writes down its arguments and ends.
    fs::create_directories(folder_.File("build/bin"));
    const std::string program = folder_.File("build/bin/vemo");
    WriteFile(program, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$VEMO_PROGRAM_DIR/arguments\"\n");
    fs::permissions(program, fs::perms::owner_all);
    for (const char* manual : {"CH.pdf", "EN.pdf"}) WriteFile(folder_.File(std::string("build/bin/") + manual), "%PDF");
  }

  // Runs the demo to its end; the camera ports it announced, by camera number.
  std::map<int, std::pair<int, int>> Run(const QStringList& arguments) {
    QProcess demo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VEMO_BUILD_DIR", QString::fromStdString(folder_.File("build")));
    env.insert("VEMO_DEMO_DIR", QString::fromStdString(Demo()));
    demo.setProcessEnvironment(env);
    demo.start("bash", QStringList{VEMO_TEST_SOURCE_DIR "/../scripts/demo"} + arguments);
    EXPECT_TRUE(demo.waitForFinished(180000));
    const QString out = QString::fromUtf8(demo.readAllStandardOutput());
    EXPECT_EQ(demo.exitCode(), 0) << out.toStdString() << demo.readAllStandardError().toStdString();
    std::map<int, std::pair<int, int>> ports;
    static const QRegularExpression line(
        QStringLiteral("Demo camera (\\d): ONVIF on 127\\.0\\.0\\.1:(\\d+)[^,\\n]*, video rtsp://127\\.0\\.0\\.1:(\\d+)/"));
    for (auto it = line.globalMatch(out); it.hasNext();) {
      const auto m = it.next();
      ports[m.captured(1).toInt()] = {m.captured(2).toInt(), m.captured(3).toInt()};
    }
    EXPECT_EQ(ports.size(), 4u) << out.toStdString();
    return ports;
  }

  std::string Demo() const { return folder_.File("demo"); }
  std::string Config(const char* name) const { return Demo() + "/Config/" + name; }

  // The ports DevInfo.xml gives each demo camera.
  std::map<int, std::pair<int, int>> ListedPorts() const {
    std::map<int, std::pair<int, int>> ports;
    const QString xml = QString::fromStdString(ReadFile(Config("DevInfo.xml")));
    static const QRegularExpression dev(QStringLiteral(
        "<DevId>demo-camera-(\\d)</DevId>.*?<PtzPort>(\\d+)</PtzPort>.*?<VideoPort>(\\d+)</VideoPort>"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto it = dev.globalMatch(xml); it.hasNext();) {
      const auto m = it.next();
      ports[m.captured(1).toInt()] = {m.captured(2).toInt(), m.captured(3).toInt()};
    }
    return ports;
  }

  TempFolder folder_;
};

TEST_F(DemoScriptTest, KeepsItsConfigurationAndFollowsTheCamerasPortsUntilStartedAfresh) {
  const auto first = Run({"autologin"});
  EXPECT_EQ(ListedPorts(), first);
  EXPECT_EQ(ReadFile(Demo() + "/arguments"), "autologin\n");
  for (const char* manual : {"CH.pdf", "EN.pdf"})  // "Help" finds the manuals in the demo's program folder
    EXPECT_EQ(ReadFile(Demo() + "/" + manual), "%PDF") << manual;
  const std::string defaultUsers = ReadFile(Config("UserInfo.xml"));
  ASSERT_NE(defaultUsers.find("<Title>Vemo-Demo</Title>"), std::string::npos);

  // What a person changed in the demo: the title, a record scheme, a device of their own.
  std::string users = defaultUsers;
  users.replace(users.find("Vemo-Demo"), 9, "My demo");
  WriteFile(Config("UserInfo.xml"), users);
  const std::string schemes = "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\n<RecInfo><Scheme /></RecInfo>\n";
  WriteFile(Config("RecInfo.xml"), schemes);
  std::string devices = ReadFile(Config("DevInfo.xml"));
  const std::string own = "<Dev><DevId>gate</DevId><PtzPort>8080</PtzPort><VideoPort>554</VideoPort></Dev>";
  devices.insert(devices.find("</DevList>"), own);
  WriteFile(Config("DevInfo.xml"), devices);

  const auto second = Run({});
  EXPECT_EQ(ReadFile(Config("UserInfo.xml")), users);
  EXPECT_EQ(ReadFile(Config("RecInfo.xml")), schemes);
  EXPECT_EQ(ListedPorts(), second);  // the cameras of this start
  const std::string kept = ReadFile(Config("DevInfo.xml"));
  EXPECT_NE(kept.find(own), std::string::npos);
  EXPECT_EQ(WithoutPorts(kept), WithoutPorts(devices));  // nothing else changed
  EXPECT_EQ(ReadFile(Demo() + "/arguments"), "\n");

  Run({"--fresh"});
  EXPECT_EQ(ReadFile(Config("UserInfo.xml")), defaultUsers);
  EXPECT_FALSE(fs::exists(Config("RecInfo.xml")));
  EXPECT_EQ(ReadFile(Config("DevInfo.xml")).find(own), std::string::npos);
  EXPECT_EQ(ReadFile(Demo() + "/arguments"), "\n");  // --fresh is the demo's, not the program's
}

}  // namespace
