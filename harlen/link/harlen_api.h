// Harlen (libharlen.so): the configuration windows of NVRs, for a host program.
//
// This header is all a host includes. Every function returns 1 when done and 0
// when refused, and is called on the host's GUI thread (a QApplication must
// exist), except HL_OnUpgradeEvent, which may come from any thread.
//
// The host gives the NVR's address and the user logged in to it, shows the
// main configuration window embedded in one of its own widgets
// (HL_ShowConfigByVemo / HL_HideConfigByVemo) or as a window of its own
// (HL_Init, then HL_Harlen), opens the two stand-alone windows, passes the
// events of a firmware upload it carries out for Harlen, picks the English
// texts, and releases everything. Harlen owns every widget it creates and
// never deletes one of the host's; texts are 8-bit (GBK) and at most 259 bytes.
#pragma once

class QWidget;

#define HL_API extern "C" __attribute__((visibility("default")))

// A host may pass any number; the fixed type keeps the ones the library refuses well defined.
enum Language_Code : int { HL_LANGUAGE_ENGLISH = 1 };

// The host's upload of a firmware file to the NVR: op HL_UPGRADE_START asks it
// to upload the file, HL_UPGRADE_CANCEL to stop; userData is HL_Init's.
typedef int (*UpgradeCallback)(const char* firmwarePath, int op, void* userData);
enum { HL_UPGRADE_START = 1, HL_UPGRADE_CANCEL = -101 };
// Events of HL_OnUpgradeEvent: progress (xml: a root element with attributes
// start and filesize, in bytes), finished, failed.
enum { HL_UPGRADE_EVENT_PROGRESS = 54, HL_UPGRADE_EVENT_FINISHED = 14, HL_UPGRADE_EVENT_FAILED = 15 };

// Keeps the user, the NVR's host and port and the upload callback (may be
// null) for the stand-alone windows. 0 when userName or host is null or 260
// bytes or longer.
HL_API int HL_Init(char* userName, char* host, unsigned short port, void* upgradeCallback, void* userData);
// Takes the texts and windows in English (code 1) from Harlen's English
// library, once per process: 0 for any other code, when already loaded or
// when the library is missing.
HL_API int HL_LoadLanguage(Language_Code code);
// Shows the main configuration window inside `parent` and connects it to the
// NVR at host:port (again on every call, to the address given). 0 when
// userName, host or parent is null, or userName or host is 260 bytes or longer.
HL_API int HL_ShowConfigByVemo(char* userName, char* host, unsigned short port, QWidget* parent);
// Closes and destroys the embedded main configuration window; 1 always.
HL_API int HL_HideConfigByVemo();
// The main configuration window as a window of its own; 0 before HL_Init.
HL_API int HL_Harlen();
// The IP channel window and the manual record window; 0 before HL_Init.
HL_API int HL_IpChannelConfig();
HL_API int HL_ManualRecConfig();
// An event of the host's upload: 0 before HL_Init; 1 without a main window;
// else whether the system page took it.
HL_API int HL_OnUpgradeEvent(int event, int reserved, const char* xml, void* reserved2);
// Closes and destroys every window of Harlen; 1 always.
HL_API int HL_Release();
