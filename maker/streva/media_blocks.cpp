#include "streva/media_blocks.h"

#include <cstdio>
#include <cstring>

namespace mediablocks {

bool FillVideo(const AVCodecParameters* par, AVRational frameRate, AVRational timeBase,
               VideoParamBlock* block) {
  std::memset(block, 0, sizeof(*block));
  const char* name = nullptr;
  switch (par->codec_id) {
    case AV_CODEC_ID_H264: block->dwCodec = kVideoCodecH264; name = "H264"; break;
    case AV_CODEC_ID_MPEG4: block->dwCodec = kVideoCodecMpeg4; name = "MPEG4"; break;
    default: return false;
  }
  block->dwWidth = par->width > 0 ? par->width : 0;
  block->dwHeight = par->height > 0 ? par->height : 0;
  if (frameRate.num > 0 && frameRate.den > 0) {
    block->dwFrameRateNum = frameRate.num;
    block->dwFrameRateDen = frameRate.den;
  } else {
    block->dwFrameRateNum = 25;
    block->dwFrameRateDen = 1;
  }
  block->dwTimeBaseNum = timeBase.num > 0 ? timeBase.num : 1;
  block->dwTimeBaseDen = timeBase.den > 0 ? timeBase.den : 90000;
  if (par->extradata && par->extradata_size > 0 &&
      static_cast<size_t>(par->extradata_size) <= sizeof(block->byExtra)) {
    std::memcpy(block->byExtra, par->extradata, par->extradata_size);
    block->dwExtraSize = par->extradata_size;
  }
  std::snprintf(block->szText, sizeof(block->szText), "%s %ux%u %gfps", name, block->dwWidth,
                block->dwHeight, FrameRate(*block));
  block->dwValid = 1;
  return true;
}

bool FillAudio(const AVCodecParameters* par, AudioParamBlock* block) {
  std::memset(block, 0, sizeof(*block));
  const char* name = nullptr;
  switch (par->codec_id) {
    case AV_CODEC_ID_PCM_ALAW: block->wCodec = kAudioCodecPcma; name = "G711A"; break;
    case AV_CODEC_ID_PCM_MULAW: block->wCodec = kAudioCodecPcmu; name = "G711U"; break;
    case AV_CODEC_ID_AAC: block->wCodec = kAudioCodecAac; name = "AAC"; break;
    default: return false;
  }
  if (par->sample_rate <= 0 || par->ch_layout.nb_channels <= 0 ||
      par->ch_layout.nb_channels > 8) {
    return false;
  }
  block->dwSampleRate = par->sample_rate;
  block->byChannels = static_cast<uint8_t>(par->ch_layout.nb_channels);
  if (par->extradata && par->extradata_size > 0 &&
      static_cast<size_t>(par->extradata_size) <= sizeof(block->byExtra)) {
    std::memcpy(block->byExtra, par->extradata, par->extradata_size);
    block->byExtraSize = static_cast<uint8_t>(par->extradata_size);
  }
  std::snprintf(block->szText, sizeof(block->szText), "%s %uHz %uch", name, block->dwSampleRate,
                static_cast<unsigned>(block->byChannels));
  block->dwValid = 1;
  return true;
}

AVCodecID VideoCodecId(const VideoParamBlock& block) {
  if (!block.dwValid) return AV_CODEC_ID_NONE;
  switch (block.dwCodec) {
    case kVideoCodecH264: return AV_CODEC_ID_H264;
    case kVideoCodecMpeg4: return AV_CODEC_ID_MPEG4;
    default: return AV_CODEC_ID_NONE;
  }
}

AVCodecID AudioCodecId(const AudioParamBlock& block) {
  if (!block.dwValid || block.dwSampleRate == 0 || block.byChannels == 0) return AV_CODEC_ID_NONE;
  switch (block.wCodec) {
    case kAudioCodecPcma: return AV_CODEC_ID_PCM_ALAW;
    case kAudioCodecPcmu: return AV_CODEC_ID_PCM_MULAW;
    case kAudioCodecAac: return AV_CODEC_ID_AAC;
    default: return AV_CODEC_ID_NONE;
  }
}

bool ReadVideoBlock(const void* data, long size, VideoParamBlock* block) {
  if (!data || size < static_cast<long>(sizeof(*block))) return false;
  std::memcpy(block, data, sizeof(*block));
  block->szText[sizeof(block->szText) - 1] = 0;
  if (block->dwExtraSize > sizeof(block->byExtra)) block->dwExtraSize = 0;
  return block->dwValid != 0;
}

bool ReadAudioBlock(const void* data, long size, AudioParamBlock* block) {
  if (!data || size < static_cast<long>(sizeof(*block))) return false;
  std::memcpy(block, data, sizeof(*block));
  block->szText[sizeof(block->szText) - 1] = 0;
  if (block->byExtraSize > sizeof(block->byExtra)) block->byExtraSize = 0;
  return block->dwValid != 0;
}

bool IsKeyFrame(AVCodecID codec, const uint8_t* data, size_t length) {
  for (size_t i = 0; i + 3 < length; ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
    uint8_t code = data[i + 3];
    if (codec == AV_CODEC_ID_H264) {
      int type = code & 0x1F;
      if (type == 5 || type == 7) return true;
      if (type == 1) return false;  // a slice of a non-IDR picture
    } else if (codec == AV_CODEC_ID_MPEG4) {
      if (code == 0xB6) return i + 4 < length && (data[i + 4] >> 6) == 0;
    } else {
      return false;
    }
    i += 2;
  }
  return false;
}

size_t Mpeg4HeaderLength(const uint8_t* data, size_t length) {
  bool vol = false;
  for (size_t i = 0; data && i + 3 < length; ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1) continue;
    const uint8_t code = data[i + 3];
    if (code == 0xB3 || code == 0xB6) return vol ? i : 0;
    if (code >= 0x20 && code <= 0x2F) vol = true;
    i += 2;
  }
  return 0;
}

double FrameRate(const VideoParamBlock& block) {
  if (block.dwFrameRateNum == 0 || block.dwFrameRateDen == 0) return 25.0;
  double rate = static_cast<double>(block.dwFrameRateNum) / block.dwFrameRateDen;
  return rate >= 1.0 && rate <= 240.0 ? rate : 25.0;
}

}  // namespace mediablocks
