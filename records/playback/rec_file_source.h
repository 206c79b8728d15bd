// The players' way into the program's record files: a file source of the
// playback control that reads through CRecFileReader.
#pragma once

#include <memory>

#include "maker/morvik/morvik.h"

// A new source (the maker handed to Morvik_SetFileSourceFactory).
std::unique_ptr<IMorvikFileSource> MakeRecFileSource();
