#include "ui/raster_gif.h"

#include <algorithm>
#include <cstring>

#include "ui/raster_file.h"
#include "ui/raster_le.h"

struct CRasterGIF::Frame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
};

namespace {

constexpr int kMaxCodes = 4096;  // codes of up to 12 bits

// Rows of a frame from the top in the order the file stores them.
std::vector<int> RowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(height);
  if (!interlaced) {
    for (int r = 0; r < height; ++r) order.push_back(r);
    return order;
  }
  static const int kStart[4] = {0, 4, 2, 1};
  static const int kStep[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int r = kStart[pass]; r < height; r += kStep[pass]) order.push_back(r);
  }
  return order;
}

// Reads variable-length codes, least significant bit first.
class CodeReader {
 public:
  explicit CodeReader(const std::vector<BYTE>& data) : data_(data) {}
  // The next code of `bits` bits, or -1 at the end of the data.
  int Next(int bits) {
    while (count_ < bits) {
      if (pos_ >= data_.size()) return -1;
      acc_ |= static_cast<uint32_t>(data_[pos_++]) << count_;
      count_ += 8;
    }
    int code = static_cast<int>(acc_ & ((1u << bits) - 1));
    acc_ >>= bits;
    count_ -= bits;
    return code;
  }

 private:
  const std::vector<BYTE>& data_;
  size_t pos_ = 0;
  uint32_t acc_ = 0;
  int count_ = 0;
};

}  // namespace

bool CRasterGIF::Decode(CRasterFile* file) {
  if (!file) {
    SetError("null file handler");
    return false;
  }
  if (GetCancel()) return false;
  BYTE header[13];
  if (file->Read(header, sizeof(header), 1) != 1) return false;
  if (std::memcmp(header, "GIF8", 4) != 0) return false;
  screenWidth_ = le::U16(header + 6);
  screenHeight_ = le::U16(header + 8);
  BYTE packed = header[10];
  globalTable_.clear();
  if (packed & 0x80) {
    globalTable_.resize((2u << (packed & 7)) * 3);
    if (file->Read(globalTable_.data(), globalTable_.size(), 1) != 1) return false;
  }
  long blocksStart = file->Tell();

  // First count the frames; a frame whose data is cut off is not counted.
  long count = 0;
  bool decoded = false;
  WalkBlocks(file, -1, count, decoded);
  SetNumFrames(count);
  if (frame_ < 0 || frame_ >= count) return false;

  if (!file->Seek(blocksStart, SEEK_SET)) return false;
  gceTransparent_ = -1;
  disposal_ = 0;
  long seen = 0;
  WalkBlocks(file, frame_, seen, decoded);
  if (decoded) SetNumFrames(count);
  return decoded && !GetCancel();
}

bool CRasterGIF::WalkBlocks(CRasterFile* file, long target, long& count, bool& decoded) {
  count = 0;
  decoded = false;
  for (;;) {
    long c = file->GetC();
    if (c == ';') return true;
    if (c == '!') {
      if (!ReadExtension(file)) return false;
      continue;
    }
    if (c != ',') return false;  // end of data or a block that is no GIF block

    BYTE desc[9];
    if (file->Read(desc, sizeof(desc), 1) != 1) return false;
    Frame frame;
    frame.left = le::U16(desc);
    frame.top = le::U16(desc + 2);
    frame.width = le::U16(desc + 4);
    frame.height = le::U16(desc + 6);
    frame.interlaced = (desc[8] & 0x40) != 0;
    std::vector<BYTE> localTable;
    if (desc[8] & 0x80) {
      localTable.resize((2u << (desc[8] & 7)) * 3);
      if (file->Read(localTable.data(), localTable.size(), 1) != 1) return false;
    }
    long minCodeSize = file->GetC();
    if (minCodeSize == EOF) return false;
    bool fits = frame.left + frame.width <= screenWidth_ && frame.top + frame.height <= screenHeight_;
    if (fits && count == target) {
      std::vector<BYTE> data;
      if (!ReadImageData(file, data)) return false;
      decoded = DecodeFrame(frame, localTable.empty() ? globalTable_ : localTable,
                            static_cast<int>(minCodeSize), data);
      return decoded;
    }
    if (!SkipSubBlocks(file)) return false;
    if (fits) ++count;
  }
}

bool CRasterGIF::SkipSubBlocks(CRasterFile* file) {
  for (;;) {
    long len = file->GetC();
    if (len == EOF) return false;
    if (len == 0) return true;
    if (!file->Seek(len, SEEK_CUR)) return false;
  }
}

bool CRasterGIF::ReadImageData(CRasterFile* file, std::vector<BYTE>& data) {
  BYTE block[255];
  for (;;) {
    long len = file->GetC();
    if (len == EOF) return false;
    if (len == 0) return true;
    if (file->Read(block, static_cast<size_t>(len), 1) != 1) return false;
    data.insert(data.end(), block, block + len);
  }
}

bool CRasterGIF::ReadExtension(CRasterFile* file) {
  long label = file->GetC();
  if (label == EOF) return false;
  BYTE buf[255];
  switch (label) {
    case 0xF9: {  // graphic control
      if (file->GetC() != 4) return false;
      if (file->Read(buf, 4, 1) != 1) return false;
      gceTransparent_ = (buf[0] & 1) ? buf[3] : -1;
      disposal_ = (buf[0] >> 2) & 7;
      break;
    }
    case 0xFE: {  // comment: its first sub-block is kept
      long len = file->GetC();
      if (len == EOF) return false;
      if (len == 0) return true;
      if (file->Read(buf, static_cast<size_t>(len), 1) != 1) return false;
      comment_.assign(reinterpret_cast<char*>(buf), static_cast<size_t>(len));
      break;
    }
    case 0xFF: {  // application: the loop count
      if (file->GetC() != 11) return false;
      if (file->Read(buf, 11, 1) != 1) return false;
      long len = file->GetC();
      if (len == EOF) return false;
      if (len == 0) return true;
      if (file->Read(buf, static_cast<size_t>(len), 1) != 1) return false;
      if (len > 2) loops_ = buf[1] + 256 * buf[2];
      break;
    }
    default:
      break;
  }
  return SkipSubBlocks(file);
}

bool CRasterGIF::DecodeFrame(const Frame& frame, const std::vector<BYTE>& table, int minCodeSize,
                             const std::vector<BYTE>& data) {
  size_t entries = table.size() / 3;
  WORD bpp = entries <= 2 ? 1 : entries <= 16 ? 4 : 8;
  if (!Create(frame.width, frame.height, bpp, RASTER_FORMAT_GIF)) return false;
  const DWORD paletteSize = GetPaletteSize();
  for (size_t i = 0; i < std::min<size_t>(entries, paletteSize); ++i) {
    RGBQUAD q;
    q.rgbRed = table[i * 3];
    q.rgbGreen = table[i * 3 + 1];
    q.rgbBlue = table[i * 3 + 2];
    SetPaletteColor(static_cast<BYTE>(i), q);
  }
  // A transparent picture gets white in the entries its table leaves out, up
  // to the image's own palette size (never past it).
  if (gceTransparent_ >= 0) {
    RGBQUAD white{255, 255, 255, 0};
    for (size_t i = entries; i < paletteSize; ++i) SetPaletteColor(static_cast<BYTE>(i), white);
  }
  // A transparent index that no pixel of this palette can hold marks nothing.
  SetTransparentIndex(gceTransparent_ < static_cast<long>(paletteSize) ? gceTransparent_ : -1);

  if (minCodeSize < 1 || minCodeSize > 11) return false;
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;

  const std::vector<int> order = RowOrder(frame.height, frame.interlaced);
  size_t rowIdx = 0;
  int x = 0;
  const DWORD height = GetHeight();
  BYTE* row = order.empty() ? nullptr : GetBits(height - 1 - order[0]);
  bool badIndex = false;
  // Writes one pixel at the current position; pixels past the frame are dropped.
  auto put = [&](int index) {
    if (rowIdx >= order.size()) return;
    if (static_cast<DWORD>(index) >= paletteSize) {
      badIndex = true;
      return;
    }
    if (bpp == 8) {
      row[x] = static_cast<BYTE>(index);
    } else {
      SetPixelIndex(x, static_cast<long>(height - 1 - order[rowIdx]), static_cast<BYTE>(index));
    }
    if (++x >= frame.width) {
      x = 0;
      if (++rowIdx < order.size()) row = GetBits(height - 1 - order[rowIdx]);
    }
  };

  std::vector<uint16_t> prefix(kMaxCodes);
  std::vector<uint16_t> suffix(kMaxCodes);
  std::vector<uint16_t> first(kMaxCodes);  // first root of each code's string
  std::vector<uint16_t> stack(kMaxCodes + 1);
  for (int i = 0; i < clear; ++i) {
    suffix[i] = static_cast<uint16_t>(i);
    first[i] = static_cast<uint16_t>(i);
  }
  CodeReader reader(data);
  int codeSize = minCodeSize + 1;
  int next = clear + 2;
  int prev = -1;
  for (;;) {
    if (badIndex) return false;
    if (rowIdx >= order.size()) break;
    int code = reader.Next(codeSize);
    if (code < 0 || code == end) break;
    if (code == clear) {
      codeSize = minCodeSize + 1;
      next = clear + 2;
      prev = -1;
      continue;
    }
    if (prev < 0) {
      if (code >= clear) break;  // a string code before any string: corrupt data ends here
      put(code);
      prev = code;
      continue;
    }
    // A code may name an existing string, or the one about to be added
    // (the previous string plus its own first root); anything else is corrupt.
    if (code > next || (code == next && next >= kMaxCodes)) break;
    int firstRoot = code < next ? first[code] : first[prev];
    int sp = 0;
    if (code == next) stack[sp++] = static_cast<uint16_t>(firstRoot);
    for (int c = code < next ? code : prev;; c = prefix[c]) {
      stack[sp++] = suffix[c];
      if (c < clear) break;
    }
    while (sp > 0) put(stack[--sp]);
    if (next < kMaxCodes) {
      prefix[next] = static_cast<uint16_t>(prev);
      suffix[next] = static_cast<uint16_t>(firstRoot);
      first[next] = first[prev];
      ++next;
      if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
    }
    prev = code;
  }
  return !badIndex;
}
