#include "h264_clip.h"

#include <cstdlib>

extern "C" {
#include <libavformat/avformat.h>
}

H264Clip MakeH264Clip(const std::string& folder, int seconds, int width, int height, int frameRate,
                      const std::string& source) {
  H264Clip clip;
  const std::string path = folder + "clip.h264";
  const std::string command = "ffmpeg -v error -y -f lavfi -i " + source + (source.find('=') == std::string::npos ? "=" : ":") +
                              "size=" + std::to_string(width) + "x" +
                              std::to_string(height) + ":rate=" + std::to_string(frameRate) + " -t " +
                              std::to_string(seconds) + " -c:v libx264 -g " + std::to_string(frameRate) +
                              " -bf 0 -pix_fmt yuv420p '" + path + "'";
  if (std::system(command.c_str()) != 0) return clip;
  return ReadH264Clip(path, width, height, frameRate);
}

H264Clip ReadH264Clip(const std::string& path, int width, int height, int frameRate) {
  H264Clip clip;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) != 0) return clip;
  AVPacket* packet = av_packet_alloc();
  while (av_read_frame(input, packet) == 0) {
    clip.frames.emplace_back(packet->data, packet->data + packet->size);
    clip.keys.push_back((packet->flags & AV_PKT_FLAG_KEY) != 0);
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  avformat_close_input(&input);
  clip.width = width;
  clip.height = height;
  clip.frameRate = frameRate;
  return clip;
}
