#include "harlen/link/main/config_transfer.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <memory>

#include "harlen/link/protocol/nvr_link.h"
#include "harlen/link/protocol/nvr_protocol.h"
#include "harlen/link/protocol/nvr_request.h"
#include "harlen/link/xml/whole_config.h"
#include "platform/file_api.h"
#include "platform/paths.h"

SaveAllSend SendLoadedSections(CNVRMCInf* link, const NvrConfigRecords& records, const NvrLoadedSections& loaded) {
  SaveAllSend send;
  for (const auto& [section, text] : SaveAllSections(records)) {
    if (!loaded.Has(section)) {
      send.notSent.unread.push_back(section);
    } else if (link == nullptr || link->SetConfig(section, text.data(), static_cast<int>(text.size())) != 0) {
      send.notSent.unsent.push_back(section);
    } else {
      send.sent.push_back(section);
    }
  }
  return send;
}

ImportResult ReadImportFile(const std::string& nativePath, std::string& text) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(nativePath.c_str(), "rb"), &std::fclose);
  if (!file) return ImportResult::kUnreadable;
  TiXmlDocument doc;
  if (!doc.LoadFile(file.get(), TIXML_ENCODING_UNKNOWN)) return ImportResult::kUnreadable;
  const TiXmlElement* root = doc.RootElement();
  if (root == nullptr || root->ValueStr() != kWholeConfigRoot) return ImportResult::kUnreadable;
  TiXmlPrinter printer;
  printer.SetIndent("\t");
  doc.Accept(&printer);
  std::string printed = printer.Str();
  if (SetConfigFrameSize(printed.size()) > NVRMC_SEND_BUFFER_SIZE) return ImportResult::kTooLarge;
  text = std::move(printed);
  return ImportResult::kOk;
}

std::string ExportFilePath(const std::string& chosen) {
  static const std::string kExtension = ".xml";
  if (chosen.size() >= kExtension.size()) {
    std::string tail = chosen.substr(chosen.size() - kExtension.size());
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (tail == kExtension) return chosen;
  }
  return chosen + kExtension;
}

bool WriteExportFile(const std::string& nativePath, std::string_view data) {
  return fileapi::WriteWhole(paths::FromNativePath(nativePath), data.data(), data.size());
}
