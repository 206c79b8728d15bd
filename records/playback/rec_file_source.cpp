#include "records/playback/rec_file_source.h"

#include <cstring>

#include "records/recfile/rec_file_reader.h"

namespace {

class RecFileSource : public IMorvikFileSource {
 public:
  bool Open(const std::string& path) override { return reader_.Open(path.c_str()) == 1; }

  void MediaInfo(std::vector<BYTE>* video, std::vector<BYTE>* audio) override {
    BYTE mask = 0;
    VideoParam v{};
    AudioParam a{};
    reader_.GetMediaInfo(&mask, &v, &a);
    video->assign(reinterpret_cast<const BYTE*>(&v), reinterpret_cast<const BYTE*>(&v) + sizeof(v));
    if (mask == kRecMediaVideoAudio) {
      audio->assign(reinterpret_cast<const BYTE*>(&a), reinterpret_cast<const BYTE*>(&a) + sizeof(a));
    } else {
      audio->clear();
    }
  }

  int Seconds() override { return static_cast<int>(reader_.GetKeyFrameCount()); }

  bool SeekSecond(int second) override { return second >= 0 && reader_.SeekKeyFrame(static_cast<DWORD>(second)) == 0; }

  int ReadFrame(BYTE* buffer, int capacity, int* isVideo, int* isKey) override {
    return reader_.ReadFrame(buffer, capacity, isVideo, isKey);
  }

 private:
  CRecFileReader reader_;
};

}  // namespace

std::unique_ptr<IMorvikFileSource> MakeRecFileSource() { return std::make_unique<RecFileSource>(); }
