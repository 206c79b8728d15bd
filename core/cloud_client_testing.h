// Test hook of the cloud client: a shorter wait than the 8 seconds, so a test
// of a silent server does not take that long.
#pragma once

void SetCloudWaitMsForTesting(int ms);  // <= 0 restores 8000
