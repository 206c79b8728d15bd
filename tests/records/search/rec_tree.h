// A record folder tree in a temporary folder, and the schemes that point at it.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "common/temp_folder.h"
#include "core/rec_scheme.h"

class RecTree {
 public:
  // The storage path `name` below the temporary folder (ANSI form, as a scheme stores it).
  std::string Storage(const std::string& name) const { return folder_.Path() + name; }

  // Creates the day folder and returns its native path with a trailing '/'.
  std::string DayFolder(const std::string& storage, const std::string& device, const std::string& kind, int year,
                        int month, int day, const std::string& source = "Local") const;
  // A file of `size` bytes.
  static void WriteFile(const std::string& path, size_t size);
  // A record file `seconds` long (1 frame per second); 0: a file that does not open.
  static void WriteRecord(const std::string& path, int seconds);

  // A scheme kept by the tree; storage paths may be empty.
  RecSchemeInfo& AddScheme(const std::string& path1, const std::string& path2 = "", const std::string& path3 = "");
  const std::list<RecSchemeInfo*>& Schemes() const { return schemes_; }

 private:
  TempFolder folder_;
  std::list<std::unique_ptr<RecSchemeInfo>> owned_;
  std::list<RecSchemeInfo*> schemes_;
};

// A device entry: type, name, address, NVR channel and id.
DevInfo MakeDevice(int type, const char* name, const char* ip = "10.0.0.1", int channel = 0, const char* id = "");
