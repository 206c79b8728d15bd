// A copy of the record schemes taken under g_csAppData, for work that reads
// them on another thread for a while (a served day replay's day search): the
// copy is read without any lock while the UI thread changes the real list.
#pragma once

#include <list>
#include <memory>

#include "core/rec_scheme.h"

class RecSchemeSnapshot {
 public:
  // Copies g_lstRecSchemeInfo under g_csAppData.
  RecSchemeSnapshot();
  const std::list<RecSchemeInfo*>& Schemes() const { return m_lstView; }

 private:
  std::list<std::unique_ptr<RecSchemeInfo>> m_lstCopy;
  std::list<RecSchemeInfo*> m_lstView;
};
