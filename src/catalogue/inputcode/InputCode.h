#pragma once

#include <QString>

// The input code of a name: the first pinyin letter of each Chinese character, with Latin
// letters, digits and a few signs passed through, upper-cased ("科学出版社" gives "KXCBS").
// Characters outside GBK give "?". Never fails; safe to call from any thread.
QString MakeInputCode(const QString& text);
