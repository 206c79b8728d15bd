#include "settings/local/save_path_store.h"

#include "core/fixed_text.h"
#include "core/login_logic.h"
#include "core/user_info.h"

namespace {

constexpr UINT kPathEmpty = 956;
constexpr UINT kPathTooLong = 54011;

LoginInfo* LoggedInLogin() { return FindSavedLogin(FixedText(g_szCurUser)); }

}  // namespace

std::string LoggedInSavePath() {
  const LoginInfo* login = LoggedInLogin();
  return login != nullptr ? FixedText(login->SavePath) : std::string();
}

UINT StoreSavePath(const std::string& typed, std::string* stored) {
  const std::string folder = TrimBlanks(typed);
  if (folder.empty()) return kPathEmpty;
  if (folder.size() >= sizeof(LoginInfo::SavePath)) return kPathTooLong;
  if (LoginInfo* login = LoggedInLogin()) CopyFixedText(login->SavePath, folder.c_str());
  if (stored != nullptr) *stored = folder;
  return 0;
}
