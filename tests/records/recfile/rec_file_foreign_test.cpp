// AVI files of other writers do not follow the record layout (the header lists
// are not padded to the fixed "movi" position, odd chunks are padded): the
// reader refuses them cleanly instead of reading chunks from the wrong place.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/temp_folder.h"
#include "records/recfile/rec_file_reader.h"
#include "records/search/rec_day_map.h"

namespace {

bool HaveFfmpeg() { return std::system("ffmpeg -hide_banner -version >/dev/null 2>&1") == 0; }

TEST(RecFileForeign, AviFilesOfFfmpegsMuxerAreRefused) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
  TempFolder folder;
  struct Case {
    const char* name;
    const char* args;
  } cases[] = {
      {"mpeg4-small.avi", "-f lavfi -i testsrc=size=176x144:rate=25 -t 0.4 -c:v mpeg4"},
      {"mpeg4.avi", "-f lavfi -i testsrc=size=352x288:rate=25 -t 2 -c:v mpeg4"},
      {"mpeg4-alaw.avi",
       "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=8000 -t 1 -c:v mpeg4 -c:a pcm_alaw"},
      {"h264.avi", "-f lavfi -i testsrc=size=704x576:rate=25 -t 1 -c:v libx264 -preset ultrafast -g 25"},
      {"h264-aac.avi",
       "-f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i sine=f=440:r=16000 -t 1 -c:v libx264 -preset ultrafast -c:a aac"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(c.name);
    const std::string command = std::string("ffmpeg -v error -y ") + c.args + " -f avi " + path + " 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    CRecFileReader reader;
    EXPECT_EQ(reader.Open(path.c_str()), 0);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(CRecDayMapBuilder::GetRecFileSeconds(path.c_str()), 0);
  }
}

}  // namespace
