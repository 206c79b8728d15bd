// Test hooks of the crash report. The program never calls these.
#pragma once

#include <string>

// The report path for a program file: its extension (a '.' in the file name
// followed by at least three characters) replaced by "RPT", else ".RPT" appended.
std::string CrashReportPathFor(const std::string& programPath);

// Writes reports as if the program file were `programPath` (native path).
void SetCrashReportProgramForTest(const std::string& programPath);
