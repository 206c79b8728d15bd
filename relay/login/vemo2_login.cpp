#include "relay/login/vemo2_login.h"

#include <arpa/inet.h>
#include <netdb.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/client_log.h"
#include "pelk/pelk.h"
#include "platform/post_message.h"
#include "relay/login/vss_info.h"
#include "relay/login/vss_info_file.h"
#include "relay/relay_messages.h"

std::string CVemo2Login::DottedAddress(const char* address) {
  if (!address || !*address) return {};
  in_addr dotted{};
  if (inet_pton(AF_INET, address, &dotted) == 1) return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* answer = nullptr;
  if (getaddrinfo(address, nullptr, &hints, &answer) != 0 || !answer) return {};
  const auto* first = reinterpret_cast<const sockaddr_in*>(answer->ai_addr);
  const auto* bytes = reinterpret_cast<const unsigned char*>(&first->sin_addr);
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
  freeaddrinfo(answer);
  return text;
}

DWORD CVemo2Login::Run() {
  std::vector<VssServerEntry> servers;
  if (ReadVssInfoFile(&servers)) {
    for (const VssServerEntry& server : servers) {
      if (m_bStop) break;
      const std::string dotted = DottedAddress(server.IPAddr);
      if (dotted.empty()) {
        WriteLog(6, "CVemo2Login::Run(): %s does not resolve, DevName=%s", server.IPAddr, server.DevName);
        continue;
      }
      const LONG handle = Pelk_Login(dotted.c_str(), server.nPort, server.LoginName, server.Password);
      if (handle == 0) {
        WriteLog(6, "CVemo2Login::Run(): login failed, DevName=%s, ip=%s, port=%d", server.DevName, dotted.c_str(),
                 server.nPort);
        continue;
      }
      auto* node = new Vemo2Node();
      node->nLoginHandle = handle;
      node->nPort = server.nPort;
      std::memcpy(node->DevName, server.DevName, sizeof node->DevName);
      std::memcpy(node->IPAddr, server.IPAddr, sizeof node->IPAddr);
      std::memcpy(node->LoginName, server.LoginName, sizeof node->LoginName);
      std::memcpy(node->Password, server.Password, sizeof node->Password);
      WriteLog(6, "CVemo2Login::Run(): login ok, DevName=%s, ip=%s, port=%d", server.DevName, dotted.c_str(),
               server.nPort);
      if (!PostMessage(m_hNotifyWnd, WM_VSS_LOGIN_RESULT, reinterpret_cast<WPARAM>(node), 0)) {
        // Nobody takes the record: the login it stands for ends here.
        Pelk_LoginOut(handle);
        delete node;
      }
    }
  }
  PostMessage(m_hNotifyWnd, WM_VSS_LOGIN_RESULT, 0, 1);
  return 0;
}

void CVemo2Login::Stop() {
  m_bStop = true;
  CThread::Stop();
}
