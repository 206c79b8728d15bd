// The rules of the users page on the users record: who may be touched, adding
// and deleting entries, the right string, and the online users' login time.
#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

#include "harlen/link/sections/user_cfg.h"

constexpr int kRightCount = 13;        // the positions of the right string the rights window edits
constexpr const char* kAdminName = "admin";

enum class UserAction { kRights, kDelete, kModify };

// Whether `action` may be taken on the user named `name` while logged in as
// `login`: never on oneself; "admin" may not be deleted. Names are compared exactly.
bool MayActOn(UserAction action, std::string_view name, std::string_view login);

// The index of the entry named `name`, or -1.
int FindUser(const UserCfg& cfg, std::string_view name);

// Appends a user with no rights (the slot is cleared first, so nothing of an
// earlier occupant remains). False when the record is full.
bool AddUser(UserCfg& cfg, const QString& name, const QString& password, uint32_t ip, uint32_t type);

// Removes entry `row`: later entries move up one place, the freed last slot is
// cleared and the count drops. False for a row outside the count.
bool DeleteUser(UserCfg& cfg, int row);

// Right position `position` (0 to 12) of a user: its character is '1'.
bool HasRight(const NvrUser& user, int position);
void SetRight(NvrUser& user, int position, bool on);

// "%d-%d-%d %d:%d:%d" of a login time (seconds since 1970, UTC).
QString LoginTimeText(int64_t seconds);
