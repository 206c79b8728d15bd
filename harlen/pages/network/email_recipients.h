// The recipient rows of the e-mail record as the contacts window shows and
// stores them.
#pragma once

#include <QString>
#include <vector>

#include "harlen/link/sections/network_cfg.h"

struct RecipientRow {
  QString name;
  QString email;
};

// The rows the contacts window shows: every stored recipient (the count is
// taken as at most ten) and empty rows up to at least three.
std::vector<RecipientRow> RecipientRows(const EmailCfg& cfg);

// Stores every row with both a name and an address, in order from the first
// entry (name cut to 15 bytes, address to 31), clears the entries after them
// and sets the count; the other half of the count's byte is kept. At most ten
// rows are stored. Returns the count.
int StoreRecipientRows(EmailCfg& cfg, const std::vector<RecipientRow>& rows);
