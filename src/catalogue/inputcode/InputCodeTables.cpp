#include "catalogue/inputcode/InputCodeTables.h"

namespace InputCodeTables {

const char GbkNumberSymbols[94][3] = {
    // 0xA1-0xAA ⅰ-ⅹ
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xAB-0xB0 unassigned
    "", "", "", "", "", "",
    // 0xB1-0xC4 ⒈-⒛
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
    // 0xC5-0xD8 ⑴-⒇
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
    // 0xD9-0xE2 ①-⑩
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xE3-0xE4 unassigned
    "", "",
    // 0xE5-0xEE ㈠-㈩
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xEF-0xF0 unassigned
    "", "",
    // 0xF1-0xFC Ⅰ-Ⅻ
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
    // 0xFD-0xFE unassigned
    "", "",
};

const char GreekReadings[24][3] = {
    "a", "b", "g", "d", "e", "z", "e", "th", "i", "k", "l", "m",
    "n", "x", "o", "p", "r", "s", "t", "u", "ph", "kh", "ps", "o",
};

// ! " # $ % & ( ) * + - . 0-9 : < > ? @ A-Z [ ] ^ a-z
const quint32 InputCodeKeptChars[3] = {0xD7FF6F7E, 0x6FFFFFFF, 0x07FFFFFE};

} // namespace InputCodeTables
