// Edits that hold an IPv4 address as dotted text.
//
// A text that is no address would be stored as all ones, which the NVR's
// sections do not take back (the whole network section fails to read, or the
// address silently reads as 0), and would cut a camera off the network. So a
// text that is no address is never stored or sent: the user is told and asked
// to mend it, and what was stored stays.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "platform/wnd.h"

class CDialog;
class QLineEdit;

// The first of the edits `ids` that is enabled and holds no address: it gets
// the message "IP地址无效，请重新输入!" and the focus with its text selected,
// and its id is returned. 0 when every enabled edit holds an address.
int RefuseBadAddress(CDialog* dlg, std::initializer_list<int> ids);

// Keeps `*field` in step with an edit the user types an address into: each
// edit that makes an address stores it; when editing ends (focus leaves,
// Enter) on a text that is none, the edit shows the stored address again and
// the user gets the message.
void WatchAddressEdit(QLineEdit* edit, uint32_t* field);
