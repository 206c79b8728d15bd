#include "clipta/record_media.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "streva/media_blocks.h"

namespace recordmedia {
namespace {

bool StartsWith3(const uint8_t* data, size_t length) {
  return length >= 3 && data[0] == 0 && data[1] == 0 && data[2] == 1;
}

bool StartsWith4(const uint8_t* data, size_t length) {
  return length >= 4 && data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 1;
}

// Appends Annex B data, its first start code widened to four bytes.
void AppendAnnexB(std::vector<uint8_t>& out, const uint8_t* data, size_t length) {
  if (StartsWith3(data, length)) out.push_back(0);
  out.insert(out.end(), data, data + length);
}

// The type of the first H.264 NAL unit; -1 without a start code.
int FirstNalType(const uint8_t* data, size_t length) {
  if (StartsWith4(data, length) && length > 4) return data[4] & 0x1F;
  if (StartsWith3(data, length) && length > 3) return data[3] & 0x1F;
  return -1;
}

}  // namespace

recordfile::Media Describe(const VideoParamBlock& video, const AudioParamBlock* audio) {
  recordfile::Media media;
  media.video = video.dwCodec == kVideoCodecMpeg4 ? recordfile::VideoKind::kMpeg4 : recordfile::VideoKind::kH264;
  media.width = video.dwWidth;
  media.height = video.dwHeight;
  const long rate = std::lround(mediablocks::FrameRate(video));
  media.frameRate = static_cast<uint32_t>(rate < 1 ? 1 : rate);
  if (audio && audio->dwValid) {
    switch (audio->wCodec) {
      case kAudioCodecPcma: media.audio = recordfile::AudioKind::kAlaw; break;
      case kAudioCodecPcmu: media.audio = recordfile::AudioKind::kMulaw; break;
      case kAudioCodecAac: media.audio = recordfile::AudioKind::kAac; break;
      default: break;
    }
    media.channels = audio->byChannels ? audio->byChannels : 1;
    media.sampleRate = audio->dwSampleRate;
    const size_t config = std::min<size_t>(audio->byExtraSize, sizeof(audio->byExtra));
    media.audioConfig.assign(audio->byExtra, audio->byExtra + config);
  }
  return media;
}

const uint8_t* VideoChunk(const VideoParamBlock& video, bool key, const uint8_t* data, size_t length,
                          std::vector<uint8_t>& scratch, size_t* outLength) {
  const size_t extraSize = std::min<size_t>(video.dwExtraSize, sizeof(video.byExtra));
  bool addHeaders = false;
  bool widen = false;
  if (video.dwCodec == kVideoCodecH264) {
    widen = StartsWith3(data, length);
    addHeaders = key && extraSize > 0 && FirstNalType(data, length) != 7;
  } else if (video.dwCodec == kVideoCodecMpeg4) {
    // A key frame that does not carry its VOL in front of its picture (most
    // cameras send a group-of-VOP header and the picture, the headers only in
    // the stream's configuration) gets the configuration in front.
    addHeaders = key && extraSize > 0 && mediablocks::Mpeg4HeaderLength(data, length) == 0;
  }
  if (!addHeaders && !widen) {
    *outLength = length;
    return data;
  }
  scratch.clear();
  if (addHeaders) {
    if (video.dwCodec == kVideoCodecH264) {
      AppendAnnexB(scratch, video.byExtra, extraSize);
    } else {
      scratch.insert(scratch.end(), video.byExtra, video.byExtra + extraSize);
    }
  }
  if (video.dwCodec == kVideoCodecH264) {
    AppendAnnexB(scratch, data, length);
  } else {
    scratch.insert(scratch.end(), data, data + length);
  }
  *outLength = scratch.size();
  return scratch.data();
}

}  // namespace recordmedia
