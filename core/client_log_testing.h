// Test hooks of the client log. The program never calls these.
#pragma once

#include <cstdint>

// Sends the log datagrams to this port of 127.0.0.1 instead of 3000, so tests
// running side by side each listen on a port of their own.
void SetLogDatagramPortForTest(uint16_t port);

// The byte count of the current log file as the log keeps it.
long LogFileSizeForTest();
