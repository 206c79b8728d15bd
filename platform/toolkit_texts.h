// The toolkit's own texts (the buttons of message boxes and folder pickers,
// the menus of edit boxes) in the interface language: the toolkit's
// translation that goes with a language library of the program.
#pragma once

#include <string>

namespace toolkittexts {

// The toolkit translation's name for a language library's base name
// ("LangSC" -> "qtbase_zh_CN"); empty for English and unknown libraries,
// whose toolkit texts stay the toolkit's own.
std::string TranslationFor(const std::string& libraryBase);

// Installs the translation for `libraryBase` in place of the one installed
// before (none for an empty name or a missing file). Needs the application
// object; without one nothing happens.
void Use(const std::string& libraryBase);

}  // namespace toolkittexts
