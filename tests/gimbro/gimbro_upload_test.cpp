// Files sent to a device: firmware and configuration uploads, paced by the
// device's answers, and every way one can fail.
#include <QCryptographicHash>
#include <cstdio>

#include "common/temp_folder.h"
#include "gimbro_fixture.h"
#include "maker/gimbro/gimbro_link.h"
#include "maker/gimbro/gimbro_upload.h"

namespace {

// Writes `size` bytes (byte i is i * 7 % 256) and gives their MD5 in hex.
std::string WriteFile(const std::string& path, size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 256);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return {};
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Md5).toHex().toStdString();
}

}  // namespace

TEST_F(GimbroTest, AnUploadReachesTheDeviceWholeInPieces) {
  GimbroTimingsForNewLinks().idleTimeoutMs = 30000;
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  TempFolder folder;
  EXPECT_EQ(ctrl->GetUploadProgress(id), -1);  // none yet

  // Five pieces and a bit: the device gets the name, the size and every byte.
  const size_t size = 5 * gimbro_upload::kPiece + 1234;
  const std::string firmware = folder.File("IPC-2.4.1.bin");
  const std::string md5 = WriteFile(firmware, size);
  ASSERT_EQ(ctrl->UploadFile(id, 1, firmware.c_str()), GIMBRO_OK);
  EXPECT_EQ(device.Take("UPLOAD "), "UPLOAD 1 " + std::to_string(size) + " IPC-2.4.1.bin");
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetUploadProgress(id) == 100; }));
  EXPECT_EQ(device.Take("UPLOAD_DONE"), "UPLOAD_DONE " + std::to_string(size) + " " + md5);

  // An empty configuration file is complete at the device's first answer.
  const std::string config = folder.File("config.dat");
  WriteFile(config, 0);
  ASSERT_EQ(ctrl->UploadFile(id, 0, config.c_str()), GIMBRO_OK);
  EXPECT_EQ(device.Take("UPLOAD "), "UPLOAD 0 0 config.dat");
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetUploadProgress(id) == 100; }));
  EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_UPLOAD_FAILED), 0u);

  // Refused before anything goes out: no file, a folder, a bad kind, an unknown device.
  EXPECT_EQ(ctrl->UploadFile(id, 1, folder.File("missing.bin").c_str()), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->UploadFile(id, 1, folder.Path().c_str()), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->UploadFile(id, 2, firmware.c_str()), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->UploadFile(id, 1, nullptr), GIMBRO_ERR_ARGUMENT);
  EXPECT_EQ(ctrl->UploadFile(id + 9, 1, firmware.c_str()), GIMBRO_ERR_UNKNOWN_DEVICE);
  EXPECT_EQ(ctrl->GetUploadProgress(id + 9), -1);
}

TEST_F(GimbroTest, AnUploadFailsOnceWhenTheDeviceRefusesMiscountsStallsOrGoes) {
  GimbroTimingsForNewLinks().idleTimeoutMs = 30000;
  GimbroTimingsForNewLinks().uploadIdleMs = 1500;
  FakeDeviceProcess device;
  const LONG id = AddOnline(device);
  TempFolder folder;
  const std::string firmware = folder.File("fw.bin");
  WriteFile(firmware, 4 * gimbro_upload::kPiece);

  size_t failures = 0;
  for (const char* mode : {"refuse", "miscount", "stall"}) {
    SCOPED_TRACE(mode);
    ASSERT_EQ(device.Command(std::string("upload ") + mode), "OK");
    ASSERT_EQ(ctrl->UploadFile(id, 1, firmware.c_str()), GIMBRO_OK);
    // The stalled upload fails when its progress is asked after the idle time.
    ASSERT_TRUE(WaitFor([&] {
      ctrl->GetUploadProgress(id);
      return sink.Count(1, GIMBRO_STATUS_UPLOAD_FAILED) == failures + 1;
    }));
    ++failures;
    EXPECT_EQ(ctrl->GetUploadProgress(id), -1);
    Pump(200);
    EXPECT_EQ(sink.Count(1, GIMBRO_STATUS_UPLOAD_FAILED), failures) << "one failure per upload";
  }

  // An upload cut by a lost connection fails; while one runs, another is refused.
  ASSERT_EQ(device.Command("upload stall"), "OK");
  ASSERT_EQ(ctrl->UploadFile(id, 1, firmware.c_str()), GIMBRO_OK);
  ASSERT_TRUE(WaitFor([&] { return ctrl->GetUploadProgress(id) >= 1; }));
  EXPECT_EQ(ctrl->UploadFile(id, 1, firmware.c_str()), GIMBRO_ERR_ARGUMENT);
  ASSERT_EQ(device.Command("drop"), "OK");
  ASSERT_TRUE(WaitFor([&] { return sink.Count(1, GIMBRO_STATUS_UPLOAD_FAILED) == failures + 1; }));
}
