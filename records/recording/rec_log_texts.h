// The log texts of record starts and restarts, which differ by case.
#pragma once

namespace reclog {

// Starting a schedule recording on stream object 1 or 2.
enum StartCase { kStartNotWatched, kStartWatchedServer, kStartWatchedSameKind, kStartWatchedOtherKind };
struct StartTexts {
  const char* failed[2];   // (int error, long stream id, name, folder)
  const char* success[2];  // (file id, name, folder); the file id is an int when successIntId
  bool successIntId;
};
const StartTexts& StartText(int startCase);

// A new file on the recording object: in a new day folder (file id, name,
// folder) or after a storage switch (file id, name, stream id, folder).
enum RestartCase { kRestartNewFolder, kRestartSwitch, kRestartSwitch1To2, kRestartSwitch2To3 };
struct RestartTexts {
  const char* object[2];
  const char* none;  // no object records
};
const RestartTexts& RestartText(int restartCase);

}  // namespace reclog
