#include "settings/record/rec_scheme_editor.h"

#include <algorithm>
#include <utility>

#include "core/app_data.h"
#include "core/client_log.h"
#include "core/fixed_text.h"
#include "records/recording/rec_streams.h"
#include "settings/record/default_rec_scheme.h"

namespace {

bool AllPathsEmpty(const RecSchemeForm& form) {
  return std::all_of(form.paths.begin(), form.paths.end(), [](const std::string& p) { return p.empty(); });
}

bool DetRecTimeInRange(const RecSchemeForm& form) {
  const int seconds = LeadingNumber(form.detRecText);
  return seconds >= kMinDetRecTime && seconds <= kMaxDetRecTime;
}

bool HoldsChannelNamed(const RecSchemeInfo& scheme, std::string_view name) {
  for (const DevInfo& dev : scheme.lstDev)
    if (FixedTextView(dev.DevName) == name) return true;
  return false;
}

RecEditResult Refused(UINT textId) {
  RecEditResult result;
  result.textId = textId;
  return result;
}

}  // namespace

RecSchemeEditor::RecSchemeEditor(std::list<RecSchemeInfo*>& schemes, std::list<DevInfo>& devices,
                                 IRecStreams& streams, RecordStateReport report)
    : m_schemes(schemes), m_devices(devices), m_streams(streams), m_report(std::move(report)) {}

std::string RecSchemeEditor::StoredName(const std::string& typed) {
  std::string condensed;
  bool blank = false;
  for (char c : typed) {
    const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
    if (space) {
      blank = !condensed.empty();
      continue;
    }
    if (blank) condensed += ' ';
    blank = false;
    condensed += c;
  }
  RecSchemeSettings fields;
  CopyFixedText(fields.SchemeName, condensed.c_str());
  return FixedText(fields.SchemeName);
}

RecSchemeInfo* RecSchemeEditor::Find(const std::string& name) const {
  for (RecSchemeInfo* scheme : m_schemes)
    if (scheme != nullptr && FixedTextView(scheme->SchemeName) == name) return scheme;
  return nullptr;
}

RecEditResult RecSchemeEditor::Build(const RecSchemeForm& form, const std::vector<ChannelKey>& channels,
                                     const std::string& skipName, std::unique_ptr<RecSchemeInfo>& out) {
  SpanReadResult spans;
  std::unique_ptr<RecSchemeInfo> scheme = BuildSchemeFromForm(form, &spans);
  if (!scheme) {
    RecEditResult result = Refused(spans.textId);
    result.spanRow = spans.row;
    return result;
  }
  // The recording thread writes the records' run-time texts while it holds the lock.
  CsLock lock(&g_csAppData);
  for (const ChannelKey& key : channels) {
    const DevInfo* record = FindChannel(m_devices, key);
    if (record == nullptr) continue;  // removed from the device list meanwhile
    const DevInfo copy = *record;
    for (const RecSchemeInfo* other : m_schemes) {
      if (other == nullptr || FixedTextView(other->SchemeName) == skipName) continue;
      if (!HoldsChannelNamed(*other, FixedTextView(copy.DevName))) continue;
      if (CheckTimeConflict(*other, *scheme) != 0) {
        RecEditResult result = Refused(784);
        result.channel = FixedText(copy.DevName);
        return result;
      }
    }
    scheme->lstDev.push_back(copy);
  }
  out = std::move(scheme);
  return RecEditResult{};
}

RecEditResult RecSchemeEditor::Add(const RecSchemeForm& form, const std::vector<ChannelKey>& channels) {
  const std::string name = StoredName(form.name);
  if (name.empty()) return Refused(787);
  if (Find(name) != nullptr) return Refused(788);
  if (AllPathsEmpty(form)) return Refused(789);
  if (!DetRecTimeInRange(form)) return Refused(790);
  std::unique_ptr<RecSchemeInfo> scheme;
  RecEditResult result = Build(form, channels, name, scheme);
  if (!scheme) return result;
  CopyFixedText(scheme->SchemeName, name.c_str());
  result.scheme = scheme.get();
  {
    CsLock lock(&g_csAppData);
    m_schemes.push_back(scheme.release());
  }
  result.done = true;
  result.textId = 791;
  return result;
}

RecEditResult RecSchemeEditor::Modify(const std::optional<std::string>& shownName, const RecSchemeForm& form,
                                      const std::vector<ChannelKey>& channels) {
  if (!shownName) return Refused(778);
  const std::string name = StoredName(form.name);
  if (name.empty()) return Refused(779);
  if (*shownName == DefaultSchemeName() && name != *shownName) return Refused(797);
  if (AllPathsEmpty(form)) return Refused(781);
  if (!DetRecTimeInRange(form)) return Refused(782);
  const RecSchemeInfo* shown = Find(*shownName);
  for (const RecSchemeInfo* other : m_schemes)
    if (other != nullptr && other != shown && FixedTextView(other->SchemeName) == name) return Refused(780);
  std::unique_ptr<RecSchemeInfo> scheme;
  RecEditResult result = Build(form, channels, *shownName, scheme);
  if (!scheme) return result;
  CopyFixedText(scheme->SchemeName, name.c_str());
  RecSchemeInfo* target = nullptr;
  {
    CsLock lock(&g_csAppData);
    target = Find(*shownName);
    if (target != nullptr) {
      StopRecordings(*target, false);
      *target = std::move(*scheme);
    }
  }
  if (target == nullptr) return Refused(786);
  result.done = true;
  result.textId = 785;
  result.scheme = target;
  return result;
}

RecEditResult RecSchemeEditor::Delete(const std::optional<std::string>& shownName) {
  if (!shownName) return Refused(792);
  if (*shownName == DefaultSchemeName()) return Refused(0);  // the page never offers it
  {
    CsLock lock(&g_csAppData);
    if (RecSchemeInfo* target = Find(*shownName)) {
      StopRecordings(*target, true);
      m_schemes.remove(target);
      delete target;
    }
  }
  RecEditResult result;
  result.done = true;
  result.textId = 793;
  return result;
}

// Each channel's first record of its name: its recordings end, its streams
// close unless a pane shows them (a stream that also serves a relay peer stays
// open for the peer), and its record state is cleared, so the recording thread
// starts afresh with the new values. Delete touches only recording channels
// and recording streams, and leaves waiting alarms. A channel that was
// recording is reported stopped, as the recording thread reports its own stops.
void RecSchemeEditor::StopRecordings(const RecSchemeInfo& scheme, bool deleting) {
  const char* method = deleting ? "CSettingRecordDlg::OnBnClickedBtnDelScheme()" : "CSettingRecordDlg::OnBnClickedBtnModify()";
  for (const DevInfo& channel : scheme.lstDev) {
    auto dev = std::find_if(m_devices.begin(), m_devices.end(), [&](const DevInfo& d) {
      return FixedTextView(d.DevName) == FixedTextView(channel.DevName);
    });
    if (dev == m_devices.end() || (deleting && dev->bRecording == 0)) continue;
    const bool wasRecording = dev->bRecording != 0;
    CRtspEvents* objects[2] = {dev->pRtspEvent1, dev->pRtspEvent2};
    for (int i = 0; i < 2; ++i) {
      CRtspEvents* events = objects[i];
      if (events == nullptr) continue;
      const bool recording = m_streams.StreamId(events) != 0 && m_streams.IsRecording(events);
      if (deleting && !recording) continue;
      if (recording) {
        WriteLog(6, "%s: RtspEvent%d Stop Record, DevName=%s", method, i + 1, dev->DevName);
        m_streams.StopRecord(events);
      }
      if (m_streams.Renders(events)) continue;
      WriteLog(6, "%s: RtspEvent%d Stop decoder delete stream id=%d, DevName=%s", method, i + 1,
               static_cast<int>(m_streams.StreamId(events)), dev->DevName);
      if (!m_streams.FeedsRelay(events)) m_streams.StopAllThread(events);
      m_streams.CloseAllDecoder(events);
      (i == 0 ? dev->MainStreamId : dev->SubStreamId) = 0;
    }
    dev->bRecording = 0;
    dev->RecSpanId = 0;
    if (!deleting) {
      dev->nMotionAlarm = 0;
      dev->nIOAlarm = 0;
    }
    dev->RecSchemeName[0] = '\0';
    if (wasRecording && m_report) m_report(*dev, 3);
  }
}
