// Clearing the system's ARP cache, which the main window does once a minute so
// that a camera that changed its address is found again. Only a process with
// the network administration capability may; otherwise the clearing is
// skipped, and the start says so once in the log.
#pragma once

// True when this process may clear the neighbour table.
bool MayClearArpCache();

// Clears the neighbour table in the background ("ip neigh flush all"); does
// nothing when the process may not.
void ClearArpCache();
