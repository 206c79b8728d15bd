// Text helpers: ANSI (GBK) <-> wide conversion, string splitting, XML node text.
#pragma once

#include "platform/win_types.h"

class TiXmlElement;

// Converts ANSI (GBK) text to wide text. FALSE for empty input (out unchanged).
// Invalid GBK bytes never fail: each becomes U+FFFD.
BOOL AnsiToWide(const CString& in, CStringW& out);

// Converts wide text to ANSI (GBK). FALSE for empty input (out unchanged).
// Characters GBK cannot hold become '?'.
BOOL WideToAnsi(const CStringW& in, CString& out);

// Cuts `text` at every occurrence of `sep` (a whole string) and appends the
// pieces to `out` in order; returns how many were appended. With `bSkipEmpty`
// empty pieces (between adjacent separators and at the ends) are left out.
// An empty separator or a null `out` gives 0 pieces.
int SplitString(CString text, CString sep, BOOL bSkipEmpty, CStringArray* out);

// The text of an XML element (the value of its first child), or "" when the
// element is null or has no child.
const char* GetNodeText(const TiXmlElement* element);
