#include "records/search/rec_tree.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/fixed_text.h"
#include "records/recfile/rec_file_fixture.h"

std::string RecTree::DayFolder(const std::string& storage, const std::string& device, const std::string& kind,
                               int year, int month, int day, const std::string& source) const {
  const std::string path = storage + "/Record/" + device + "/" + source + "/" + kind + "/" + std::to_string(year) +
                           "/" + std::to_string(month) + "/" + std::to_string(day) + "/";
  std::filesystem::create_directories(path);
  return path;
}

void RecTree::WriteFile(const std::string& path, size_t size) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const std::string bytes(size, 'x');
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

void RecTree::WriteRecord(const std::string& path, int seconds) {
  if (seconds <= 0) {
    WriteFile(path, 20000);
    return;
  }
  RecFileFixture f(1);
  f.frameRate = 1;
  for (int i = 0; i < seconds; ++i) f.AddVideo(H264Frame(true, 300, static_cast<uint8_t>(i)), true);
  f.Write(path);
}

RecSchemeInfo& RecTree::AddScheme(const std::string& path1, const std::string& path2, const std::string& path3) {
  auto scheme = std::make_unique<RecSchemeInfo>();
  CopyFixedText(scheme->StoragePath1, path1.c_str());
  CopyFixedText(scheme->StoragePath2, path2.c_str());
  CopyFixedText(scheme->StoragePath3, path3.c_str());
  schemes_.push_back(scheme.get());
  owned_.push_back(std::move(scheme));
  return *schemes_.back();
}

DevInfo MakeDevice(int type, const char* name, const char* ip, int channel, const char* id) {
  DevInfo dev;
  dev.DevType = type;
  CopyFixedText(dev.DevName, name);
  CopyFixedText(dev.IPAddr, ip);
  CopyFixedText(dev.DevId, id);
  dev.CurNVRChannel = channel;
  return dev;
}
