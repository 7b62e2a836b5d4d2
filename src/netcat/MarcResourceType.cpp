#include "netcat/MarcResourceType.h"

#include <QHash>

namespace {

// The 200 $b texts of each type; the reserved types have none.
constexpr struct
{
    TResourceType type;
    const char16_t* text;
} TypeTexts[] = {
    {rtUnknown, u"类型不详"},
    {rtBookChinese, u"中文图书"},
    {rtBookChinese, u"专著"},
    {rtBookChinese, u"地方文献"},
    {rtBookChinese, u"规范文档"},
    {rtBookChinese, u"地方志"},
    {rtBookChineseOverseas, u"海外中文图书"},
    {rtBookChineseOverseas, u"海外 中文图书"},
    {rtBookChineseOverseas, u"海外00000000000000000000000中文图书"},
    {rtBookChineseMinority, u"民语文献"},
    {rtBookChineseAncient, u"中文古籍"},
    {rtBookWestern, u"西文图书"},
    {rtBookJapanese, u"日文图书"},
    {rtBookRussian, u"俄文图书"},
    {rtBookFrench, u"法文图书"},
    {rtBookGerman, u"德文图书"},
    {rtBookKorean, u"韩文图书"},
    {rtSerialChinese, u"中文期刊"},
    {rtSerialChinese, u"期刊"},
    {rtSerialChinese, u"中文连续出版物"},
    {rtSerialWestern, u"西文期刊"},
    {rtSerialWestern, u"西文连续出版物"},
    {rtSerialJapanese, u"日文期刊"},
    {rtSerialJapanese, u"日文连续出版物"},
    {rtSerialRussian, u"俄文期刊"},
    {rtSerialElectronic, u"电子期刊"},
    {rtNewspaperChinese, u"中文报纸"},
    {rtCD, u"电子资源.CD"},
    {rtCD, u"光盘"},
    {rtCD, u"视频光盘"},
    {rtRecording, u"录像资料"},
    {rtRecording, u"多媒体资料"},
    {rtMusic, u"音乐录音"},
    {rtFilm, u"电影胶片"},
    {rtTape, u"磁带"},
    {rtThesis, u"学位论文"},
    {rtThesis, u"博士论文"},
    {rtMicroform, u"缩微制品"},
};

const QHash<QString, TResourceType>& TypesByText()
{
    static const QHash<QString, TResourceType> table = [] {
        QHash<QString, TResourceType> result;
        for (const auto& [type, text] : TypeTexts)
            result.insert(QString::fromUtf16(text).toCaseFolded(), type);
        return result;
    }();
    return table;
}

} // namespace

std::optional<TResourceType> ResourceTypeFromText(const QString& text)
{
    const auto& table = TypesByText();
    const auto found = table.constFind(text.toCaseFolded());
    if (found == table.cend())
        return std::nullopt;
    return *found;
}

QString ResourceTypeName(TResourceType type)
{
    static constexpr const char* names[] = {
        "rtUnknown", "rtBookChinese", "rtBookChineseOverseas", "rtBookChineseMinority",
        "rtBookChineseAncient", "rtCBook3", "rtCBook4", "rtCBook5", "rtBookWestern",
        "rtBookJapanese", "rtBookRussian", "rtBookFrench", "rtBookGerman", "rtBookKorean",
        "rtBook5", "rtBook6", "rtSerialChinese", "rtSerialWestern", "rtSerialJapanese",
        "rtSerialRussian", "rtSerial2", "rtSerial3", "rtSerialElectronic", "rtSerial5",
        "rtNewspaperChinese", "rtn1", "rtn2", "rtn3", "rtn4", "rtn5", "rtn6", "rtCD",
        "rtRecording", "rtMusic", "rtFilm", "rtTape", "rtThesis", "rtMicroform",
    };
    static_assert(std::size(names) == ResourceTypeCount);
    if (type < 0 || type >= ResourceTypeCount)
        return {};
    return QString::fromLatin1(names[type]);
}
