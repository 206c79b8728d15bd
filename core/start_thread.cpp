#include "core/start_thread.h"

#include <stdexcept>
#include <string>

#include "core/module_path.h"
#include "core/process_query.h"
#include "platform/post_message.h"
#include "platform/process_start.h"

std::string WatchProgramPath() { return GetModuleDir() + kWatchProgramName; }

DWORD CStartThread::Run() {
  if (IsProcessRunning(WatchProgramPath().c_str())) return 1;
  std::string module;
  try {
    module = GetModuleFileNameStr();
  } catch (const std::length_error&) {
    // No usable program path: nothing to start from.
  }
  if (module.find_first_of("\\/") != std::string::npos) {
    StartProgramDetached(GetModuleDir() + kWatchProgramName);  // the result is not looked at
  }
  PostMessage(m_hOwner, WM_STARTTHREAD_DONE, 0, 0);
  return 1;
}
