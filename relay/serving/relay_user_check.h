// The check of a peer that logs in to this client's forwarding server
// (WM_RELAY_CHECK_USER): the cascade below this client must not be too deep,
// and the peer must use this client's current user name (any letter case) and
// prove that it knows the current password digest.
#pragma once

#include <list>

#include "pelk/pelk.h"

struct Vemo2Node;

// True when a relay server's device list nests relay nodes too deep to be
// served on: a counter starts at 1 per server, grows by one on every level
// walked and never shrinks; at 3 the cascade is too deep. A relay node at a
// list's top level is therefore already too deep.
bool RelayCascadeTooDeep(const std::list<Vemo2Node>& servers);

// 0 accepts, 1 refuses. Compares with g_szCurUser and g_szCurPassword; reads
// g_lstVssInfo.
LRESULT CheckRelayUser(const char* userName, const PelkPasswordVerifier* verifier);
