// RecSchemeEditor: Add, Modify and Delete of record schemes, the three scheme
// buttons of the record-scheme page, without the window.
//
// Each operation checks the form and refuses with one message, changing
// nothing; a success changes g_lstRecSchemeInfo under g_csAppData (the
// recording thread walks the list under that lock and follows the change at
// its next cycle) and the caller then rewrites "RecInfo.xml".
//
// The shown scheme is named, not pointed to: Modify and Delete find it again
// in the list by its name, so a scheme removed while the page showed it is
// never touched through an old pointer (Modify then answers 786). Modify
// rewrites the scheme in place, so it keeps its place in the list and every
// pointer to it stays valid. The recordings of a modified or deleted scheme
// are stopped on the channels' stream objects before the change.
#pragma once

#include <functional>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "core/dev_info.h"
#include "core/rec_scheme.h"
#include "platform/win_types.h"
#include "settings/record/rec_scheme_channels.h"
#include "settings/record/rec_scheme_form.h"

class IRecStreams;

// The outcome of a scheme button: the message to show (string id), with the
// span row (783) or the channel name (784) that the message names.
struct RecEditResult {
  bool done = false;
  UINT textId = 0;      // 0: nothing to show
  int spanRow = 0;      // 783: "Time span<row>:Wrong record time!"
  std::string channel;  // 784: "<channel> Record time conflict!"
  RecSchemeInfo* scheme = nullptr;  // the added or modified scheme
};

class RecSchemeEditor {
 public:
  // Told of every channel whose recording a Modify or Delete stopped (state 3),
  // under g_csAppData: the relay peers and the main window hear of it.
  using RecordStateReport = std::function<void(const DevInfo& dev, int state)>;

  // The lists are g_lstRecSchemeInfo and g_lstDevInfo in the program.
  RecSchemeEditor(std::list<RecSchemeInfo*>& schemes, std::list<DevInfo>& devices, IRecStreams& streams,
                  RecordStateReport report = nullptr);

  // The name a scheme gets from the form's text, as "RecInfo.xml" keeps it:
  // the file reader condenses white space (blanks at either end dropped, a run
  // of blanks inside read as one), so the name is condensed so at once, and a
  // name of blanks only is an empty name. Then cut to SchemeName's 259 bytes
  // before a double-byte character that would not fit.
  static std::string StoredName(const std::string& typed);

  // A new scheme from the form with the channels of the scheme tree (in tree
  // order; a channel without a record any more is skipped), appended to the list.
  RecEditResult Add(const RecSchemeForm& form, const std::vector<ChannelKey>& channels);
  // Rewrites the scheme named `shownName` (none: nothing shown) from the form.
  RecEditResult Modify(const std::optional<std::string>& shownName, const RecSchemeForm& form,
                       const std::vector<ChannelKey>& channels);
  // Stops the recordings of the scheme named `shownName` and removes it. The
  // default scheme is never removed (refused without a message).
  RecEditResult Delete(const std::optional<std::string>& shownName);

 private:
  RecEditResult Build(const RecSchemeForm& form, const std::vector<ChannelKey>& channels,
                      const std::string& skipName, std::unique_ptr<RecSchemeInfo>& out);
  RecSchemeInfo* Find(const std::string& name) const;
  void StopRecordings(const RecSchemeInfo& scheme, bool deleting);

  std::list<RecSchemeInfo*>& m_schemes;
  std::list<DevInfo>& m_devices;
  IRecStreams& m_streams;
  RecordStateReport m_report;
};
