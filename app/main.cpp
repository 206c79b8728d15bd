// vemo: the video surveillance client.
#include <QApplication>
#include <cstdlib>

#include "app/placeholder_main_dlg.h"
#include "app/vemo_app.h"
#include "core/crash_report.h"
#include "platform/paths.h"

int main(int argc, char** argv) {
  CExceptionReporter::Install();
  QApplication application(argc, argv);
  // VEMO_PROGRAM_DIR points the program at another program folder (its
  // configuration, pictures and string tables), as the tests do.
  if (const char* folder = std::getenv("VEMO_PROGRAM_DIR"); folder != nullptr && *folder != '\0') {
    paths::SetProgramFolder(folder);
  }
  CVistarelApp app([] {
    CPlaceholderMainDlg mainDlg;
    mainDlg.exec();
  });
  app.InitInstance(argc, argv);
  return 0;
}
