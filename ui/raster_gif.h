// GIF decoder (GIF87a and GIF89a): reads one frame of the file, frame 0 unless
// asked otherwise, into an image of 1, 4 or 8 bits per pixel.
#pragma once

#include <string>
#include <vector>

#include "ui/raster_image.h"

class CRasterGIF : public CRasterImage {
 public:
  CRasterGIF() : CRasterImage(RASTER_FORMAT_GIF) {}

  // Reads the file into this image; false on failure.
  bool Decode(CRasterFile* file);

  void SetFrame(long frame) { frame_ = frame; }
  long GetFrame() const { return frame_; }
  long GetDisposalMethod() const { return disposal_; }
  long GetLoops() const { return loops_; }
  const std::string& GetComment() const { return comment_; }

 private:
  struct Frame;
  // Walks the blocks after the screen descriptor. Counts the frames that fit
  // the logical screen; when `target` is not negative, decodes that frame and
  // stops. False on a malformed or truncated file.
  bool WalkBlocks(CRasterFile* file, long target, long& count, bool& decoded);
  bool ReadExtension(CRasterFile* file);
  bool SkipSubBlocks(CRasterFile* file);
  bool ReadImageData(CRasterFile* file, std::vector<BYTE>& data);
  bool DecodeFrame(const Frame& frame, const std::vector<BYTE>& table, int minCodeSize,
                   const std::vector<BYTE>& data);

  long frame_ = 0;
  long gceTransparent_ = -1;  // transparent index of the last graphic control extension
  long disposal_ = 0;
  long loops_ = 0;
  std::string comment_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  std::vector<BYTE> globalTable_;  // 3 bytes per entry
};
