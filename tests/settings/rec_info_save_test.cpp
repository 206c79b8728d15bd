// "RecInfo.xml", which every change of the record-scheme page rewrites: a
// writer killed in the middle of a save leaves a whole file, the old one or
// the new one, never a part of either.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <tinyxml.h>

#include "core/config_xml.h"
#include "record_page_fixture.h"

TEST_F(RecordPageTest, AWriterKilledMidSaveLeavesAWholeFile) {
  DevInfo& cam = AddDevice("Cam1", "ID1");
  constexpr int kSchemes = 1000;  // a file of two megabytes: a save takes a while
  for (int i = 0; i < kSchemes; ++i) {
    RecSchemeInfo* scheme = AddScheme(("Old " + std::to_string(i)).c_str(), 8, Hms(0, 0, 0), Hms(1, 0, 0),
                                      {&cam, &cam, &cam, &cam, &cam, &cam, &cam, &cam});
    CopyFixedText(scheme->StoragePath2, std::string(900, 'p').c_str());
  }
  SaveRecInfo();
  for (RecSchemeInfo* scheme : g_lstRecSchemeInfo) scheme->SchemeName[0] = 'N';  // "Nld <i>": the new state
  for (int round = 0; round < 12; ++round) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) SaveRecInfo();  // the child saves the new state until it is killed
    }
    // Kills spread over several saves of the child: some land in the writing.
    std::this_thread::sleep_for(std::chrono::milliseconds(10 + 29 * round));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    TiXmlDocument doc;
    ASSERT_TRUE(LoadConfigDocument(ConfigFile("RecInfo.xml"), doc)) << "round " << round;
    int count = 0;
    char first = 0;
    for (const TiXmlElement* e = doc.RootElement()->FirstChildElement("RecScheme"); e;
         e = e->NextSiblingElement("RecScheme")) {
      const char* name = e->FirstChildElement("SchemeName")->GetText();
      if (count++ == 0) first = name[0];
      EXPECT_EQ(name[0], first) << "round " << round;  // one state, whole
    }
    EXPECT_EQ(count, kSchemes) << "round " << round;
  }
}
