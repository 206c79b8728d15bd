// Harlen's resources: its dialog templates, string table and pictures, and the
// language library that can stand in for them.
//
// Harlen keeps its resources apart from the host program's: they lie in the
// folder "Harlen" beside the binary that holds Harlen (libharlen.so, or a test
// program built with Harlen's code), as files in the forms of the program's
// own resources (platform/dialog_template.h, platform/string_table.h):
//
//   Harlen/strings.xml      the string table (Simplified Chinese)
//   Harlen/dialogs/*.xml    the dialog templates
//   Harlen/images/<id>.png  the icons by resource number
//
// A language library ("Lorvan_En.dll") is the folder of the same base name
// below it (Harlen/Lorvan_En/) with a strings.xml and dialogs/ of its own:
// once loaded, its strings and dialogs are used under the same ids; an id it
// lacks is still taken from Harlen's own resources.
//
// Thread-safe: strings may be read from any thread.
#pragma once

#include <QString>
#include <initializer_list>
#include <string>

#include "platform/dialog_template.h"
#include "platform/win_types.h"

namespace harlenres {

// Native path with a trailing '/'.
std::string Folder();
// Points Harlen at another resource folder (tests); empty: back to the default.
// Drops a loaded language library.
void SetFolder(const std::string& nativeFolder);

// The template of dialog `id`: the language library's, else Harlen's own.
bool FindDialog(UINT id, DialogTemplate& out);

QString LoadString(UINT id);          // empty when no table holds the id
// String `id` with each "%d" in turn replaced by the next of `numbers`
// (a "%d" without a number is left as it is).
QString FormatString(UINT id, std::initializer_list<long long> numbers);
std::string LoadStringA(UINT id);     // the same as GBK text

// Loads the named language library: false when one is loaded already or the
// library is missing or is not a string table. Held until FreeLanguageLibrary.
bool LoadLanguageLibrary(const char* dllName);
bool HasLanguageLibrary();
void FreeLanguageLibrary();

// The picture file of icon resource `id` (native path); empty when missing.
std::string IconFile(UINT id);

}  // namespace harlenres
