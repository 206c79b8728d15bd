// The record search page in tests: made and shown in a main widget as the main
// window shows it, and the page's controls worked and read as a user would.
#pragma once

#include <string>

class CSearchRecDlg;
class QWidget;

namespace searchpage {

// Makes the page in `main` (which owns it) and shows both at 1024 x 768, as
// the main window shows the module's page. *page is set even when Create
// fails; true when it succeeded.
bool Show(QWidget& main, CSearchRecDlg** page);

// The page's message box text (and closes it); "" when none shows.
std::string TakeMessage(CSearchRecDlg& page);
// The status line's text.
std::string Status(CSearchRecDlg& page);
// Clicks the button `id`.
void Click(CSearchRecDlg& page, int id);
// The query span: 2024-01-<day>, the whole day.
void SetDaySpan(CSearchRecDlg& page, int day);

}  // namespace searchpage
