#include "settings/default_rec_scheme.h"

#include <sys/statvfs.h>

#include "core/fixed_text.h"
#include "platform/paths.h"
#include "platform/string_table.h"

namespace {

constexpr unsigned long long kMinFreeGb = 5;
constexpr size_t kStoragePathCount = 3;
constexpr int kDecoderType = 2;  // DevType of a decoder: it records nothing

}  // namespace

std::string DefaultSchemeName() {
  const CString text = LoadStringA(260);
  return text.empty() ? "Default Strategy" : text;
}

RecSchemeInfo* FindRecScheme(const std::list<RecSchemeInfo*>& schemes, const std::string& name) {
  for (RecSchemeInfo* scheme : schemes)
    if (scheme != nullptr && FixedTextView(scheme->SchemeName) == name) return scheme;
  return nullptr;
}

bool HasEnoughSpace(const std::string& path) {
  struct statvfs info {};
  if (statvfs(paths::NativePath(path).c_str(), &info) != 0) return false;
  const unsigned long long freeBytes =
      static_cast<unsigned long long>(info.f_bfree) * static_cast<unsigned long long>(info.f_frsize);
  return freeBytes / 1024 / 1024 / 1024 >= kMinFreeGb;
}

std::vector<std::string> DefaultStoragePaths() {
  std::vector<std::string> found;
  for (char drive = 'D'; drive <= 'K'; ++drive) {
    const std::string path = std::string(1, drive) + ":\\";
    if (HasEnoughSpace(path) && found.size() < kStoragePathCount) found.push_back(path);
  }
  return found;
}

RecSchemeInfo* NewDefaultScheme(const std::list<DevInfo>& devices, const std::vector<std::string>& storagePaths) {
  auto* scheme = new RecSchemeInfo();
  CopyFixedText(scheme->SchemeName, DefaultSchemeName().c_str());
  char* paths[kStoragePathCount] = {scheme->StoragePath1, scheme->StoragePath2, scheme->StoragePath3};
  for (size_t i = 0; i < storagePaths.size() && i < kStoragePathCount; ++i)
    CopyFixedText(paths[i], sizeof(scheme->StoragePath1), storagePaths[i].c_str());
  scheme->SaveDate = 0;
  scheme->StorageScheme = 1;  // overwrite when full
  scheme->OnOff = 0;
  scheme->PreRecTime = 5;
  scheme->RecFileTime = 1800;
  scheme->RecAudio = 0;
  scheme->RecStreamType = 1;  // main stream
  scheme->StartType = 0;      // schedule
  scheme->DetRecTime = 60;
  RecTime span;
  span.TimeDuration = 1;
  span.DayOfWeek = 8;  // every day
  span.StartTime = TimeOfDay::FromHms(0, 0, 0);
  span.EndTime = TimeOfDay::FromHms(23, 59, 59);
  scheme->lstRecTime.push_back(span);
  for (const DevInfo& dev : devices) {
    if (dev.DevType == kDecoderType) continue;
    if (dev.DevType == kDevTypeNvr && dev.CurNVRChannel == 0) continue;  // the NVR itself records nothing
    scheme->lstDev.push_back(dev);
  }
  return scheme;
}

DefaultRecSwitch SwitchDefaultScheme(std::list<RecSchemeInfo*>& schemes, const std::string& name) {
  DefaultRecSwitch result;
  result.allRecording = 1;
  for (RecSchemeInfo* scheme : schemes) {
    if (scheme == nullptr) continue;
    if (result.scheme == nullptr && FixedTextView(scheme->SchemeName) == name) {
      scheme->OnOff = scheme->OnOff == 0 ? 1 : 0;
      result.scheme = scheme;
    }
    if (scheme->OnOff == 0) result.allRecording = 0;
  }
  return result;
}
