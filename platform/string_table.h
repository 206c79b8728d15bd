// The user-interface texts by string id, from the chosen language's table.
//
// A language library of the program ("LangSC.dll" Simplified Chinese, the
// default; "LangEn.dll", "LangTC.dll", "LangRS.dll", "LangHB.dll",
// "LangTK.dll") is the string-table file of the same name in the program
// folder's "Lang": "LangEn.dll" -> Lang/LangEn.xml. The file, in UTF-8:
//
//   <StringTable>
//     <String id="228">The program is runing...</String>
//     <String id="911"><![CDATA[Only allowed to  add ten patrol points.]]></String>
//   </StringTable>
//
// Plain element text has its runs of white space condensed to one blank by the
// XML reader; a text whose blanks or line breaks matter is written as CDATA, as
// above. A later entry with the same id replaces an earlier one.
//
// Loading is thread-safe; the texts may be read from any thread.
#pragma once

#include <QString>
#include <initializer_list>
#include <map>
#include <set>
#include <string>

#include "platform/win_types.h"

// Replaces the loaded table with the named library's; FALSE (and no table) when
// its file is missing or is not a string table. The toolkit's own texts follow
// the library's language (platform/toolkit_texts.h).
BOOL LoadLanguageLibrary(const char* dllName);
void FreeLanguageLibrary();

CString LoadStringA(UINT id);  // GBK; empty when the id is missing
QString LoadStringW(UINT id);  // empty when the id is missing
// The text of `id` (GBK) with its "%d" places filled with `numbers` in order
// (places past the numbers stay as they are); `fallback` when the id is missing.
CString FormatStringA(UINT id, const char* fallback, std::initializer_list<long> numbers);

namespace stringtable {
// Reads a string-table file's text (the form above) into id -> UTF-8 text;
// false (and `out` untouched) when it is not a string table.
bool Parse(const std::string& xml, std::map<UINT, std::string>& out);

// Every id asked for (found or not) since the last table was loaded: what the
// windows opened so far use, for checking that each table holds them.
std::set<UINT> AskedIds();

// The folder of the string-table files (native path, trailing '/'): the one
// set here, else the program folder's "Lang/". Empty: back to the default.
std::string Folder();
void SetFolder(const std::string& nativeFolder);
}  // namespace stringtable
