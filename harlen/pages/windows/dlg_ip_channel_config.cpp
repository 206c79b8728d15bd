#include "harlen/pages/windows/dlg_ip_channel_config.h"

#include "harlen/link/xml/field_text.h"

void CDlgIpChannelConfig::ConnectNvr() {}

void CDlgIpChannelConfig::SetNvrAddress(const char* host, uint16_t port) {
  CopyFieldText(m_szHost, host != nullptr ? host : "");
  m_nPort = port;
}
