#include "settings/record/rec_scheme_channels.h"

#include "core/dev_state_image.h"
#include "core/fixed_text.h"

namespace {

constexpr int kDevTypeDecoder = 2;

bool Matches(const DevInfo& dev, const ChannelKey& key) {
  return FixedTextView(dev.DevName) == key.devName && FixedTextView(dev.DevId) == key.devId;
}

}  // namespace

bool IsRecordableChannel(const DevInfo& dev) {
  if (dev.DevType == kDevTypeDecoder) return false;
  return !(dev.DevType == kDevTypeNvr && dev.CurNVRChannel == 0);
}

ChannelKey KeyOf(const DevInfo& dev) { return ChannelKey{FixedText(dev.DevName), FixedText(dev.DevId)}; }

ChannelItem ItemOf(const DevInfo& dev) {
  ChannelItem item;
  item.key = KeyOf(dev);
  item.text = dev.DevType == kDevTypeNvr ? item.key.devId + "-" + item.key.devName : item.key.devName;
  item.image = DevStateImage(dev);
  return item;
}

std::vector<ChannelItem> RecordableChannelItems(const std::list<DevInfo>& devices) {
  std::vector<ChannelItem> items;
  for (const DevInfo& dev : devices)
    if (IsRecordableChannel(dev)) items.push_back(ItemOf(dev));
  return items;
}

DevInfo* FindChannel(std::list<DevInfo>& devices, const ChannelKey& key) {
  for (DevInfo& dev : devices)
    if (IsRecordableChannel(dev) && Matches(dev, key)) return &dev;
  return nullptr;
}

std::vector<ChannelItem> SchemeChannelItems(const RecSchemeInfo& scheme, const std::list<DevInfo>& devices) {
  std::vector<ChannelItem> items;
  for (const DevInfo& channel : scheme.lstDev) {
    const ChannelKey key = KeyOf(channel);
    for (const DevInfo& dev : devices) {
      if (!IsRecordableChannel(dev) || !Matches(dev, key)) continue;
      items.push_back(ItemOf(dev));
      break;
    }
  }
  return items;
}

std::vector<ChannelItem> ChannelsToAdd(const std::vector<ChannelItem>& ticked,
                                       const std::vector<ChannelKey>& inScheme) {
  std::vector<ChannelItem> added;
  auto named = [](const std::string& name, const auto& keys, auto keyOf) {
    for (const auto& k : keys)
      if (keyOf(k).devName == name) return true;
    return false;
  };
  for (const ChannelItem& item : ticked) {
    if (named(item.key.devName, inScheme, [](const ChannelKey& k) -> const ChannelKey& { return k; })) continue;
    if (named(item.key.devName, added, [](const ChannelItem& i) -> const ChannelKey& { return i.key; })) continue;
    added.push_back(item);
  }
  return added;
}
