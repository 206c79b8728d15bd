// The XML files of the program folder's "Config": loading, default documents,
// atomic saving and the element helpers the stores share.
//
// The files are GBK text declared "gb2312". They are parsed byte by byte (the
// GBK bytes pass through unchanged) and saved exactly as TinyXML prints a
// document, through a temporary file renamed over the old one, so a crash
// mid-write leaves the old file whole; the temporary such a crash leaves
// behind is removed at the file's next write. A file that starts with the UTF-8
// byte-order mark (as editors of other systems write it) is read as UTF-8, its
// texts turned into GBK. Only a regular file is read: anything else of the
// file's name (a folder) counts as a file that cannot be read.
#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

// The program folder + "Config\\" + `fileName`.
std::string ConfigFilePath(const char* fileName);

// Loads the document for a reader. When the file is missing or cannot be parsed,
// the default document `defaultText` is written as a zero-filled block of
// `blockSize` bytes (the text followed by zero bytes) and false is returned, so
// the caller reads again. A file that cannot be parsed is first kept beside the
// new one as <file>.bad (one copy, the latest), so the records it held are not
// lost; when that copy cannot be written the file is left as it is (false). A
// file that exists but cannot be read is left alone (false). A UTF-8 file is
// written back in the program's form once it has been read.
bool LoadConfigOrWriteDefault(const std::string& path, TiXmlDocument& doc,
                              const char* defaultText, size_t blockSize);

// Loads the document in either form; false when the file is missing, cannot be
// read or cannot be parsed. Nothing is written.
bool LoadConfigDocument(const std::string& path, TiXmlDocument& doc);

// Loads the document for a writer; when it cannot be loaded, logs
// "Failed to load file, %s" (mask -2) and returns false: nothing is written.
bool LoadConfigForSave(const std::string& path, TiXmlDocument& doc);

// Saves the document as TinyXML prints it (four-blank indent, "\n" line breaks).
bool SaveConfigXml(const TiXmlDocument& doc, const std::string& path);

// Appends <name>text</name> (an empty text gives <name></name>) / the decimal value.
TiXmlElement* AppendTextElement(TiXmlNode* parent, const char* name, const char* text);
TiXmlElement* AppendIntElement(TiXmlNode* parent, const char* name, int value);

// atoi of the element's text (0 for no text).
int ElementInt(const TiXmlElement* element);

// True when the element's name is exactly `name` (case-sensitive).
bool IsElement(const TiXmlElement* element, const char* name);
