#include "platform/process_start.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/paths.h"

bool StartProgramDetached(const std::string& path) {
  const std::string native = paths::NativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || ::access(native.c_str(), X_OK) != 0) {
    return false;
  }
  char* const argv[] = {const_cast<char*>(native.c_str()), nullptr};
  // Two forks: the middle child ends at once, so the program is adopted by init
  // and reaped there. Between fork and exec only async-signal-safe calls run.
  const pid_t middle = ::fork();
  if (middle < 0) return false;
  if (middle == 0) {
    ::setsid();
    const pid_t program = ::fork();
    if (program == 0) {
      ::close_range(3, ~0U, 0);  // the program gets none of our files or sockets
      ::execv(argv[0], argv);
      ::_exit(127);
    }
    ::_exit(program < 0 ? 1 : 0);
  }
  int status = 0;
  while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
