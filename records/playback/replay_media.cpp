#include "records/playback/replay_media.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/base64.h"

namespace replaymedia {

namespace {

constexpr int kParamTextSize = 5120;

bool SameName(const char (&a)[256], const char (&b)[256]) { return strncmp(a, b, sizeof(a)) == 0; }

}  // namespace

bool IsPresent(const VideoParam& video) { return video.szCodec[0] != '\0'; }
bool IsPresent(const AudioParam& audio) { return audio.szCodec[0] != '\0'; }

void CopyVideoParam(const VideoParam* from, VideoParam* to) {
  std::memset(to, 0, sizeof(*to));
  if (!from) return;
  std::memcpy(to->szCodec, from->szCodec, sizeof(to->szCodec) - 1);
  to->dwWidth = from->dwWidth;
  to->dwHeight = from->dwHeight;
  to->dwReserved = 0;
  to->dwFrameRate = from->dwFrameRate;
  to->dwBitRate = from->dwBitRate;
  // The length word comes from a peer: the bytes copied stay inside the block.
  const int32_t stated = from->nCodecHeaderLen;
  const int32_t length = std::clamp<int32_t>(stated, 0, static_cast<int32_t>(sizeof(to->byCodecHeader)));
  std::memcpy(to->byCodecHeader, from->byCodecHeader, static_cast<size_t>(length));
  to->nCodecHeaderLen = length;
}

void CopyAudioParam(const AudioParam* from, AudioParam* to) {
  std::memset(to, 0, sizeof(*to));
  if (!from) return;
  std::memcpy(to->szCodec, from->szCodec, sizeof(to->szCodec) - 1);
  to->dwSampleRate = from->dwSampleRate;
  to->dwBitsPerSample = from->dwBitsPerSample;
  to->dwChannels = from->dwChannels;
  to->dwFixed = from->dwFixed;
  to->dwBitRate = from->dwBitRate;
}

bool SameVideo(const VideoParam& a, const VideoParam& b) {
  return SameName(a.szCodec, b.szCodec) && a.dwWidth == b.dwWidth && a.dwHeight == b.dwHeight &&
         a.dwReserved == b.dwReserved;
}

bool SameAudio(const AudioParam& a, const AudioParam& b) {
  return SameName(a.szCodec, b.szCodec) && a.dwSampleRate == b.dwSampleRate &&
         a.dwBitsPerSample == b.dwBitsPerSample && a.dwChannels == b.dwChannels;
}

std::string ParamText(const void* block, size_t size) {
  std::vector<char> text(kParamTextSize, '\0');
  if (!block || CBase64::GetLength(static_cast<int>(size), TRUE) >= kParamTextSize) return std::string();
  CBase64::Encode(static_cast<const BYTE*>(block), text.data(), static_cast<int>(size));
  return std::string(text.data());
}

void RelayFrameHeader(const RelayFrameInfo* info, BYTE (&header)[16]) {
  std::memset(header, 0, sizeof(header));
  if (!info) return;
  std::memcpy(header, &info->dwKeyFlag, sizeof(info->dwKeyFlag));
  std::memcpy(header + 8, &info->dTime, sizeof(info->dTime));
}

bool ParseNvrPacket(const BYTE* packet, long length, NvrPacket* out) {
  if (!packet || length < static_cast<long>(kNvrPrefixSize)) return false;
  out->kind = packet[14];
  out->payload = packet + kNvrPrefixSize;
  out->length = length - static_cast<long>(kNvrPrefixSize);
  return true;
}

DayPiece SplitDayTime(double frameMs) {
  DayPiece piece;
  const int64_t ms = static_cast<int64_t>(frameMs);
  piece.msInPiece = ms % (kPieceSeconds * 1000);
  piece.pieceStart = static_cast<int>(static_cast<int64_t>(frameMs / 1000) - piece.msInPiece / 1000);
  return piece;
}

double HeaderTimeMs(const BYTE* header) {
  if (!header) return -1;
  double ms = 0;
  std::memcpy(&ms, header + 8, sizeof(ms));
  return std::isfinite(ms) && ms >= 0 ? ms : -1;
}

void SetHeaderTimeMs(BYTE (&header)[16], double ms) { std::memcpy(header + 8, &ms, sizeof(ms)); }

bool ParseNvrMediaParam(const std::string& text, NvrMediaParam* out) {
  TiXmlDocument doc;
  doc.Parse(text.c_str());
  const TiXmlElement* root = doc.RootElement();
  if (doc.Error() || !root) return false;
  NvrMediaParam param;
  if (const char* video = root->Attribute("VideoParam")) {
    param.hasVideo = true;
    param.video = video;
  }
  if (const char* audio = root->Attribute("AudioParam")) {
    param.hasAudio = true;
    param.audio = audio;
  }
  if (const char* seconds = root->Attribute("VideoSeconds")) param.seconds = std::atoi(seconds);
  *out = std::move(param);
  return true;
}

long TextBlockSize(const std::string& text) { return static_cast<long>(text.size() * 3 / 4); }

}  // namespace replaymedia
