// Moving the whole configuration between the records, the NVR and files:
// save-all, and the import and export files of the system page.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "harlen/link/main/save_acks.h"
#include "harlen/link/sections/nvr_config.h"

class CNVRMCInf;

// The sections of one save-all as they went out.
struct SaveAllSend {
  std::vector<int> sent;  // in the order sent
  SaveOutcome notSent;    // unsent (no link, or the send failed) and unread
};

// Sends the section texts of save-all (SaveAllSections) in its order with
// SetConfig, each only when its record was loaded from the NVR; every section
// goes out even when an earlier one failed.
SaveAllSend SendLoadedSections(CNVRMCInf* link, const NvrConfigRecords& records, const NvrLoadedSections& loaded);

enum class ImportResult {
  kOk,
  kUnreadable,  // the file does not load as XML, or its root element is not nvr
  kTooLarge,    // the text does not fit in one request frame
};

// Loads a configuration file (native path) and prints it as the text that a
// SetConfig of section 0 carries: tab-indented, as TinyXML prints it.
ImportResult ReadImportFile(const std::string& nativePath, std::string& text);

// The file an export writes for the path the user chose: ".xml" is added
// unless the name already ends in it (in any case).
std::string ExportFilePath(const std::string& chosen);

// Writes the configuration text unchanged (no terminator) into the file; a
// crash mid-write leaves the old file whole. False when it could not be written.
bool WriteExportFile(const std::string& nativePath, std::string_view data);
