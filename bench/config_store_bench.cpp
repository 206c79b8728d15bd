// Times the load and save of a "DevInfo.xml" with 1000 devices and of a
// "RecInfo.xml" with 64 schemes, in a temporary program folder.
//   config_store_bench [rounds]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>
#include <string>

#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "platform/paths.h"

namespace {

template <class Fn>
double Millis(Fn fn) {
  const auto start = std::chrono::steady_clock::now();
  fn();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void FillDevices() {
  g_lstDevInfo.clear();
  for (int i = 0; i < 1000; ++i) {
    DevInfo d;
    std::snprintf(d.DevSN, sizeof d.DevSN, "SN%06d", i);
    std::snprintf(d.DevId, sizeof d.DevId, "\xC9\xE8\xB1\xB8-%d", i);  // GBK text
    std::snprintf(d.DevName, sizeof d.DevName, "\xC9\xE3\xCF\xF1\xBB\xFA %d", i);
    std::snprintf(d.IPAddr, sizeof d.IPAddr, "192.168.%d.%d", i / 250, i % 250);
    std::strcpy(d.ProtocolType, "RTSP");
    d.DevType = 1;
    d.VideoPort = 554;
    for (AlarmLinkInfo& link : d.AlarmLink) std::strcpy(link.VoiceFilePath, "C:\\alarm.wav");
    g_lstDevInfo.push_back(d);
  }
}

void FillSchemes() {
  for (RecSchemeInfo* s : g_lstRecSchemeInfo) delete s;
  g_lstRecSchemeInfo.clear();
  for (int i = 0; i < 64; ++i) {
    auto* s = new RecSchemeInfo;
    std::snprintf(s->SchemeName, sizeof s->SchemeName, "scheme %d", i);
    std::strcpy(s->StoragePath1, "D:\\Record\\");
    int n = 0;
    for (const DevInfo& d : g_lstDevInfo) {
      if (n++ % 64 == i) s->lstDev.push_back(d);
    }
    for (int day = 1; day <= 7; ++day) {
      s->lstRecTime.push_back(RecTime{day, day, TimeOfDay::FromHms(8, 0, 0), TimeOfDay::FromHms(18, 0, 0)});
    }
    g_lstRecSchemeInfo.push_back(s);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 5;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vemo-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "Config");
  paths::SetProgramFolder(folder.string());
  LoadDevInfo();  // the default files
  LoadRecInfo();
  FillDevices();
  FillSchemes();

  double saveDev = 0, loadDev = 0, saveRec = 0, loadRec = 0;
  for (int r = 0; r < rounds; ++r) {
    saveDev += Millis(SaveDevInfo);
    loadDev += Millis(LoadDevInfo);
    saveRec += Millis(SaveRecInfo);
    for (RecSchemeInfo* s : g_lstRecSchemeInfo) delete s;
    g_lstRecSchemeInfo.clear();
    loadRec += Millis(LoadRecInfo);
  }
  std::printf("DevInfo.xml, %zu devices, %lld bytes: save %.1f ms, load %.1f ms\n", g_lstDevInfo.size(),
              static_cast<long long>(std::filesystem::file_size(folder / "Config" / "DevInfo.xml")),
              saveDev / rounds, loadDev / rounds);
  std::printf("RecInfo.xml, %zu schemes, %lld bytes: save %.1f ms, load %.1f ms\n",
              g_lstRecSchemeInfo.size(),
              static_cast<long long>(std::filesystem::file_size(folder / "Config" / "RecInfo.xml")),
              saveRec / rounds, loadRec / rounds);
  std::filesystem::remove_all(folder);
  return 0;
}
