// The program's own file and folder, and folder creation.
//
// Paths are ANSI (GBK) text. Both '\\' and '/' are taken as separators, so the
// program's Windows-form paths ("D:\\Vemo-Log\\") and native paths work alike;
// file access goes through fileapi.
#pragma once

#include <string>

#include "platform/win_types.h"

// Full path of the running program. Throws std::length_error with the text
// "ModuleFileName is too long" when the path would need a buffer of 2600
// characters or more.
std::string GetModuleFileNameStr();

// The program folder with its trailing separator: the base of every
// program-relative path ("Config\\", "Images\\" ...).
std::string GetModuleDir();

// Creates the folder and every missing parent. A trailing separator is dropped;
// a root ("D:\\", "D:", "/" or empty) and an existing folder are left alone.
// TRUE when the folder exists afterwards.
BOOL CreateDirectoryTree(CString path);

// TRUE when `path` names an existing folder.
BOOL DirectoryExists(const char* path);
