#include "records/recfile/rec_file_fixture.h"

#include <fstream>
#include <stdexcept>

namespace {

void PutU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
}

void PutU16(std::string& out, size_t at, uint16_t v) {
  out[at] = static_cast<char>(v);
  out[at + 1] = static_cast<char>(v >> 8);
}

void PutCode(std::string& out, size_t at, const std::string& code) {
  for (size_t i = 0; i < 4; ++i) out[at + i] = i < code.size() ? code[i] : ' ';
}

void AppendU32(std::string& out, uint32_t v) {
  out.append(4, '\0');
  PutU32(out, out.size() - 4, v);
}

}  // namespace

void RecFileFixture::AddVideo(std::vector<uint8_t> payload, bool key) {
  chunks.push_back({"00dc", std::move(payload), key ? 0x10u : 0u, true});
}

void RecFileFixture::AddAudio(std::vector<uint8_t> payload) {
  chunks.push_back({"01wb", std::move(payload), 0x10u, true});
}

uint32_t RecFileFixture::MoviPos() const {
  if (moviPos) return moviPos;
  return streams == 2 ? 9892 : 5668;
}

uint32_t RecFileFixture::ChunkPos(size_t i) const {
  uint32_t pos = MoviPos() + 4;
  for (size_t c = 0; c < i; ++c) pos += 8 + static_cast<uint32_t>(chunks[c].payload.size());
  return pos;
}

uint32_t RecFileFixture::DataEnd() const { return ChunkPos(chunks.size()); }

std::string RecFileFixture::Build() const {
  const uint32_t movi = MoviPos();
  std::string out(movi + 4, '\0');
  uint32_t videoFrames = 0;
  for (const FixtureChunk& c : chunks) videoFrames += c.code == "00dc" ? 1 : 0;

  PutCode(out, 0, "RIFF");
  PutCode(out, 8, "AVI ");
  PutCode(out, 12, "LIST");
  PutU32(out, 16, hdrlSize.value_or(movi - 8 - 20));
  PutCode(out, 20, "hdrl");
  PutCode(out, 24, "avih");
  PutU32(out, 28, 56);
  PutU32(out, 32, frameRate ? 1000000 / frameRate : 40000);
  PutU32(out, 36, maxBytesPerSec);
  PutU32(out, 44, 0x10);  // has an index
  PutU32(out, 48, videoFrames);
  PutU32(out, 56, static_cast<uint32_t>(streams));
  PutU32(out, 60, 1 << 20);
  PutU32(out, 64, width);
  PutU32(out, 68, height);

  // Video stream list: strh and a BITMAPINFOHEADER.
  PutCode(out, 88, "LIST");
  PutU32(out, 92, 116);
  PutCode(out, 96, "strl");
  PutCode(out, 100, "strh");
  PutU32(out, 104, 56);
  PutCode(out, 108, "vids");
  PutCode(out, 112, videoHandler);
  PutU32(out, 128, 1);          // scale
  PutU32(out, 132, frameRate);  // rate
  PutU32(out, 140, videoFrames);
  PutU32(out, 144, 1 << 20);
  PutU32(out, 148, 0xFFFFFFFF);
  PutU16(out, 160, static_cast<uint16_t>(width));
  PutU16(out, 162, static_cast<uint16_t>(height));
  PutCode(out, 164, "strf");
  PutU32(out, 168, 40);
  PutU32(out, 172, 40);
  PutU32(out, 176, width);
  PutU32(out, 180, height);
  PutU16(out, 184, 1);
  PutU16(out, 186, 24);
  PutCode(out, 188, videoHandler);
  PutU32(out, 192, width * height * 3);

  uint32_t junkAt = 212;
  if (streams == 2) {
    // Audio stream list at 4336 behind a JUNK filler: strh and a WAVEFORMATEX.
    PutCode(out, junkAt, "JUNK");
    PutU32(out, junkAt + 4, 4336 - junkAt - 8);
    const bool g711 = audioHandler == 1;
    PutCode(out, 4336, "LIST");
    PutU32(out, 4340, 94);
    PutCode(out, 4344, "strl");
    PutCode(out, 4348, "strh");
    PutU32(out, 4352, 56);
    PutCode(out, 4356, "auds");
    PutU32(out, 4360, audioHandler);
    PutU32(out, 4376, 1);
    PutU32(out, 4380, audioSampleRate);
    PutU32(out, 4392, 4096);
    PutU32(out, 4396, 0xFFFFFFFF);
    PutU32(out, 4400, g711 ? 1 : 0);
    PutCode(out, 4412, "strf");
    PutU32(out, 4416, 18);
    PutU16(out, 4420, g711 ? 6 : 0xFF);  // A-law or AAC
    PutU16(out, 4422, audioChannels);
    PutU32(out, 4424, audioSampleRate);
    PutU32(out, 4428, g711 ? audioSampleRate * audioChannels : 16000);
    PutU16(out, 4432, g711 ? audioChannels : 1);
    PutU16(out, 4434, g711 ? 8 : 16);
    junkAt = 4438;
  }
  const uint32_t listAt = movi - 8;
  if (listAt >= junkAt + 8) {
    PutCode(out, junkAt, "JUNK");
    PutU32(out, junkAt + 4, listAt - junkAt - 8);
  }

  uint32_t chunkBytes = 0;
  for (const FixtureChunk& c : chunks) chunkBytes += 8 + static_cast<uint32_t>(c.payload.size());
  PutCode(out, listAt, "LIST");
  PutU32(out, listAt + 4, moviSize.value_or(chunkBytes + 4));
  PutCode(out, movi, "movi");
  for (const FixtureChunk& c : chunks) {
    out.append(c.code, 0, 4);
    AppendU32(out, static_cast<uint32_t>(c.payload.size()));
    out.append(c.payload.begin(), c.payload.end());
  }

  if (writeIndex) {
    uint32_t indexed = 0;
    for (const FixtureChunk& c : chunks) indexed += c.indexed ? 1 : 0;
    out.append(indexCode, 0, 4);
    AppendU32(out, indexSize.value_or(indexed * 16));
    uint32_t offset = 4;
    for (const FixtureChunk& c : chunks) {
      if (c.indexed) {
        out.append(c.code, 0, 4);
        AppendU32(out, c.flags);
        AppendU32(out, offset);
        AppendU32(out, static_cast<uint32_t>(c.payload.size()));
      }
      offset += 8 + static_cast<uint32_t>(c.payload.size());
    }
  }
  PutU32(out, 4, riffSize.value_or(static_cast<uint32_t>(out.size() - 8)));
  return out;
}

void RecFileFixture::Write(const std::string& nativePath) const {
  const std::string bytes = Build();
  std::ofstream file(nativePath, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + nativePath);
}

std::vector<uint8_t> H264Frame(bool key, size_t size, uint8_t fill) {
  std::vector<uint8_t> frame(size < 8 ? 8 : size, fill);
  frame[0] = frame[1] = frame[2] = 0;
  frame[3] = 1;
  frame[4] = key ? 0x67 : 0x41;  // SPS / non-IDR slice
  frame[5] = key ? 0x42 : 0x9A;
  return frame;
}

std::vector<uint8_t> Bytes(size_t size, uint8_t fill) { return std::vector<uint8_t>(size, fill); }
