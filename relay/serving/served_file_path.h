// Which local files a peer may read: only record files (".avi") inside the
// "Record" tree of a record scheme's storage path. A peer names a file by the
// path text a search gave it; whatever else it names ("/etc/passwd", a path
// with "..", a link that leads out of the tree) is refused.
#pragma once

#include <list>
#include <string>

struct RecSchemeInfo;

// The file of `peerPath` (ANSI, the program's Windows form) when it is a
// regular ".avi" file whose real path (every link followed) lies inside the
// real "Record" folder of one of the schemes' storage paths: true, with
// *localPath the real path in the program's ANSI form (the one to open).
bool ResolveServedRecordFile(const std::string& peerPath, const std::list<RecSchemeInfo*>& schemes,
                             std::string* localPath);
