#include "settings/record/default_rec_scheme.h"

#include "core/fixed_text.h"
#include "records/recording/rec_environment.h"
#include "settings/record/rec_scheme_channels.h"

namespace {

constexpr unsigned long long kMinFreeGb = 5;
constexpr size_t kStoragePathCount = 3;

}  // namespace

std::string DefaultSchemeName() { return "Default Strategy"; }

RecSchemeInfo* FindRecScheme(const std::list<RecSchemeInfo*>& schemes, const std::string& name) {
  for (RecSchemeInfo* scheme : schemes)
    if (scheme != nullptr && FixedTextView(scheme->SchemeName) == name) return scheme;
  return nullptr;
}

bool HasEnoughSpace(IRecEnvironment& env, const std::string& path) {
  uint64_t freeBytes = 0;
  if (path.empty() || !env.FreeBytes(path, &freeBytes)) return false;
  return freeBytes / 1024 / 1024 / 1024 >= kMinFreeGb;
}

std::vector<std::string> DefaultStoragePaths(IRecEnvironment& env) {
  std::vector<std::string> found;
  for (char drive = 'D'; drive <= 'K'; ++drive) {
    const std::string path = std::string(1, drive) + ":\\";
    if (HasEnoughSpace(env, path) && found.size() < kStoragePathCount) found.push_back(path);
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
    if (IsRecordableChannel(dev)) scheme->lstDev.push_back(dev);
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

bool AddChannelToDefaultScheme(std::list<RecSchemeInfo*>& schemes, const DevInfo& dev) {
  RecSchemeInfo* scheme = FindRecScheme(schemes, DefaultSchemeName());
  if (scheme == nullptr) return false;
  for (const DevInfo& channel : scheme->lstDev)
    if (FixedTextView(channel.DevName) == FixedTextView(dev.DevName)) return false;
  scheme->lstDev.push_back(dev);
  return true;
}
