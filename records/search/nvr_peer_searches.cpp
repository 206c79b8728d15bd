#include "records/search/nvr_peer_searches.h"

std::optional<std::string> PeerSearchText(const std::vector<RecFileItem>& files) {
  size_t length = 0;
  for (const RecFileItem& item : files) length += item.strFilePath.size() + 1 + item.strFileSize.size() + 1;
  if (length >= kPeerSearchTextLimit) return std::nullopt;
  std::string text;
  text.reserve(length);
  for (const RecFileItem& item : files) {
    text += item.strFilePath;
    text += '?';
    text += item.strFileSize;
    text += '|';
  }
  return text;
}

void AnswerPeerSearchThroughRelay(LONG status, const PendingPeerSearch& search, LONG count, const char* text) {
  const ReplaySearchRequest& request = search.request;
  Pelk_RspReplaySearch(status, request.dwSearchId, search.word, &request, request.dwMediaSel, request.dwTarget, count,
                       text);
}

void NvrPeerSearchQueue::Add(const ReplaySearchRequest* request, DWORD word) {
  if (!request) return;
  queue_.push_back(PendingPeerSearch{*request, word});
}

bool NvrPeerSearchQueue::AnswerOldest(const std::vector<RecFileItem>& files, int total) {
  if (queue_.empty()) return false;
  const PendingPeerSearch search = queue_.front();
  queue_.pop_front();
  const std::optional<std::string> text = files.empty() ? std::nullopt : PeerSearchText(files);
  if (!text) {
    if (answerer_) answerer_(1, search, 0, nullptr);
    return true;
  }
  if (answerer_) answerer_(0, search, total, text->c_str());
  return true;
}

bool NvrPeerSearchQueue::RefuseOldest() {
  if (queue_.empty()) return false;
  const PendingPeerSearch search = queue_.front();
  queue_.pop_front();
  if (answerer_) answerer_(1, search, 0, nullptr);
  return true;
}
