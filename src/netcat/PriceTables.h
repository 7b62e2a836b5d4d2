#pragma once

#include <QStringView>

#include <array>

// Constant data of the price normaliser. Each list's order decides which entry wins.

struct PriceFixup
{
    enum Mode { EveryOccurrence, FirstIgnoringCase };
    QStringView from;
    QStringView to;
    Mode mode = EveryOccurrence;
};

// Known misspellings of whole price texts. The first four (printing dates with a period
// inside parentheses) run before a leading parenthesis is moved to the end, the others after.
inline constexpr auto PriceFixups = std::to_array<PriceFixup>({
    {u"(第二次印刷1986.5)", u"(第二次印刷一九八六年五月)"},
    {u"(第一次印刷1985.5)", u"(第一次印刷一九八五年五月)"},
    {u"(一版二印1973.8)", u"(一版二印：一九七八年八月)"},
    {u"(一版一印1966.1)", u"(一版一印：一九六六年一月)"},
    {u"YUE 3CNY", u"CNY"},
    {u"C1NY", u"CNY"},
    {u"光盘1片", u"光盘一片"},
    {u"大32开", u"大三十二开"},
    {u"编译资料第5号", u"编译资料第五号"},
    {u"WTD十二元(第一册),WDT十六元(第二册)", u"TWD12元(第一册),TWD16元(第二册)"},
    {u"台币六.七元正", u"台币6.7元"},
    {u"新台币一百0二元", u"新台币102元"},
    {u"台币一·二00元", u"台币1200元"},
    {u"壹百壹拾元整.台币", u"台币110元"},
    {u"新港币20。00元", u"新港币20.00元"},
    {u"四角(H.K.D)", u"HKD0.4"},
    {u"一元五角(H.K.D)", u"HKD1.5元"},
    {u"每套350元美金", u"每套USD350元"},
    {u"日元定价二三00", u"日元定价2300"},
    {u"大洋五元(全2册)", u"大洋5元(全2册)"},
    {u"大洋贰元 (12册)", u"大洋2元 (12册)"},
    {u"国币一十一元六角", u"国币11.6元"},
    {u"国币三元 (3冊)", u"国币3元 (3冊)"},
    {u"二元四角", u"2.4"},
    {u"四元三角", u"4.3"},
    {u"一元二角", u"1.2"},
    {u"一元六角", u"1.6"},
    {u"壹元陸角", u"1.6"},
    {u"一元七角", u"1.7"},
    {u"叁元肆角", u"3.4"},
    {u"叁元伍角", u"3.5"},
    {u"肆元捌角", u"4.8"},
    {u"六元(1),四元二角", u"CNY6(1),四元二角"},
    {u"CN-A23-331-00/A.G4", u""},
    {u"CNYO.", u"CNY0."},
    {u"￥o.", u"￥0.", PriceFixup::FirstIgnoringCase},
    {u"o.65", u"0.65"},
});
static_assert(PriceFixups.size() == 37);
inline constexpr int PrintingDateFixupCount = 4;

// Words cut out of the text before the amount and moved into the notes.
inline constexpr auto PriceNoteWords = std::to_array<QStringView>({
    u"全套全国统一特惠价", u"全国统一特惠价", u"合订本半年价", u"全五册总定价", u"全套四册定价", u"VCD两张", u"解放前币制", u"东北流通劵",
    u"双CD版", u"三元二角", u"三元五角", u"三元八角", u"十四册共", u"共十二册", u"上下册共", u"经部定价", u"史部定价", u"子部定价",
    u"集部定价", u"国内定价", u"基本定价", u"基本定價", u"个人年价", u"全年定价", u"全月定价", u"全套定价", u"每套定价", u"国内交流",
    u"随书附带", u"双磁带版", u"中储券", u"CD版", u"道林本", u"乙种本", u"上.下", u"十册共", u"上下册", u"上中下", u"全四册",
    u"共四册", u"五册共", u"共十卷", u"第一册", u"全二册", u"全三册", u"全六册", u"六册共", u"四册共", u"全十册", u"全月价", u"全季价",
    u"全年价", u"总套价", u"月价格", u"每季度", u"塑精装", u"凸版纸", u"两册共", u"普通本", u"零售价", u"年定价", u"无定价", u"工本费",
    u"非卖品", u"磁带版", u"旧币制", u"上册", u"下册", u"两册", u"一册", u"二册", u"三册", u"上卷", u"三卷", u"六辑", u"合计",
    u"法币", u"旧币", u"叻币", u"不详", u"年价", u"月价", u"全年", u"全月", u"基价", u"单价", u"特价", u"估价", u"总计",
    u"精装", u"平装", u"每册", u"每月", u"每套", u"全套", u"光盘", u"本体", u"揃い", u"上", u"平", u"精", u"全", u"套",
    u"估", u"年", u"均"
});
static_assert(PriceNoteWords.size() == 106);

// Characters dropped from the text before the amount before the currency is read.
inline constexpr QStringView PriceStripChars =
    u" .·。(),，:：;；?`/\\+-～*#\x7f赠给阅送书约定价各著旧无共道交换第报伪殴";
static_assert(PriceStripChars.size() == 42);

inline constexpr auto CnyCurrencySpellings = std::to_array<QStringView>({
    u"CNY", u"CN", u"NY", u"CHN", u"CBY", u"CHY", u"CMY", u"NCY", u"NDY", u"NYD", u"VNY", u"DNY",
    u"ZNY", u"CYY", u"CAN", u"CBT", u"CND", u"CNG", u"CNI", u"CNR", u"CNT", u"CNU", u"CNV", u"CYN",
    u"CKN", u"CMU", u"FNY", u"SNY", u"XNY", u"CNYCNY", u"CNYDCNY", u"CNYCN", u"CNCNY", u"CBCNV",
    u"CCCNY", u"CNTY", u"CNHY", u"CNYA", u"CNYB", u"CNYC", u"CNYD", u"CNYF", u"CNYH", u"CNYK",
    u"CNYN", u"CNYP", u"CNYT", u"CNYX", u"CNYY", u"CNMY", u"CMNY", u"CBNY", u"CNBY", u"CNNY",
    u"CNCY", u"CFNY", u"CSNY", u"CVNY", u"CXNY", u"ACNY", u"CCNY", u"DCNY", u"ECNY", u"FCNY",
    u"NCNY", u"RCNY", u"VCNY", u"XCNY", u"ZCNY", u"CNYCNYCNYCNYCNY", u"CNYCNYCNYCNY", u"CNYCNYCNY",
    u"CNCNYY", u"RMB", u"MB", u"RAB", u"RBM", u"RAM", u"REM", u"RNB", u"BRM", u"RMBN", u"RND",
    u"￥", u"%", u"￥￥", u"￥$", u"$￥", u"S$", u"$$", u"CN￥", u"U￥", u"RMB￥", u"RMB$", u"￥CNY",
    u"CNY￥", u"CCN￥", u"CNY$", u"CNY$B", u"$CNY", u"D￥", u"￥D", u"D$", u"E$", u"￥R", u"￥A", u"C",
    u"D", u"Y", u"R", u"I", u"S", u"J", u"V", u"CY", u"CM", u"ZWJC", u"SKBC", u"CNY元", u"人民币",
    u"人民幣", u"人民券", u"CNY国币", u"国币", u"國幣", u"洋", u"大洋", u"CNY大洋", u"CNY洋", u"CNY大泮", u"￥大洋",
    u"$大洋", u"CNY金圆", u"金元", u"银", u"銀", u"$银", u"CNY银元", u"RMB银", u"$银元", u"银元", u"银圆", u"元",
    u"嫑", u"手工"
});
static_assert(CnyCurrencySpellings.size() == 145);

inline constexpr auto HkdCurrencySpellings = std::to_array<QStringView>({
    u"HKD", u"HK", u"HKY", u"HKB", u"HKF", u"HDK", u"DHK", u"HKDD", u"HKDCNY", u"KHD", u"HKHKD",
    u"CNYHKD", u"HKCNY", u"KND", u"TKD", u"￥HKD", u"HK￥", u"RMBHK￥", u"HK$", u"港", u"CNY港币",
    u"￥港币", u"$港币", u"港币", u"港元", u"新港币", u"香港"
});
static_assert(HkdCurrencySpellings.size() == 27);

inline constexpr auto TwdCurrencySpellings = std::to_array<QStringView>({
    u"TWD", u"TW", u"WT", u"WD", u"TDW", u"TWB", u"TWY", u"CTY", u"TEWD", u"TRWD", u"TWDD",
    u"TWDW", u"TTWD", u"CTWD", u"ZTWD", u"TWDF", u"TWDS", u"TMD", u"GWT", u"WTD", u"RWD",
    u"TWDTWD", u"CNTWD", u"CNYTWD", u"CNYNWT", u"TWD$", u"YWD", u"NT", u"NTTWD", u"NTD", u"NTW",
    u"TNW", u"NWY", u"NTWD", u"NTWD$", u"NT￥", u"NN$", u"NT$", u"CNYNT$", u"NTB", u"XTB", u"$E",
    u"台", u"台币", u"CNY台币", u"G台币", u"CNY新台币", u"￥新台币", u"新台币", u"RMB新台币", u"新台幣", u"新臺幣", u"新抬币",
    u"新TWD", u"TWD新"
});
static_assert(TwdCurrencySpellings.size() == 55);
