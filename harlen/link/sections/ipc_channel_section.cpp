// Section 5 (IPCChannelParam) and the camera search reply (4395).
//
//   IPCChannelParam  Channel: chanid, channame, used, ip, port, streammode,
//                    netmode, username, passwd (in this order; chanid first)
//   search reply     the root holds ipcheadinfo elements: serial, username,
//                    password, rtpoverrtsp, videoport, ptzport, webport;
//                    IP, MASK, GW (IPv4 elements), HW, DNS1, DNS2
#include <tinyxml.h>

#include <cstring>
#include <string>

#include "harlen/link/sections/address_elements.h"
#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/field_text.h"
#include "harlen/link/xml/section_xml.h"

int CHarlenLoader::LoadConfIPCChannel(const TiXmlElement* ipcChannelParam, IpcChannelTable& table) {
  TraceSectionBanner("CHarlenLoader::LoadConfIPCChannel");
  ClearRecord(table);
  if (ipcChannelParam == nullptr) return -1;
  unsigned elements = 0;
  for (const TiXmlElement* row = ipcChannelParam->FirstChildElement("Channel"); row != nullptr;
       row = row->NextSiblingElement("Channel")) {
    ++elements;
    // Attributes are read in document order: chanid picks the entry, and
    // what stands before it has no entry to go to.
    IpcChannelEntry* entry = nullptr;
    for (const TiXmlAttribute* a = row->FirstAttribute(); a != nullptr; a = a->Next()) {
      const std::string name = a->Name();
      if (name == "chanid") {
        const int32_t chanid = ParseInt32(a->Value());
        if (chanid < 1 || chanid > kIpcChannels) {
          HarlenTrace("error chanid:%d\n", chanid);
          break;
        }
        entry = &table.entries[chanid - 1];
        entry->chanid = static_cast<uint32_t>(chanid);
      } else if (entry == nullptr) {
        continue;
      } else if (name == "channame") {
        CopyFieldText(entry->channame, a->Value());
      } else if (name == "ip") {
        CopyFieldText(entry->ip, a->Value());
      } else if (name == "username") {
        CopyFieldText(entry->username, a->Value());
      } else if (name == "passwd") {
        CopyFieldText(entry->passwd, a->Value());
      } else if (name == "used") {
        entry->used = static_cast<uint32_t>(ParseInt32(a->Value()));
      } else if (name == "port") {
        entry->port = static_cast<uint16_t>(ParseInt32(a->Value()));
      } else if (name == "streammode") {
        entry->streammode = static_cast<uint8_t>(ParseInt32(a->Value()));
      } else if (name == "netmode") {
        entry->netmode = static_cast<uint8_t>(ParseInt32(a->Value()));
      }
    }
  }
  // Skipped elements count too, but never past the table's 16 entries.
  table.count = Capped(elements, kIpcChannels);
  if (elements > kIpcChannels) TraceRowsIgnored(kIpcChannels);
  HarlenTrace("ipc channels %u", table.count);
  return 0;
}

int CHarlenLoader::LoadFindroHeadInfo(const TiXmlElement* ipcheadinfo, IpcHeadInfo& info) {
  TraceElementBanner("CHarlenLoader::LoadFindroHeadInfo");
  ClearRecord(info);
  AttrText(ipcheadinfo, "serial", info.serial);
  AttrText(ipcheadinfo, "username", info.username);
  AttrText(ipcheadinfo, "password", info.password);
  info.rtpoverrtsp = static_cast<uint16_t>(AttrInt(ipcheadinfo, "rtpoverrtsp"));
  info.videoport = static_cast<uint16_t>(AttrInt(ipcheadinfo, "videoport"));
  info.ptzport = static_cast<uint16_t>(AttrInt(ipcheadinfo, "ptzport"));
  info.webport = static_cast<uint16_t>(AttrInt(ipcheadinfo, "webport"));
  if (LoadHostAddresses(ipcheadinfo, info.ip, info.mask, info.gateway, info.mac) != 0 ||
      LoadLenientIpv4Child(ipcheadinfo, "DNS1", info.dns1) != 0 ||
      LoadLenientIpv4Child(ipcheadinfo, "DNS2", info.dns2) != 0) {
    return -1;
  }
  HarlenTrace("serial %s username %s videoport %u ptzport %u webport %u", info.serial, info.username, info.videoport,
              info.ptzport, info.webport);
  return 0;
}

int CHarlenLoader::LoadAllFindroHeadInfo(const TiXmlElement* root, IpcSearchList& list) {
  TraceSectionBanner("CHarlenLoader::LoadAllFindroHeadInfo");
  ClearRecord(list);
  if (root == nullptr) return -1;
  list.count = ForEachRow(
      root, "ipcheadinfo", kIpcSearchResults,
      [&](const TiXmlElement* row, unsigned taken) {
        if (LoadFindroHeadInfo(row, list.cameras[taken]) == 0) return Row::kTaken;
        HarlenTrace("load index %u ipc head info failed.", taken);
        ClearRecord(list.cameras[taken]);
        return Row::kStop;  // the first camera that does not read ends the list
      },
      "Configured ipc rows > %u, egnored.");
  return 0;
}

TiXmlElement* CHarlenGenXMLNode::GenIPCChannel(const IpcChannelTable& table) {
  auto* root = new TiXmlElement("IPCChannelParam");
  for (unsigned i = 0; i < Capped(table.count, kIpcChannels); ++i) {
    const IpcChannelEntry& entry = table.entries[i];
    TiXmlElement* row = AddChild(root, "Channel");
    SetAttrUint(row, "chanid", entry.chanid);
    SetAttrText(row, "channame", entry.channame);
    SetAttrUint(row, "used", entry.used);
    SetAttrText(row, "ip", entry.ip);
    row->SetAttribute("port", entry.port);
    row->SetAttribute("streammode", entry.streammode);
    row->SetAttribute("netmode", entry.netmode);
    SetAttrText(row, "username", entry.username);
    SetAttrText(row, "passwd", entry.passwd);
  }
  return root;
}

int CHarlenSaveString::SaveConfIPCChannel(const IpcChannelTable& table, std::string& text) {
  text = PrintSectionText(GenIPCChannel(table));
  return 0;
}
