#include "harlen/link/main/window_link.h"

#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_strings.h"
#include "harlen/link/main/nvr_reply_relay.h"
#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "platform/dialog.h"

WindowLink::WindowLink(CDialog* window) : m_pWindow(window) {}

WindowLink::~WindowLink() { Drop(); }

bool WindowLink::Connect(const char* host, uint16_t port, int section) {
  if (m_pLink == nullptr) {
    m_pLink = new CNVRMCInf;
    m_pRelay = std::make_unique<NvrReplyRelay>(m_pWindow->GetSafeHwnd(), ++m_nGeneration);
  }
  m_pLink->Init();
  if (!m_pLink->HasSendBuffer()) m_pLink->GiveSendBuffer(NVRMC_SEND_BUFFER_SIZE);
  if (m_pLink->Connect(host, port) != 0) {
    HarlenMessage(m_pWindow, IDS_MSG_CONNECT_FAILED);
    return false;
  }
  if (!m_pLink->HasReplyCallback()) m_pLink->SetReplyCallback(&NvrReplyRelay::Callback, m_pRelay.get());
  m_pLink->GetConfig(section);
  return true;
}

void WindowLink::Drop() {
  delete m_pLink;  // stops the receive thread: no callback runs afterwards
  m_pLink = nullptr;
  m_pRelay.reset();  // replies still queued carry the old generation and are dropped
}

const NvrReply* WindowLink::CurrentReply(WPARAM wParam, LPARAM lParam) const {
  if (m_pRelay == nullptr || wParam != m_pRelay->Generation()) return nullptr;
  const auto* reply = reinterpret_cast<const NvrReply*>(lParam);
  return reply->status == 0 ? reply : nullptr;
}
