#include "harlen/pages/network/email_recipients.h"

#include <algorithm>
#include <cstring>

#include "harlen/pages/common/page_text.h"

namespace {
constexpr int kShownAtLeast = 3;
}

std::vector<RecipientRow> RecipientRows(const EmailCfg& cfg) {
  const int count = std::min<int>(cfg.count, kEmailRecipients);
  std::vector<RecipientRow> rows(static_cast<size_t>(std::max(count, kShownAtLeast)));
  for (int i = 0; i < count; ++i) {
    rows[static_cast<size_t>(i)] = {FieldQText(cfg.recipients[i].name), FieldQText(cfg.recipients[i].email)};
  }
  return rows;
}

int StoreRecipientRows(EmailCfg& cfg, const std::vector<RecipientRow>& rows) {
  int stored = 0;
  for (const RecipientRow& row : rows) {
    if (stored == kEmailRecipients) break;
    if (row.name.isEmpty() || row.email.isEmpty()) continue;
    EmailRecipient& entry = cfg.recipients[stored++];
    StoreFieldQText(entry.email, row.email);
    StoreFieldQText(entry.name, row.name);
  }
  for (int i = stored; i < kEmailRecipients; ++i) std::memset(&cfg.recipients[i], 0, sizeof cfg.recipients[i]);
  cfg.count = static_cast<uint8_t>(stored) & 0x0F;
  return stored;
}
