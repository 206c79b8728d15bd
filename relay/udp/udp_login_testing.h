// Test hook of the UDP login. The program never calls it.
#pragma once

// The port UdpLoginPort() gives instead of 6060 (0 restores 6060), so that a
// test's own fake login server on a free port takes the main window's login.
void SetUdpLoginPortForTesting(int port);
