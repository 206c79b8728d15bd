// vemo: the video surveillance client.
#include <QApplication>
#include <cstdlib>

#include "app/main_window_env.h"
#include "app/vemo_app.h"
#include "core/crash_report.h"
#include "platform/paths.h"
#include "shell/vistarel_dlg.h"
#include "ui/draw_text.h"

int main(int argc, char** argv) {
  CExceptionReporter::Install();
  QApplication application(argc, argv);
  QApplication::setFont(DialogFont());  // the font the windows are laid out for
  // VEMO_PROGRAM_DIR points the program at another program folder (its
  // configuration, pictures and string tables), as the tests do.
  if (const char* folder = std::getenv("VEMO_PROGRAM_DIR"); folder != nullptr && *folder != '\0') {
    paths::SetProgramFolder(folder);
  }
  CVistarelApp app([] {
    CVistarelDlg mainDlg(MakeMainWindowEnv());
    mainDlg.DoModal();
  });
  app.InitInstance(argc, argv);
  return 0;
}
