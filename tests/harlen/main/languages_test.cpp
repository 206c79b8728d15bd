// Harlen in both of its languages: every text of every page and window fits
// its control (harlen_shots measures them against the fake NVR), and the
// buttons of its message boxes read as its string tables have them.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include "common/peer_lifetime.h"
#include "common/temp_folder.h"
#include "fake_nvr_process.h"
#include "harlen/link/controls/harlen_prompt.h"
#include "harlen/link/entry/harlen_resources.h"
#include "harlen/link/entry/harlen_strings.h"
#include "support/modal_answerer.h"

namespace {

struct Language {
  const char* name;
  bool english;
  QStringList okButton;
  QStringList yesNoButtons;  // sorted
};

void PrintTo(const Language& language, std::ostream* os) { *os << language.name; }

const Language kLanguages[] = {
    {"Chinese", false, {QStringLiteral("确定")}, {QStringLiteral("否"), QStringLiteral("是")}},
    {"English", true, {QStringLiteral("OK")}, {QStringLiteral("No"), QStringLiteral("Yes")}},
};

class HarlenLanguages : public ::testing::TestWithParam<Language> {
 protected:
  void TearDown() override { harlenres::FreeLanguageLibrary(); }
};

}  // namespace

TEST_P(HarlenLanguages, EveryTextFitsItsControl) {
  FakeNvrProcess nvr;
  ASSERT_TRUE(nvr.Ready());
  TempFolder folder;
  QStringList arguments{QStringLiteral("--port"), QString::number(nvr.Port()), QStringLiteral("--out"),
                        QString::fromStdString(folder.Path()), QStringLiteral("--check")};
  if (GetParam().english) arguments << QStringLiteral("--english");
  QProcess shots;
  shots.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  DieWithParent(shots);
  shots.start(QStringLiteral(HARLEN_SHOTS_FILE), arguments);
  ASSERT_TRUE(shots.waitForFinished(180000));
  const QString output = QString::fromUtf8(shots.readAllStandardOutput());
  const qsizetype misfits = output.indexOf(QStringLiteral("texts that do not fit:"));
  EXPECT_EQ(shots.exitCode(), 0) << (misfits >= 0 ? output.mid(misfits) : output.right(2000)).toStdString();
}

TEST_P(HarlenLanguages, MessageBoxButtonsReadAsTheStringTableHasThem) {
  if (GetParam().english) {
    ASSERT_TRUE(harlenres::LoadLanguageLibrary("Lorvan_En.dll"));
  }
  ModalAnswerer answerer;
  HarlenMessage(nullptr, IDS_MSG_SAVED);
  answerer.AnswerMessage(QMessageBox::Yes);
  EXPECT_TRUE(HarlenAskYesNo(nullptr, IDS_MSG_RESTORE_CONFIRM, IDS_CAPTION_CONFIG));
  ASSERT_EQ(answerer.ButtonTexts().size(), 2);
  EXPECT_EQ(answerer.ButtonTexts()[0], GetParam().okButton);
  EXPECT_EQ(answerer.ButtonTexts()[1], GetParam().yesNoButtons);
}

INSTANTIATE_TEST_SUITE_P(Harlen, HarlenLanguages, ::testing::ValuesIn(kLanguages),
                         [](const auto& info) { return std::string(info.param.name); });
