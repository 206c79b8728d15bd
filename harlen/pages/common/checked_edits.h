// Edits that hold an IPv4 address as dotted text, or a port number.
//
// A text that is no address would be stored as all ones, which the NVR's
// sections do not take back (the whole network section fails to read, or the
// address silently reads as 0), and would cut a camera off the network. A port
// outside 1 to 65535 would be stored cut to 16 bits (70000 as 4464), and the
// NVR's own ports and its management hosts' read back only up to 65534. So
// such a text is never stored or sent: the user is told and asked to mend it,
// and what was stored stays.
#pragma once

#include <cstdint>
#include <functional>
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

// The highest port of the NVR's own ports and of its management hosts.
constexpr uint16_t kHighestNvrPort = 65534;

// The first of the edits `ids` that is enabled, was changed by the user and
// holds no port from 1 to `highest`: it gets the message "端口无效(1-%d)，请重新
// 输入!" and the focus, and its id is returned. 0 when there is none. A port
// shown as the NVR gave it is never refused.
int RefuseBadPort(CDialog* dlg, std::initializer_list<int> ids, uint16_t highest = 65535);

// As WatchAddressEdit, for a port from 1 to `highest`: `field` gives the field
// the edit stands for at the time (null: none), so that one edit can serve
// several records. The edit takes digits only.
void WatchPortEdit(QLineEdit* edit, std::function<uint16_t*()> field, uint16_t highest = 65535);
