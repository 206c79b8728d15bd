// The channels of the record-scheme page's two trees, named by key.
//
// A tree item keeps the channel's names (DevName and DevId), never a pointer
// into g_lstDevInfo: the device editor and the login-server notices change that
// list, so an item looks its record up again whenever it is used, and a channel
// removed meanwhile is simply not found.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "core/rec_scheme.h"

struct ChannelKey {
  std::string devName;  // DevName: the channel's display name
  std::string devId;    // DevId: for NVR channels the NVR's name
  bool operator==(const ChannelKey&) const = default;
};

// One channel item: its key, its text ("%s-%s" of DevId and DevName for NVR
// channels, the DevName otherwise) and its state image.
struct ChannelItem {
  ChannelKey key;
  std::string text;  // ANSI
  int image = 0;
};

// Decoders and an NVR's own record record nothing.
bool IsRecordableChannel(const DevInfo& dev);

ChannelKey KeyOf(const DevInfo& dev);
ChannelItem ItemOf(const DevInfo& dev);

// Every recordable channel of the list, in list order.
std::vector<ChannelItem> RecordableChannelItems(const std::list<DevInfo>& devices);

// The first recordable record with the key's names; null when none is left.
DevInfo* FindChannel(std::list<DevInfo>& devices, const ChannelKey& key);

// The items of a scheme's channels that still have a record, in the scheme's
// order (each item shows the record's present state).
std::vector<ChannelItem> SchemeChannelItems(const RecSchemeInfo& scheme, const std::list<DevInfo>& devices);

// The channel items that Add (of the page's tree buttons) appends to the
// scheme tree: the ticked items in tree order whose channel name is neither in
// the scheme tree nor among those taken before.
std::vector<ChannelItem> ChannelsToAdd(const std::vector<ChannelItem>& ticked,
                                       const std::vector<ChannelKey>& inScheme);
