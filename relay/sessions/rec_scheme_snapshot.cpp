#include "relay/sessions/rec_scheme_snapshot.h"

#include "core/app_data.h"

RecSchemeSnapshot::RecSchemeSnapshot() {
  CsLock lock(&g_csAppData);
  for (const RecSchemeInfo* scheme : g_lstRecSchemeInfo) {
    if (!scheme) continue;
    m_lstCopy.push_back(std::make_unique<RecSchemeInfo>(*scheme));
    m_lstView.push_back(m_lstCopy.back().get());
  }
}
