// The settings Vemo keeps in the registry rather than in its XML files: the
// interface language, the autostart entry and the installer number.
// Every reader opens, works and closes its own key; every failure is silent and
// leaves the setting as it was.
#pragma once

// 0 Simplified Chinese (default), 1 English, 2 Traditional Chinese, 3 Russian, 5 Turkish.
extern int g_nLanguage;
// The installer's "Number" in upper case; when not empty, device passwords are
// stored and sent as their Md5UpperHex digests.
extern char g_szInstallNumber[256];
// 1 when the autostart entry exists and is not empty.
extern int g_bAutoRun;

// The program file that the autostart entry starts, in the program folder.
constexpr const char* kVemoProgramFile = "vemo";

// Reads "Number" of the installer key, upper-cased, into `out` (256 bytes) only
// when the read succeeds.
void ReadInstallNumber(char* out);
// Sets g_nLanguage from "Language" of the product's uninstall key.
void ReadLanguage();
// A non-empty "Vemo" value of the Run key sets g_bAutoRun and g_bAutoLogin; an
// empty or missing value clears g_bAutoRun; a missing key changes nothing.
void CheckAutoRun();
// Writes "Vemo" = <program folder>vemo into the Run key (created when missing)
// and, beside it, the desktop's autostart entry.
void SetAutoRun();
// Deletes the "Vemo" value of the Run key and the desktop's autostart entry.
void DeleteAutoRun();
