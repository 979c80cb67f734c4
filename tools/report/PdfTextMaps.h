#pragma once
// The text maps of a PDF that QPdfWriter made, mended so that text copied
// or searched in a viewer is the text printed.
//
// Qt's PDF engine maps each glyph of an embedded font back to the lowest
// code point that the font's cmap gives that glyph (its ToUnicode map). In
// a CJK font that is often a compatibility character: the ideograph 力
// shares its glyph with the Kangxi radical ⼒ (U+2F12), which comes first,
// and so do 一, 二, 工, 小 and some two hundred more; the space shares its
// glyph with the tab. The glyphs drawn are right; only the text taken out
// of the page is wrong ("電⼒" for "電力"), and a search for it fails.
#include <QByteArray>

// The PDF with every ToUnicode map target that is a CJK radical (U+2E80 to
// U+2FDF) replaced by the ideograph it stands for and a tab, line feed or
// carriage return by the space; the streams' lengths, the cross-reference
// table and its offset follow. A file not laid out as QPdfWriter lays it
// out (an uncompressed map with a direct length, one classic
// cross-reference table) comes back unchanged.
QByteArray mendToUnicodeMaps(const QByteArray &pdf);
