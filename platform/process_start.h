// Starting another program, as the shell's "open" verb does for a program file.
#pragma once

#include <string>

// Starts the program `path` (the program's ANSI path) without arguments, in the
// background and detached from this process: it is never waited for and leaves
// no zombie. False when the file is not an executable program or it could not
// be started.
bool StartProgramDetached(const std::string& path);
