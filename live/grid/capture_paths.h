// Where a pane's snapshots and manual recordings go.
//
// Folders are ANSI paths in the program's Windows form (see platform/paths.h).
// A configured folder that is empty means "Picture" / "Video" under the program
// folder. Device names become one folder or file-name part each: characters
// that a file name cannot hold are replaced by '_'.
#pragma once

#include <ctime>
#include <string>

namespace capturepaths {

std::string PictureFolder(const std::string& configured);
std::string VideoFolder(const std::string& configured);

// The device name as one file-name part ("_" for an empty name).
std::string FileNamePart(const std::string& devName);

// <folder>\<device>_YYYYMMDDHHMMSSmmm.jpg (.bmp for picture format 0).
std::string SnapshotFile(const std::string& folder, const std::string& devName, int pictureFormat,
                         std::time_t when, int milliseconds);

// The folder tree of manual recordings: <folder>\<device>\YYYY-MM-DD\ (the
// recorder names the files in it by their start time).
std::string ManualRecordFolder(const std::string& folder, const std::string& devName, std::time_t when);

}  // namespace capturepaths
