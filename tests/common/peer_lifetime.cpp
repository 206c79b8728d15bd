#include "common/peer_lifetime.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <QProcess>
#include <csignal>

void DieWithParentInChild(pid_t parent) {
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(1);  // the parent ended before the line above took effect
}

void DieWithParent(QProcess& process) {
  process.setChildProcessModifier([parent = getpid()] { DieWithParentInChild(parent); });
}
