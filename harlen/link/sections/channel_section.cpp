// Section 6 (channelcfg) and section 18 (RecordDriven): loaders and builders.
//
//   channelcfg
//     displaycfg   channeldetail: id, name1enable, name1, name2enable, name2,
//                  timedisplay, brightness, contrast, saturation, chroma
//     videocfg     channeldetail: id; mainstream and auxstream with resolution,
//                  coderatetype, quality, framerate, coderatemaxtype, coderatemax
//     RecordConfig
//       RecordDriven   Channel: no, mode (always all 16 channels)
//       RecordParam    row; Config: channel, enable, stream, cachseconds,
//                      lastseconds, expiredays, audioenable
//       RecordScheme   row; Config: enable, sched
//       PictureParam   row; Config: enable, stream, quality, interval
//       PictureScheme  row; Config: enable, sched
#include <tinyxml.h>

#include <string>

#include "harlen/link/sections/harlen_loader.h"
#include "harlen/link/sections/harlen_save_string.h"
#include "harlen/link/sections/section_rules.h"
#include "harlen/link/xml/section_xml.h"

namespace {

constexpr uint16_t kMainCoderateMax = 23;
constexpr uint16_t kAuxCoderateMax = 7;

void LoadStream(const TiXmlElement* e, ChannelStream& stream, uint16_t defaultMax) {
  const int32_t resolution = AttrInt(e, "resolution");
  if (resolution < 0 || resolution > 18) HarlenTrace("resolution %d error.", resolution);
  stream.resolution = static_cast<uint8_t>(InRange(resolution, 0, 18, 0));
  stream.coderatetype = static_cast<uint8_t>(InRange(AttrInt(e, "coderatetype"), 0, 1, 1));
  stream.quality = static_cast<uint8_t>(InRange(AttrInt(e, "quality"), 0, 5, 3));
  stream.framerate = static_cast<uint8_t>(InRange(AttrInt(e, "framerate", 0), 1, 100, 25));
  stream.coderatemaxtype = static_cast<uint8_t>(InRange(AttrInt(e, "coderatemaxtype"), 0, 1, 0));
  const int32_t max = AttrInt(e, "coderatemax");
  if (stream.coderatemaxtype == 1) {  // self defined
    if (max < 1 || max > 16384) HarlenTrace("self define coderatemax error, set to %d.", defaultMax);
    stream.coderatemax = static_cast<uint16_t>(InRange(max, 1, 16384, defaultMax));
  } else {
    if (max < 1 || max > 25) HarlenTrace("general coderatemax error, set to %d.", defaultMax);
    stream.coderatemax = static_cast<uint16_t>(InRange(max, 1, 25, defaultMax));
  }
}

TiXmlElement* GenStream(const char* name, const ChannelStream& stream) {
  auto* e = new TiXmlElement(name);
  e->SetAttribute("resolution", stream.resolution);
  e->SetAttribute("coderatetype", stream.coderatetype);
  e->SetAttribute("quality", stream.quality);
  e->SetAttribute("framerate", stream.framerate);
  e->SetAttribute("coderatemaxtype", stream.coderatemaxtype);
  e->SetAttribute("coderatemax", stream.coderatemax);
  return e;
}

void TraceRowCount(unsigned announced, unsigned taken) {
  if (announced != taken) HarlenTrace("configure num %u not equal to %u in fact..", announced, taken);
}

// The element that ends a RecordConfig load when it is missing.
const TiXmlElement* RequiredChild(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* child = parent->FirstChildElement(name);
  if (child == nullptr) HarlenTrace("%s element not found. return.", name);
  return child;
}

}  // namespace

int CHarlenLoader::LoadChannelCfg(const TiXmlElement* channelcfg, ChannelCfg& cfg) {
  TraceSectionBanner("CHarlenLoader::LoadChannelCfg");
  ClearRecord(cfg);
  if (channelcfg == nullptr) return -1;
  if (const TiXmlElement* e = channelcfg->FirstChildElement("displaycfg"); e != nullptr && LoadDisplayCfg(e, cfg) != 0) {
    HarlenTrace("xml load display cfg error\n");
    return -1;
  }
  if (const TiXmlElement* e = channelcfg->FirstChildElement("videocfg"); e != nullptr && LoadVideoCfg(e, cfg) != 0) {
    HarlenTrace("xml load video cfg error\n");
    return -1;
  }
  if (const TiXmlElement* e = channelcfg->FirstChildElement("RecordConfig");
      e != nullptr && LoadRecordConfig(e, cfg) != 0) {
    HarlenTrace("xml load record cfg error\n");
    return -1;
  }
  HarlenTrace("display %u, video %u, recorddriven %u, recordparam %u, pictureparam %u, recordscheme %u, pictureschem %u",
              cfg.displayCount, cfg.videoCount, cfg.recordDriven.count, cfg.recordParam.count, cfg.pictureParam.count,
              cfg.recordScheme.count, cfg.pictureScheme.count);
  return 0;
}

int CHarlenLoader::LoadDisplayCfg(const TiXmlElement* displaycfg, ChannelCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadDisplayCfg");
  cfg.displayCount = ForEachRow(displaycfg, "channeldetail", kNvrChannels, [&](const TiXmlElement* row, unsigned) {
    const int32_t id = AttrInt(row, "id");
    if (id < 1 || id > kNvrChannels) {
      HarlenTrace("id %d error.", id);
      return Row::kSkipped;
    }
    ChannelDisplay& d = cfg.display[id - 1];
    ClearRecord(d);
    d.id = static_cast<uint8_t>(id);
    d.loaded = 1;
    d.name1enable = AsFlag(AttrInt(row, "name1enable"));
    d.name2enable = AsFlag(AttrInt(row, "name2enable"));
    AttrText(row, "name1", d.name1);
    AttrText(row, "name2", d.name2);
    d.timedisplay = AsFlag(AttrInt(row, "timedisplay"));
    d.brightness = static_cast<uint8_t>(InRange(AttrInt(row, "brightness", 128), 0, 255, 128));
    d.contrast = static_cast<uint8_t>(InRange(AttrInt(row, "contrast", 128), 0, 255, 128));
    d.saturation = static_cast<uint8_t>(InRange(AttrInt(row, "saturation", 128), 0, 255, 128));
    d.chroma = static_cast<uint8_t>(InRange(AttrInt(row, "chroma", 128), 0, 255, 128));
    return Row::kTaken;
  });
  return 0;
}

int CHarlenLoader::LoadVideoCfg(const TiXmlElement* videocfg, ChannelCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadVideoCfg");
  cfg.videoCount = ForEachRow(videocfg, "channeldetail", kNvrChannels, [&](const TiXmlElement* row, unsigned) {
    const int32_t id = AttrInt(row, "id");
    if (id < 1 || id > kNvrChannels) {
      HarlenTrace("id %d error.", id);
      return Row::kSkipped;
    }
    const TiXmlElement* mainstream = row->FirstChildElement("mainstream");
    if (mainstream == nullptr) {
      HarlenTrace("main stream param element not found.");
      return Row::kSkipped;
    }
    const TiXmlElement* auxstream = row->FirstChildElement("auxstream");
    if (auxstream == nullptr) {
      HarlenTrace("load aux stream param failed.");
      return Row::kSkipped;
    }
    ChannelVideo& v = cfg.video[id - 1];
    ClearRecord(v);
    v.id = static_cast<uint8_t>(id);
    v.loaded = 1;
    LoadStream(mainstream, v.mainstream, kMainCoderateMax);
    LoadStream(auxstream, v.auxstream, kAuxCoderateMax);
    return Row::kTaken;
  });
  return 0;
}

int CHarlenLoader::LoadRecordConfig(const TiXmlElement* recordConfig, ChannelCfg& cfg) {
  TraceElementBanner("CHarlenLoader::LoadRecordConfig");
  const TiXmlElement* e = RequiredChild(recordConfig, "RecordDriven");
  if (e == nullptr) return -1;
  LoadRecordDriven(e, cfg.recordDriven);
  if ((e = RequiredChild(recordConfig, "RecordParam")) == nullptr) return -1;
  LoadRecordParam(e, cfg.recordParam);
  if ((e = RequiredChild(recordConfig, "PictureParam")) == nullptr) return -1;
  LoadPictureParam(e, cfg.pictureParam);
  if ((e = RequiredChild(recordConfig, "RecordScheme")) == nullptr) return -1;
  LoadSchedList(e, cfg.recordScheme);
  if ((e = RequiredChild(recordConfig, "PictureScheme")) == nullptr) return -1;
  LoadSchedList(e, cfg.pictureScheme);
  return 0;
}

int CHarlenLoader::LoadRecordDriven(const TiXmlElement* recordDriven, RecordDrivenList& list) {
  TraceElementBanner("CHarlenLoader::LoadRecordDriven");
  ClearRecord(list);
  if (recordDriven == nullptr) return -1;
  list.count = ForEachRow(recordDriven, "Channel", kNvrChannels, [&](const TiXmlElement* row, unsigned) {
    const int32_t no = AttrInt(row, "no");
    if (no < 1 || no > kNvrChannels) {
      HarlenTrace("stream %d error.", no);
      return Row::kSkipped;
    }
    list.entries[no - 1].used = 1;  // a repeated channel overwrites
    list.entries[no - 1].mode = static_cast<uint32_t>(InRange(AttrInt(row, "mode"), 0, 3, 0));
    return Row::kTaken;
  });
  HarlenTrace("record driven rows %u", list.count);
  return 0;
}

int CHarlenLoader::LoadRecordParam(const TiXmlElement* recordParam, RecordParamList& list) {
  TraceElementBanner("CHarlenLoader::LoadRecordParam");
  ClearRecord(list);
  list.count = ForEachRow(recordParam, "Config", kNvrChannels, [&](const TiXmlElement* row, unsigned taken) {
    const int32_t channel = AttrInt(row, "channel");
    if (channel < 1 || channel > kNvrChannels) {
      HarlenTrace("channel %d error.", channel);
      return Row::kSkipped;
    }
    if (channel != static_cast<int32_t>(taken) + 1) {  // rows come in channel order
      HarlenTrace("index %u's channelid %d error.", taken, channel);
      return Row::kStop;
    }
    const int32_t stream = AttrInt(row, "stream");
    if (stream != 0 && stream != 1) {
      HarlenTrace("stream %d error.", stream);
      return Row::kSkipped;
    }
    RecordParamEntry& p = list.entries[taken];
    p.enable = AttrInt(row, "enable") > 0 ? 1 : 0;
    p.stream = static_cast<uint16_t>(stream);
    const int32_t cach = AttrInt(row, "cachseconds");
    p.cachseconds = static_cast<uint16_t>(InRange(cach, 0, 9, 10));
    if (cach != p.cachseconds) HarlenTrace("cachseconds %d error, set to %u", cach, p.cachseconds);
    const int32_t last = AttrInt(row, "lastseconds");
    p.lastseconds = static_cast<uint16_t>(InRange(last, 5, 3599, 5));
    if (last != p.lastseconds) HarlenTrace("lastseconds %d error, set to %u", last, p.lastseconds);
    const int32_t expire = AttrInt(row, "expiredays");
    p.expiredays = static_cast<uint16_t>(expire >= 0 ? expire : 0);
    p.audioenable = static_cast<uint16_t>(InRange(AttrInt(row, "audioenable"), 0, 1, 0));
    return Row::kTaken;
  });
  TraceRowCount(static_cast<uint32_t>(AttrInt(recordParam, "row")), list.count);
  return 0;
}

int CHarlenLoader::LoadPictureParam(const TiXmlElement* pictureParam, PictureParamList& list) {
  TraceElementBanner("CHarlenLoader::LoadPictureParam");
  ClearRecord(list);
  list.count = ForEachRow(pictureParam, "Config", kNvrChannels, [&](const TiXmlElement* row, unsigned taken) {
    const int32_t stream = AttrInt(row, "stream");
    if (stream != 0 && stream != 1) {
      HarlenTrace("stream %d error.", stream);
      return Row::kSkipped;
    }
    PictureParamEntry& p = list.entries[taken];
    p.enable = AsFlag(AttrInt(row, "enable"));
    p.stream = static_cast<uint16_t>(stream);
    p.quality = static_cast<uint16_t>(InRange(AttrInt(row, "quality"), 0, 5, 3));
    p.interval = static_cast<uint16_t>(AttrInt(row, "interval"));
    return Row::kTaken;
  });
  TraceRowCount(static_cast<uint32_t>(AttrInt(pictureParam, "row")), list.count);
  return 0;
}

int CHarlenLoader::LoadSchedList(const TiXmlElement* scheme, SchedList& list) {
  TraceElementBanner("CHarlenLoader::LoadSchedList");
  ClearRecord(list);
  list.count = ForEachRow(scheme, "Config", kNvrChannels, [&](const TiXmlElement* row, unsigned taken) {
    LoadSchedAttrs(row, list.tables[taken]);
    return Row::kTaken;
  });
  TraceRowCount(static_cast<uint32_t>(AttrInt(scheme, "row")), list.count);
  return 0;
}

// ---- builders

TiXmlElement* CHarlenGenXMLNode::GenRecordDriven(const RecordDrivenList& list) {
  auto* root = new TiXmlElement("RecordDriven");
  for (int i = 0; i < kNvrChannels; ++i) {  // every channel, whatever the count
    TiXmlElement* row = AddChild(root, "Channel");
    row->SetAttribute("no", i + 1);
    SetAttrUint(row, "mode", list.entries[i].mode);
  }
  return root;
}

namespace {

TiXmlElement* GenSchedList(const char* name, const SchedList& list) {
  auto* e = new TiXmlElement(name);
  SetAttrUint(e, "row", list.count);
  for (unsigned i = 0; i < Capped(list.count, kNvrChannels); ++i) SetSchedAttrs(AddChild(e, "Config"), list.tables[i]);
  return e;
}

TiXmlElement* GenRecordParam(const RecordParamList& list) {
  auto* e = new TiXmlElement("RecordParam");
  SetAttrUint(e, "row", list.count);
  for (unsigned i = 0; i < Capped(list.count, kNvrChannels); ++i) {
    const RecordParamEntry& p = list.entries[i];
    TiXmlElement* row = AddChild(e, "Config");
    row->SetAttribute("channel", static_cast<int>(i) + 1);
    row->SetAttribute("enable", p.enable);
    row->SetAttribute("stream", p.stream);
    row->SetAttribute("cachseconds", p.cachseconds);
    row->SetAttribute("lastseconds", p.lastseconds);
    row->SetAttribute("expiredays", p.expiredays);
    row->SetAttribute("audioenable", p.audioenable);
  }
  return e;
}

TiXmlElement* GenPictureParam(const PictureParamList& list) {
  auto* e = new TiXmlElement("PictureParam");
  SetAttrUint(e, "row", list.count);
  for (unsigned i = 0; i < Capped(list.count, kNvrChannels); ++i) {
    const PictureParamEntry& p = list.entries[i];
    TiXmlElement* row = AddChild(e, "Config");
    row->SetAttribute("enable", p.enable);
    row->SetAttribute("stream", p.stream);
    row->SetAttribute("quality", p.quality);
    row->SetAttribute("interval", p.interval);
  }
  return e;
}

}  // namespace

TiXmlElement* CHarlenGenXMLNode::GenChannelCfg(const ChannelCfg& cfg) {
  auto* root = new TiXmlElement("channelcfg");
  TiXmlElement* display = AddChild(root, "displaycfg");
  for (unsigned i = 0; i < Capped(cfg.displayCount, kNvrChannels); ++i) {
    const ChannelDisplay& d = cfg.display[i];
    if (!d.loaded) continue;
    TiXmlElement* row = AddChild(display, "channeldetail");
    row->SetAttribute("id", d.id);
    row->SetAttribute("name1enable", d.name1enable);
    SetAttrText(row, "name1", d.name1);
    row->SetAttribute("name2enable", d.name2enable);
    SetAttrText(row, "name2", d.name2);
    row->SetAttribute("timedisplay", d.timedisplay);
    row->SetAttribute("brightness", d.brightness);
    row->SetAttribute("contrast", d.contrast);
    row->SetAttribute("saturation", d.saturation);
    row->SetAttribute("chroma", d.chroma);
  }
  TiXmlElement* video = AddChild(root, "videocfg");
  for (unsigned i = 0; i < Capped(cfg.videoCount, kNvrChannels); ++i) {
    const ChannelVideo& v = cfg.video[i];
    if (!v.loaded) continue;
    TiXmlElement* row = AddChild(video, "channeldetail");
    row->SetAttribute("id", v.id);
    AddChild(row, GenStream("mainstream", v.mainstream));
    AddChild(row, GenStream("auxstream", v.auxstream));
  }
  TiXmlElement* record = AddChild(root, "RecordConfig");
  AddChild(record, GenRecordDriven(cfg.recordDriven));
  AddChild(record, GenRecordParam(cfg.recordParam));
  AddChild(record, GenSchedList("RecordScheme", cfg.recordScheme));
  AddChild(record, GenPictureParam(cfg.pictureParam));
  AddChild(record, GenSchedList("PictureScheme", cfg.pictureScheme));
  return root;
}

int CHarlenSaveString::SaveConfChannel(const ChannelCfg& cfg, std::string& text) {
  text = PrintSectionText(GenChannelCfg(cfg));
  return 0;
}

int CHarlenSaveString::SaveConfRecordDriven(const RecordDrivenList& list, std::string& text) {
  text = PrintSectionText(GenRecordDriven(list));
  return 0;
}
