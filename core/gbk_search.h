// GBK-aware character counting and the device-name match of the search box.
//
// A byte of 128 or more starts a two-byte GBK character. A lead byte at the very
// end of a text (a cut-off character) counts as one character of its own; no
// function reads past the end of its text.
#pragma once

#include "platform/win_types.h"

// Number of characters of a GBK text; 0 for an empty text.
int GetGbkCharCount(CString text);

// The first `nChars` characters, never cutting a two-byte character; the whole
// text when it has no more; "" for nChars <= 0.
CString GbkLeft(CString text, int nChars);

// Whether the GBK character lead*256+trail lies in the code range of the pinyin
// initial `letter` (lower case). FALSE for a code outside every range.
BOOL GetPinyinInitial(BYTE lead, BYTE trail, char letter);

// TRUE when text and pattern have the same number of characters and each
// pattern character matches the text character at the same place: ASCII
// characters equal ignoring case; an ASCII pattern letter matches a Chinese
// text character with that pinyin initial; a Chinese pattern character must
// equal the text character.
BOOL MatchGbkChars(CString text, CString pattern);

// The search-box test of a device name.
//   FALSE when the text is empty or the wildcard is not ASCII; TRUE when the
//   pattern is empty.
//   bAnywhere: the pattern (a wildcard in it is an ordinary character) matches
//   the text at some character position.
//   Otherwise, with w the wildcard and x, y non-empty pieces:
//     x, xw   the text starts with x
//     w, ww   every text
//     wx      the text ends with x
//     xwy     the text starts with x and ends with y
//     wxw     x lies strictly inside the text: it occurs starting at the second
//             character or later and ending before the last character, so each
//             wildcard stands for at least one character (this also makes the
//             text at least two characters longer than x)
//   Any other place of two wildcards, or more than two wildcards: FALSE.
//   Every comparison is MatchGbkChars, so "zs" finds a name whose two Chinese
//   characters have the initials z and s.
BOOL MatchNameFilter(CString text, CString pattern, BOOL bAnywhere, char wildcard);
