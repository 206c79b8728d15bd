// Test hooks of the UDP login. The program never calls them.
#pragma once

// The port UdpLoginPort() gives instead of 6060 (0 restores 6060), so that a
// test's own fake login server on a free port takes the main window's login.
void SetUdpLoginPortForTesting(int port);

// The port CloudDevicePort() gives instead of 80 (0 restores 80), for a test's
// own fake cloud service.
void SetCloudDevicePortForTesting(int port);
