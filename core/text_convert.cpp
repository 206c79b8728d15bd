#include "core/text_convert.h"

#include <tinyxml.h>

#include "platform/codepage.h"

BOOL AnsiToWide(const CString& in, CStringW& out) {
  if (in.empty()) return FALSE;
  out = codepage::GbkToWide(in);
  return TRUE;
}

BOOL WideToAnsi(const CStringW& in, CString& out) {
  if (in.empty()) return FALSE;
  out = codepage::WideToGbk(in);
  return TRUE;
}

int SplitString(CString text, CString sep, BOOL bSkipEmpty, CStringArray* out) {
  if (!out || sep.empty()) return 0;
  int count = 0;
  size_t start = 0;
  while (true) {
    const size_t found = text.find(sep, start);
    const size_t end = found == CString::npos ? text.size() : found;
    if (!bSkipEmpty || end > start) {
      out->push_back(text.substr(start, end - start));
      ++count;
    }
    if (found == CString::npos) break;
    start = found + sep.size();
  }
  return count;
}

const char* GetNodeText(const TiXmlElement* element) {
  if (!element) return "";
  const TiXmlNode* child = element->FirstChild();
  if (!child || !child->Value()) return "";
  return child->Value();
}
