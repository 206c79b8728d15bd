// Writes a picture as a BMP (format 0) or JPG (format 1, any other value) file.
#pragma once

#include <QImage>
#include <string>

namespace snapshotwriter {

// ansiPath: the program's Windows-form path of the file, or of a folder (ending
// in a backslash or naming an existing folder), in which the file is named
// "YYYYMMDDHHMMSSmmm.bmp"/".jpg" from the local time. Missing folders are made;
// the file is replaced whole. Returns the ANSI path written, empty on failure.
std::string Save(const QImage& picture, long format, const std::string& ansiPath);

}  // namespace snapshotwriter
