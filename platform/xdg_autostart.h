// The desktop's autostart entry (XDG autostart): a file "<name>.desktop" in
// the folder "autostart" of the user's configuration folder (paths::ConfigHome:
// $XDG_CONFIG_HOME, else ~/.config) that starts a program
// when the user logs in to the desktop.
#pragma once

#include <string>

namespace xdgautostart {

// Native path of the entry file of `name`.
std::string EntryPath(const std::string& name);

// Writes (or replaces) the entry: it starts `program` (an ANSI path) without
// arguments. False when the file could not be written.
bool WriteEntry(const std::string& name, const std::string& program);

// Removes the entry; true when none is left.
bool RemoveEntry(const std::string& name);

}  // namespace xdgautostart
