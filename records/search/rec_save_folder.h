// Where the downloads of the page's device go: "D:\Record\<DevId>\Remotion\",
// or, when a record scheme records the device (by DevName), its first storage
// path: "<path>\Record\<device folder>\Remotion\" (the last matching scheme
// wins; a scheme without a storage path changes nothing).
#pragma once

#include <list>
#include <string>

struct DevInfo;
struct RecSchemeInfo;

std::string RecSaveFolder(const DevInfo& dev, const std::list<RecSchemeInfo*>& schemes);

// Where the downloads of a relay channel go: "D:\Record\VSS\<server>\<device>\",
// or under the first storage path of the last scheme that has one:
// "<path>\Record\VSS\<server>\<device>\".
std::string RelaySaveFolder(const std::string& serverName, const std::string& devName,
                            const std::list<RecSchemeInfo*>& schemes);

// Creates the folder and its missing parents (a drive letter is never made,
// only found); true when it exists afterwards.
bool CreateSaveFolder(const std::string& folder);
