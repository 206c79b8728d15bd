// Moving the whole configuration between the records, the NVR and files:
// save-all, and the import and export files of the system page.
#pragma once

#include <string>
#include <string_view>

#include "harlen/link/sections/nvr_config.h"

class CNVRMCInf;

// Sends every section text of save-all (SaveAllSections) in its order with
// SetConfig; the acknowledgements are not awaited. The number of sections that
// could not be sent (all of them without a link).
int SendAllSections(CNVRMCInf* link, const NvrConfigRecords& records);

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
