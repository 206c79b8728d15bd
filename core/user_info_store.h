// "Config\\UserInfo.xml": the local accounts, saved logins and client settings.
#pragma once

// Reads the file into the account lists and the settings globals. 0 when it was
// parsed; -1 when it has no root, or could not be loaded (its default document
// has then been written, so the caller reads once more). A non-zero "mlog"
// switches file logging on in the folder "D:\\<title>-Log".
int LoadUserInfo();

// Writes the settings and the lists into the existing file; without a loadable
// file it logs and writes nothing. Elements it does not own ("mlog",
// "BufferCount", "BufferTick", unknown ones) stay as they are. A user password
// that is not a 32-character digest is stored as its Md5UpperHex digest.
void SaveUserInfo();
