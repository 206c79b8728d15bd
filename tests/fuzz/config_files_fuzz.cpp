// Feeds arbitrary bytes to the configuration files read at start-up, as a
// damaged or hand-edited file holds them: the first byte picks the file
// (devices, users, record schemes, the last screen state, relay servers,
// cascade devices, forwarding settings), the rest is its content in the
// program folder's "Config". The store reads it into its lists, writes them
// back where it writes, and reads the file again.
//
// The program folder is one temporary folder for the process; its "Config" is
// made anew and every global list and setting of the stores is set back to its
// start value for every input.
#include <QLoggingCategory>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/temp_folder.h"
#include "core/client_log.h"
#include "core/config_test_env.h"
#include "core/fixed_text.h"
#include "core/dev_info_store.h"
#include "core/rec_scheme_store.h"
#include "core/sur_status_store.h"
#include "core/user_info_store.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "relay/forward/forward_info.h"
#include "relay/login/vss_info.h"
#include "relay/login/vss_info_file.h"
#include "relay/remote_dev_info.h"

namespace {

TempFolder& Folder() {
  static TempFolder folder;
  return folder;
}

void WriteConfig(const char* name, const uint8_t* data, size_t size) {
  const std::string config = Folder().File("Config");
  std::error_code ignored;
  std::filesystem::remove_all(config, ignored);
  std::filesystem::create_directory(config);
  std::ofstream out(config + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The store tests' reset of every global list and setting.
struct StoreGlobals : ConfigTest {
  using ConfigTest::ResetGlobals;
};

void ResetAll() {
  StoreGlobals::ResetGlobals();
  g_lstVssInfo.clear();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QLoggingCategory::setFilterRules(QStringLiteral("vemo.*=false"));
  paths::SetProgramFolder(Folder().Path());
  paths::SetDriveRoot(Folder().Path() + "drives");
  paths::SetConfigHome(Folder().Path() + "xdg");
  regstore::SetFilePath(Folder().File("registry.ini"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  ResetAll();
  const uint8_t* content = data + 1;
  const size_t length = size - 1;
  switch (data[0] % 7) {
    case 0:
      WriteConfig("DevInfo.xml", content, length);
      LoadDevInfo();
      SaveDevInfo();
      g_lstDevInfo.clear();
      g_lstDevGroupInfo.clear();
      LoadDevInfo();
      break;
    case 1:
      WriteConfig("UserInfo.xml", content, length);
      LoadUserInfo();
      SaveUserInfo();
      ResetAll();
      LoadUserInfo();
      break;
    case 2:
      WriteConfig("RecInfo.xml", content, length);
      LoadRecInfo();
      SaveRecInfo();
      FreeRecSchemeList();
      LoadRecInfo();
      break;
    case 3:
      WriteConfig("Recover.xml", content, length);
      CopyFixedText(g_szCurUser, "admin");
      LoadRecoverInfo();
      SaveRecoverInfo();
      g_lstSurStatus.clear();
      LoadRecoverInfo();
      break;
    case 4: {
      WriteConfig("VssInfo.xml", content, length);
      std::vector<VssServerEntry> servers;
      ReadVssInfoFile(&servers);
      break;
    }
    case 5: {
      WriteConfig("RemoteDevInfo.xml", content, length);
      std::vector<RemoteDevEntry> entries;
      LoadRemoteDevInfo([&](const RemoteDevEntry& entry) { entries.push_back(entry); });
      SaveRemoteDevInfo();
      LoadRemoteDevInfo(nullptr);
      break;
    }
    default: {
      WriteConfig("ForwardInfo.xml", content, length);
      ForwardSettings settings;
      if (LoadForwardInfo(&settings)) SaveForwardInfo(settings);
      LoadForwardInfo(&settings);
      break;
    }
  }
  CloseLogFile();
  ResetAll();
  return 0;
}
