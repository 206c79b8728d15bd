#include "core/gbk_search.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 128; }

// Byte offsets where each character of `text` starts, plus text.size() at the end.
std::vector<size_t> CharStarts(const CString& text) {
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    i += (IsLeadByte(text[i]) && i + 1 < text.size()) ? 2 : 1;
  }
  starts.push_back(text.size());
  return starts;
}

// Characters [first, first + count) of a text whose character starts are `starts`.
CString CharPiece(const CString& text, const std::vector<size_t>& starts, size_t first,
                  size_t count) {
  return text.substr(starts[first], starts[first + count] - starts[first]);
}

struct PinyinRow {
  unsigned first;
  unsigned last;
  char letter;
};

// GBK code ranges of the pinyin initials, in code order (no rows for i, u, v).
// GB2312's first level is sorted by pinyin, so each row runs from the first
// character of its initial to the last: h ends with 祸 (BBF6) and j begins with
// 击 (BBF7); m ends with 穆 (C4C2) and n begins with 拿 (C4C3).
constexpr std::array<PinyinRow, 23> kPinyinRows{{
    {0xB0A1, 0xB0C4, 'a'}, {0xB0C5, 0xB2C0, 'b'}, {0xB2C1, 0xB4ED, 'c'}, {0xB4EE, 0xB6E9, 'd'},
    {0xB6EA, 0xB7A1, 'e'}, {0xB7A2, 0xB8C0, 'f'}, {0xB8C1, 0xB9FD, 'g'}, {0xB9FE, 0xBBF6, 'h'},
    {0xBBF7, 0xBFA5, 'j'}, {0xBFA6, 0xC0AB, 'k'}, {0xC0AC, 0xC2E7, 'l'}, {0xC2E8, 0xC4C2, 'm'},
    {0xC4C3, 0xC5B5, 'n'}, {0xC5B6, 0xC5BD, 'o'}, {0xC5BE, 0xC6D9, 'p'}, {0xC6DA, 0xC8BA, 'q'},
    {0xC8BB, 0xC8F5, 'r'}, {0xC8F6, 0xCBF9, 's'}, {0xCBFA, 0xCDD9, 't'}, {0xCDDA, 0xCEF3, 'w'},
    {0xCEF4, 0xD1B8, 'x'}, {0xD1B9, 0xD4D0, 'y'}, {0xD4D1, 0xD7F9, 'z'},
}};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the text starts with `piece` (compared with MatchGbkChars).
bool StartsWith(const CString& text, const CString& piece) {
  return MatchGbkChars(GbkLeft(text, GetGbkCharCount(piece)), piece);
}

bool EndsWith(const CString& text, const std::vector<size_t>& starts, const CString& piece) {
  const size_t textChars = starts.size() - 1;
  const size_t pieceChars = static_cast<size_t>(GetGbkCharCount(piece));
  if (pieceChars > textChars) return false;
  return MatchGbkChars(CharPiece(text, starts, textChars - pieceChars, pieceChars), piece);
}

// Whether `piece` matches the text at some character position in [from, to].
bool OccursBetween(const CString& text, const std::vector<size_t>& starts,
                   const CString& piece, size_t from, size_t to) {
  const size_t textChars = starts.size() - 1;
  const size_t pieceChars = static_cast<size_t>(GetGbkCharCount(piece));
  for (size_t pos = from; pos <= to && pos + pieceChars <= textChars; ++pos) {
    if (MatchGbkChars(CharPiece(text, starts, pos, pieceChars), piece)) return true;
  }
  return false;
}

}  // namespace

int GetGbkCharCount(CString text) {
  return static_cast<int>(CharStarts(text).size() - 1);
}

CString GbkLeft(CString text, int nChars) {
  if (nChars <= 0) return CString();
  const std::vector<size_t> starts = CharStarts(text);
  const size_t count = std::min(static_cast<size_t>(nChars), starts.size() - 1);
  return text.substr(0, starts[count]);
}

BOOL GetPinyinInitial(BYTE lead, BYTE trail, char letter) {
  const unsigned code = static_cast<unsigned>(lead) * 256 + trail;
  // First row whose last code is not below `code`.
  auto row = std::lower_bound(kPinyinRows.begin(), kPinyinRows.end(), code,
                              [](const PinyinRow& r, unsigned c) { return r.last < c; });
  if (row == kPinyinRows.end() || code < row->first) return FALSE;
  return row->letter == letter ? TRUE : FALSE;
}

BOOL MatchGbkChars(CString text, CString pattern) {
  const std::vector<size_t> t = CharStarts(text);
  const std::vector<size_t> p = CharStarts(pattern);
  if (t.size() != p.size()) return FALSE;
  for (size_t i = 0; i + 1 < t.size(); ++i) {
    const size_t tLen = t[i + 1] - t[i];
    const size_t pLen = p[i + 1] - p[i];
    const char pc = pattern[p[i]];
    if (!IsLeadByte(pc)) {
      if (tLen == 1) {
        // A single byte: ASCII, or a cut-off lead byte that only equals itself.
        if (LowerAscii(text[t[i]]) != LowerAscii(pc)) return FALSE;
      } else if (!GetPinyinInitial(static_cast<BYTE>(text[t[i]]), static_cast<BYTE>(text[t[i] + 1]),
                                   LowerAscii(pc))) {
        return FALSE;
      }
    } else if (tLen != pLen || text.compare(t[i], tLen, pattern, p[i], pLen) != 0) {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL MatchNameFilter(CString text, CString pattern, BOOL bAnywhere, char wildcard) {
  if (text.empty() || IsLeadByte(wildcard)) return FALSE;
  if (pattern.empty()) return TRUE;
  const std::vector<size_t> starts = CharStarts(text);
  const size_t textChars = starts.size() - 1;

  if (bAnywhere) {
    return OccursBetween(text, starts, pattern, 0, textChars) ? TRUE : FALSE;
  }

  // Character positions of the wildcards (a trail byte is never taken for one).
  const std::vector<size_t> p = CharStarts(pattern);
  const size_t patternChars = p.size() - 1;
  std::vector<size_t> wild;
  for (size_t i = 0; i < patternChars; ++i) {
    if (p[i + 1] - p[i] == 1 && pattern[p[i]] == wildcard) wild.push_back(i);
  }
  const size_t last = patternChars - 1;

  switch (wild.size()) {
    case 0:
      return StartsWith(text, pattern) ? TRUE : FALSE;
    case 1: {
      const CString x = CharPiece(pattern, p, 0, wild[0]);
      const CString y = CharPiece(pattern, p, wild[0] + 1, last - wild[0]);
      if (x.empty() && y.empty()) return TRUE;
      if (y.empty()) return StartsWith(text, x) ? TRUE : FALSE;
      if (x.empty()) return EndsWith(text, starts, y) ? TRUE : FALSE;
      return (StartsWith(text, x) && EndsWith(text, starts, y)) ? TRUE : FALSE;
    }
    case 2: {
      if (patternChars == 2) return TRUE;
      if (wild[0] != 0 || wild[1] != last) return FALSE;
      const CString x = CharPiece(pattern, p, 1, patternChars - 2);
      const size_t xChars = patternChars - 2;
      if (textChars < xChars + 2) return FALSE;
      // x starts at the second character or later and ends before the last one.
      return OccursBetween(text, starts, x, 1, textChars - 1 - xChars) ? TRUE : FALSE;
    }
    default:
      return FALSE;
  }
}
