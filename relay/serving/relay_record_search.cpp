#include "relay/serving/relay_record_search.h"

#include <cstring>

#include "core/client_log.h"
#include "core/dev_info.h"
#include "core/dev_info_store.h"
#include "core/fixed_text.h"
#include "core/rec_scheme.h"
#include "gimbro/gimbro.h"
#include "records/search/nvr_peer_searches.h"
#include "records/search/nvr_search_text.h"
#include "records/search/rec_folder_tree.h"

namespace {

bool ReadTime(const char (&text)[30], RecSearchTime* time) {
  SYSTEMTIME parsed;
  if (!Pelk_ParseTimeText(FixedText(text).c_str(), &parsed)) return false;
  if (parsed.wYear < 1970 || parsed.wYear > 9999) return false;
  *time = RecSearchTime{parsed.wYear, parsed.wMonth, parsed.wDay, parsed.wHour, parsed.wMinute, parsed.wSecond};
  return true;
}

// -2 (the search page's "no limit") reads as -1; other negatives are refused.
bool ReadSize(int64_t size, int64_t* out) {
  if (size == -2) size = -1;
  if (size < -1) return false;
  *out = size;
  return true;
}

// The peer's search as the search page's by-file form.
RecFileQuery PeerSearchQuery(const PeerRecordSearch& search) {
  RecFileQuery form;
  form.start = search.start;
  form.end = search.end;
  form.nRecType = search.kindCode;
  form.nMediaType = search.mediaCode;
  form.nStream = search.streamCode;
  form.strMinSize = std::to_string(search.minSize);
  form.strMaxSize = std::to_string(search.maxSize);
  return form;
}

void Refuse(const ReplaySearchRequest& r, DWORD word) {
  Pelk_RspReplaySearch(PELK_STATUS_REFUSED, r.dwSearchId, word, &r, r.dwMediaSel, r.dwTarget, 0, nullptr);
}

}  // namespace

std::optional<PeerRecordSearch> ReadPeerSearch(const ReplaySearchRequest& r) {
  PeerRecordSearch search;
  search.streamCode = r.dwStreamSel == 2 ? 0 : r.dwStreamSel == 1 ? 1 : 2;
  search.mediaCode = r.dwMediaSel == 3 ? 0 : r.dwMediaSel == 1 ? 1 : 2;
  // Any word but the four kinds asks for every kind (also one near the top of the range).
  search.kindCode = r.dwRecKind >= 1 && r.dwRecKind <= 4 ? static_cast<int>(r.dwRecKind) - 1 : 0;
  search.local = r.dwTarget == 1;
  search.page = static_cast<int>(r.dwPage);
  if (!ReadSize(r.llMinSize, &search.minSize) || !ReadSize(r.llMaxSize, &search.maxSize)) {
    WriteLog(6, "CVistarelDlg::OnRelayReplaySearch(): refused, sizes %lld and %lld.", static_cast<long long>(r.llMinSize),
             static_cast<long long>(r.llMaxSize));
    return std::nullopt;
  }
  if (!ReadTime(r.szStart, &search.start) || !ReadTime(r.szEnd, &search.end) ||
      search.end.nYear - search.start.nYear > kPeerSearchMaxYears) {
    WriteLog(6, "CVistarelDlg::OnRelayReplaySearch(): refused, times \"%s\" to \"%s\".", FixedText(r.szStart).c_str(),
             FixedText(r.szEnd).c_str());
    return std::nullopt;
  }
  char mac[PELK_KEY_PART_SIZE];
  char ip[PELK_KEY_PART_SIZE];
  SplitDeviceKey(r.szDevKey, mac, ip);
  search.ip = ip;
  return search;
}

std::vector<RecFileItem> SearchLocalRecords(const std::list<RecSchemeInfo*>& schemes, const PeerRecordSearch& search) {
  std::vector<RecFileItem> items;
  const RecFileQuery form = PeerSearchQuery(search);
  const auto matches = [&search](const DevInfo& entry) { return search.ip == FixedTextView(entry.IPAddr); };
  CRecFileSearch(schemes).SearchFirstScheme(matches, kRecSourceLocal, RecKindOfType(form.nRecType),
                                            RecFileFilterOf(form), items);
  return items;
}

bool ForwardNvrRecordSearch(const PeerRecordSearch& search) {
  const std::optional<std::string> body =
      NvrFileSearchBody(PeerSearchQuery(search), search.page, NvrSearchLayout::kRelay);
  if (!body) return false;
  for (DevInfo& device : g_lstDevInfo) {
    if (search.ip != FixedTextView(device.IPAddr) || !device.pGimbroCtrl) continue;
    return device.pGimbroCtrl->WriteAUXStringEx(device.GimbroId, kNvrFileSearchType, kNvrFileSearchCode, 0,
                                                body->c_str()) == 0;
  }
  return false;
}

void OnRelayReplaySearch(ReplaySearchRequest* record, DWORD word, const PeerSearchForwarder& forward) {
  if (!record) return;
  const ReplaySearchRequest request = *record;
  const std::optional<PeerRecordSearch> search = ReadPeerSearch(request);
  if (!search) {
    Refuse(request, word);
  } else if (search->local) {
    const std::vector<RecFileItem> items = SearchLocalRecords(g_lstRecSchemeInfo, *search);
    const std::optional<std::string> text = items.empty() ? std::nullopt : PeerSearchText(items);
    if (!text) {
      Refuse(request, word);
    } else {
      Pelk_RspReplaySearch(PELK_STATUS_ANSWER, request.dwSearchId, word, &request, request.dwMediaSel,
                           request.dwTarget, static_cast<LONG>(items.size()), text->c_str());
    }
  } else if (!forward || !forward(request, *search, word)) {
    Refuse(request, word);
  }
  Pelk_Delete(record, PELK_DELETE_RECORD);
}
