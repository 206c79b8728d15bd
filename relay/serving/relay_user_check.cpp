#include "relay/serving/relay_user_check.h"

#include <QByteArray>

#include "core/client_log.h"
#include "core/user_info.h"
#include "relay/login/vss_info.h"

namespace {

QByteArray Folded(const char* text) { return QByteArray(text ? text : "").toUpper(); }

// The walk of one server's list from a parent id; true when too deep.
bool WalkTooDeep(const std::list<RelayDevice>& list, int parentId, int* counter) {
  ++*counter;
  if (*counter >= 3) return true;
  for (const RelayDevice& device : list) {
    if (device.nType == kRelayKindNode && device.nParentId == parentId && WalkTooDeep(list, device.nId, counter)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool RelayCascadeTooDeep(const std::list<Vemo2Node>& servers) {
  for (const Vemo2Node& server : servers) {
    if (!server.bHasDeviceList) continue;
    int counter = 1;
    if (WalkTooDeep(server.lstRelayDevice, 0, &counter)) return true;
  }
  return false;
}

LRESULT CheckRelayUser(const char* userName, const PelkPasswordVerifier* verifier) {
  if (RelayCascadeTooDeep(g_lstVssInfo)) {
    WriteLog(6, "CVistarelDlg::OnRelayCheckUser(): refused, the relay cascade is too deep. user=%s",
             userName ? userName : "");
    return 1;
  }
  const bool sameUser = Folded(userName) == Folded(g_szCurUser);
  // The password digest is compared without regard to letter case, inside the proof.
  const bool samePassword = Pelk_CheckPassword(verifier, Folded(g_szCurPassword).constData()) != FALSE;
  if (sameUser && samePassword) return 0;
  WriteLog(6, "CVistarelDlg::OnRelayCheckUser(): refused, user=%s", userName ? userName : "");
  return 1;
}
