#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLatin1StringView>

// The input code worked out on GBK bytes, character by character as the bytes come. The
// fast MakeInputCode() is derived from this, and the tests hold the two against each other.

// Input code of GBK-encoded text.
QByteArray InputCodeOfGbk(QByteArrayView gbk);

// GBK code of a UTF-16 code unit: a byte value up to 0xFF for a one-byte character, a
// double-byte code lead << 8 | trail, or -1 when GBK has no such character.
int GbkCodeOf(char16_t unit);

// Pinyin reading of a GBK double-byte code, empty when it has none.
QLatin1StringView PinyinOfGbk(int code);
