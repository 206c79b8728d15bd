// Record replay and download requests to a device and what comes back.
#include <QFile>
#include <cstdio>

#include "common/temp_folder.h"
#include "gimbro_fixture.h"
#include "maker/gimbro/gimbro_link.h"

namespace {

std::string FileBytes(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::string();
  return file.readAll().toStdString();
}

std::string Pattern(size_t size) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>(i % 251);
  return out;
}

}  // namespace

TEST_F(GimbroTest, ReplayRequestsReachTheDeviceAndItsAnswersComeBack) {
  FakeDeviceProcess device;
  ASSERT_EQ(device.Command("replaycaps 1 4660"), "OK 0");
  const LONG id = AddOnline(device);
  ASSERT_TRUE(WaitFor([&] { return ctrl->CanReplay(id) == 1u; }));
  EXPECT_EQ(ctrl->GetReplayOption(id), 4660u);
  EXPECT_EQ(ctrl->CanReplay(id + 7), 0u);

  ASSERT_EQ(ctrl->StartFileReplay(id, "/mnt/sd1/rec/20240105/080000.avi"), GIMBRO_OK);
  EXPECT_EQ(device.Take("REPLAY_FILE "), "REPLAY_FILE /mnt/sd1/rec/20240105/080000.avi");
  ASSERT_TRUE(WaitFor([&] { return sink.Count(6, 1) == 1; }));
  EXPECT_NE(sink.Of(6, 1)[0].text.find("VideoSeconds=\"60\""), std::string::npos);
  ASSERT_EQ(ctrl->ControlFileReplay(id, 7, 0), GIMBRO_OK);
  EXPECT_EQ(device.Take("REPLAY_FILE_CONTROL"), "REPLAY_FILE_CONTROL 7 0");
  ASSERT_TRUE(WaitFor([&] { return sink.Count(7, 7) == 1; }));

  ASSERT_EQ(ctrl->StartTimeReplay(id, 3, "20240105100205"), GIMBRO_OK);
  EXPECT_EQ(device.Take("REPLAY_TIME "), "REPLAY_TIME 3 20240105100205");
  ASSERT_TRUE(WaitFor([&] { return sink.Count(6, GIMBRO_MEDIA_NVR_REPLAY) == 1; }));
  struct Control {
    LONG command, value;
    const char* time;
    const char* record;
  };
  const Control controls[] = {
      {9, -600, "20240105095000", "REPLAY_TIME_CONTROL 3 9 -600 20240105095000"},
      {2, 0, "", "REPLAY_TIME_CONTROL 3 2 0 "},
      {7, 0, nullptr, "REPLAY_TIME_CONTROL 3 7 0 "},
  };
  for (const Control& c : controls) {
    ASSERT_EQ(ctrl->ControlTimeReplay(id, 3, c.command, c.value, c.time), GIMBRO_OK);
    EXPECT_EQ(device.Take("REPLAY_TIME_CONTROL"), c.record);
  }

  // Arguments and devices that cannot take a request.
  EXPECT_EQ(ctrl->StartFileReplay(id, ""), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->StartTimeReplay(id, 1, nullptr), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->StartFileReplay(id + 7, "/a.avi"), GIMBRO_ERR_UNKNOWN_DEVICE);
  device.Kill();
  ASSERT_TRUE(WaitStatus(GIMBRO_STATUS_CONNECTION_LOST));
  EXPECT_EQ(ctrl->CanReplay(id), 0u);  // known again only after a login
  EXPECT_EQ(ctrl->ControlFileReplay(id, 1, 0), GIMBRO_ERR_OFFLINE);
}

TEST_F(GimbroTest, DownloadsAppearWholeOrNotAtAll) {
  // Megabytes come from a script peer here: the device's silence is judged
  // over the usual time, not the short one of the connection tests.
  GimbroTimingsForNewLinks().idleTimeoutMs = 30000;
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  TempFolder folder;
  const std::string local = folder.File("080000.avi");
  EXPECT_EQ(ctrl->GetDownloadProgress(id), -1);

  ASSERT_EQ(device.Command("download 300000"), "OK");
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/mnt/sd1/rec/080000.avi", local.c_str()), GIMBRO_OK);
  EXPECT_EQ(device.Take("DOWNLOAD "), "DOWNLOAD /mnt/sd1/rec/080000.avi");
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) == 100; }));
  const std::string bytes = FileBytes(local);
  EXPECT_EQ(bytes.size(), 300000u);
  EXPECT_TRUE(bytes == Pattern(300000)) << "the file's bytes differ";
  EXPECT_FALSE(QFile::exists(QString::fromStdString(local + ".part")));

  struct Case {
    const char* mode;
    const char* name;
  };
  for (const Case& c : {Case{"fail", "fail.avi"}, Case{"short", "short.avi"}}) {
    SCOPED_TRACE(c.mode);
    const size_t failures = sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED);
    ASSERT_EQ(device.Command(std::string("download 300000 ") + c.mode), "OK");
    const std::string path = folder.File(c.name);
    ASSERT_EQ(ctrl->DownloadFile(id, 0, "/x.avi", path.c_str()), GIMBRO_OK);
    ASSERT_TRUE(WaitFor([&] { return sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED) == failures + 1; }));
    EXPECT_LT(ctrl->GetDownloadProgress(id), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path + ".part")));
  }

  // A stopped download leaves nothing and raises no failure.
  ASSERT_EQ(device.Command("download 20000000"), "OK");
  const std::string stopped = folder.File("stopped.avi");
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/big.avi", stopped.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) >= 1; }));
  // While one download runs, another is refused. (The 300000 bytes above can
  // be in before the test gets to ask; these twenty megabytes take the device
  // seconds.)
  EXPECT_EQ(ctrl->DownloadFile(id, 0, "/other.avi", folder.File("b.avi").c_str()), GIMBRO_ERR_ARGUMENT);
  const size_t failures = sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED);
  ASSERT_EQ(ctrl->StopDownload(id), GIMBRO_OK);
  EXPECT_EQ(device.Take("DOWNLOAD_STOP"), "DOWNLOAD_STOP");
  EXPECT_EQ(ctrl->GetDownloadProgress(id), -1);
  Pump(300);
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED), failures);
  EXPECT_FALSE(QFile::exists(QString::fromStdString(stopped)));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(stopped + ".part")));

  // A download cut by a lost connection fails.
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/big.avi", stopped.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) >= 1; }));
  ASSERT_EQ(device.Command("drop"), "OK");
  ASSERT_TRUE(WaitFor([&] { return sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED) == failures + 1; }));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(stopped + ".part")));
}

TEST_F(GimbroTest, ADownloadIsTakenOnlyFromItsOwnTransferAndFailsWhenTheDeviceStopsSending) {
  GimbroTimingsForNewLinks().idleTimeoutMs = 30000;
  GimbroTimingsForNewLinks().downloadIdleMs = 1500;
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  TempFolder folder;

  // The bytes and the failed end of an earlier transfer come first: they are skipped.
  ASSERT_EQ(device.Command("download 200000 stale"), "OK");
  const std::string whole = folder.File("whole.avi");
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/w.avi", whole.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) == 100; }));
  EXPECT_TRUE(FileBytes(whole) == Pattern(200000)) << "the file's bytes differ";
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED), 0u);

  // Half the file, then the device keeps its connection but sends nothing more.
  // Each download has a number of its own, and its failure names it.
  const LONG wholeTransfer = ctrl->GetDownloadTransfer(id);
  EXPECT_GT(wholeTransfer, 0);
  ASSERT_EQ(device.Command("download 300000 stall"), "OK");
  const std::string stalled = folder.File("stalled.avi");
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/s.avi", stalled.c_str()), GIMBRO_OK);
  const LONG stalledTransfer = ctrl->GetDownloadTransfer(id);
  EXPECT_NE(stalledTransfer, wholeTransfer);
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) >= 1; }));
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetDownloadProgress(id) < 1; }));
  ASSERT_TRUE(WaitFor([&] { return sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED) == 1; }));
  EXPECT_EQ(sink.Of(1, GIMBRO_STATUS_DOWNLOAD_FAILED).back().text, std::to_string(stalledTransfer));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(stalled)));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(stalled + ".part")));

  // A device that announces a size of 0 and sends bytes fails the download.
  ASSERT_EQ(device.Command("download 1000 zero"), "OK");
  const std::string zero = folder.File("zero.avi");
  ASSERT_EQ(ctrl->DownloadFile(id, 0, "/z.avi", zero.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return sink.Count(1, GIMBRO_STATUS_DOWNLOAD_FAILED) == 2; }));
  EXPECT_FALSE(QFile::exists(QString::fromStdString(zero)));
}
