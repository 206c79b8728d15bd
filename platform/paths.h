// Paths of the program.
//
// Inside the program, paths are ANSI (GBK) text in the Windows form the program
// has always used: "Config\\DevInfo.xml" below the program folder, "D:\\Vemo-Log"
// for a drive. NativePath() is the one place that turns such a path into a
// file-system path (UTF-8, forward slashes):
//   - backslashes become forward slashes;
//   - a drive letter "X:" at the start maps to the folder <drive root>/X, where the
//     drive root is $VEMO_DRIVE_ROOT when set, else $XDG_DATA_HOME/vemo/drives,
//     else ~/.local/share/vemo/drives. So "D:\\Vemo-Log\\clientlog.txt" is
//     ~/.local/share/vemo/drives/D/Vemo-Log/clientlog.txt;
//   - GBK bytes become UTF-8, so a device named in Chinese gives a readable name.
#pragma once

#include <functional>
#include <string>

namespace paths {

// Looks up an environment variable (null when unset). The rules below take it
// as a parameter, so they are checked with a table of environments: a running
// process never changes its own environment (setenv while another thread reads
// it is unsafe), it sets a folder with the setters here instead.
using EnvLookup = std::function<const char*(const char*)>;
const char* ProcessEnv(const char* name);  // std::getenv

// Full path of the running executable (ANSI), from /proc/self/exe.
std::string ProgramFile();

// The program folder (ANSI) with a trailing '/': the folder of the executable,
// or the folder set with SetProgramFolder (tests run the program's code in a
// folder of their own).
std::string ProgramFolder();
void SetProgramFolder(const std::string& folder);  // empty: back to the executable's

// The folder holding the drive folders (native, no trailing slash), by the rule
// above from `env`.
std::string DriveRoot(const EnvLookup& env);
// The drive root in use: the one set with SetDriveRoot, else the environment's.
std::string DriveRoot();
void SetDriveRoot(const std::string& folder);  // empty: back to the environment's

// The folder that stands for drive `letter` (native, no trailing slash).
std::string DriveFolder(char letter);

// The user's configuration folder (native, no trailing slash): $XDG_CONFIG_HOME
// when set, else ~/.config. The registry file and the autostart entry lie in it.
std::string ConfigHome(const EnvLookup& env);
// The one in use: the folder set with SetConfigHome, else the environment's.
std::string ConfigHome();
void SetConfigHome(const std::string& folder);  // empty: back to the environment's

// The path of `name` inside `folder` (both ANSI): the folder as it is written,
// one separator, the name. A folder that ends with a separator keeps it and
// gets no second one ("D:\" and "Record" give "D:\Record", "/srv/video/" gives
// "/srv/video/Record"); any other folder, an empty one too, gets a backslash
// ("E:\Video" gives "E:\Video\Record"). The second byte of a GBK character is
// never taken for a separator.
std::string ChildPath(const std::string& folder, const std::string& name);

// ANSI Windows-form path -> native UTF-8 path.
std::string NativePath(const std::string& ansiPath);

// Native UTF-8 path -> ANSI path with forward slashes.
std::string FromNativePath(const std::string& nativePath);

}  // namespace paths
