// Decode time of our BMP and GIF decoders against ImageMagick's `convert`
// decoding the same file into a raw buffer. Not a test: run it by hand.
//
//   raster_decode_bench [work folder]   (default: /tmp)
//
// Makes a 1920x1080 24-bit BMP and a 100-frame GIF with ImageMagick, then
// prints the mean time of each decode and the ratio ours / ImageMagick.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/raster_file.h"
#include "ui/raster_gif.h"
#include "ui/raster_image.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double MeanMs(int runs, F&& body) {
  auto start = Clock::now();
  for (int i = 0; i < runs; ++i) body();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

void Report(const char* what, double ours, double magick) {
  std::printf("%-44s ours %8.2f ms   convert %8.2f ms   ratio %.3f\n", what, ours, magick,
              ours / magick);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : "/tmp";
  const std::string bmp = dir + "/bench-1080p.bmp";
  const std::string gif = dir + "/bench-100.gif";
  if (!Run("convert rose: -resize 1920x1080! -type truecolor BMP3:" + bmp) ||
      !Run("convert -size 320x240 gradient:navy-gold -duplicate 99 -delay 4 -loop 0 "
           "-colors 200 -distort SRT '%[fx:t*3.6]' GIF:" + gif)) {
    std::fprintf(stderr, "ImageMagick could not make the files\n");
    return 1;
  }
  const int runs = 10;
  bool ok = true;

  double oursBmp = MeanMs(runs, [&] {
    CRasterImage image;
    ok = ok && image.Load(bmp.c_str(), RASTER_FORMAT_BMP);
  });
  double magickBmp = MeanMs(runs, [&] { ok = ok && Run("convert " + bmp + " -depth 8 rgb:- >/dev/null"); });
  Report("1920x1080 24-bit BMP", oursBmp, magickBmp);

  double oursGif = MeanMs(runs, [&] {
    CRasterImage image;
    ok = ok && image.Load(gif.c_str(), RASTER_FORMAT_GIF) && image.GetNumFrames() == 100;
  });
  double oursAllFrames = MeanMs(runs, [&] {
    CRasterIOFile file;
    ok = ok && file.Open(gif.c_str(), "rb");
    for (long frame = 0; frame < 100 && ok; ++frame) {
      file.Seek(0, SEEK_SET);
      CRasterGIF decoder;
      decoder.SetFrame(frame);
      ok = decoder.Decode(&file);
    }
  });
  double magickGif = MeanMs(runs, [&] { ok = ok && Run("convert " + gif + " -depth 8 rgb:- >/dev/null"); });
  Report("100-frame GIF, Load (frame 0, frames counted)", oursGif, magickGif);
  Report("100-frame GIF, every frame decoded", oursAllFrames, magickGif);
  double startup = MeanMs(runs, [&] { Run("convert -size 1x1 xc:black rgb:- >/dev/null"); });
  std::printf("(convert's own start-up, a 1x1 picture: %.2f ms)\n", startup);
  if (!ok) {
    std::fprintf(stderr, "a decode failed\n");
    return 1;
  }
  return 0;
}
