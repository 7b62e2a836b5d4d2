#include "finder/FinderService.h"

#include "foundation/DataModule.h"
#include "foundation/Database.h"
#include "foundation/Dialect.h"
#include "foundation/Errors.h"
#include "foundation/PagedQueryModel.h"
#include "foundation/SQLBuilder.h"

namespace {

const QString TitlesSelect = QStringLiteral("SELECT * FROM Books_view");

// Call numbers and barcodes belong to the copies, not to the title.
bool isCopyField(const QString& fieldName)
{
    return fieldName == QLatin1String("BookCode") || fieldName == QLatin1String("BookBarCode");
}

// The text as a LIKE pattern in which only '%' and '_' are special. The server engine
// escapes with a backslash by default; doubling it keeps a typed backslash literal.
QString likePattern(const QString& text, const Dialect& dialect)
{
    QString pattern = QStringLiteral("%") + text + QStringLiteral("%");
    if (!dialect.isFileDatabase())
        pattern.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return pattern;
}

} // namespace

const QList<FinderSearchField>& FinderSearchFields()
{
    static const QList<FinderSearchField> fields = {
        {QStringLiteral("BookName"), QStringLiteral("书刊名称")},
        {QStringLiteral("BookInputCode"), QStringLiteral("输入码")},
        {QStringLiteral("Keywords"), QStringLiteral("主题词")},
        {QStringLiteral("BookCode"), QStringLiteral("索书号")},
        {QStringLiteral("SeriesName"), QStringLiteral("丛编名")},
        {QStringLiteral("BookBarCode"), QStringLiteral("书刊条码")},
        {QStringLiteral("ISBNISSN"), QStringLiteral("ISBN\\ISSN")},
        {QStringLiteral("Author"), QStringLiteral("著者")},
        {QStringLiteral("CateCode"), QStringLiteral("书刊类别")},
        {QStringLiteral("BookType"), QStringLiteral("馆藏类型")},
        {QStringLiteral("Publisher"), QStringLiteral("出版单位")},
    };
    return fields;
}

const QList<FinderColumn>& FinderTitleColumns()
{
    static const QList<FinderColumn> columns = {
        {QStringLiteral("ISBNISSN"), QStringLiteral("ISBN\\ISSN"), 16},
        {QStringLiteral("BookName"), QStringLiteral("书刊名称"), 30},
        {QStringLiteral("BookInputCode"), QStringLiteral("输入码"), 12},
        {QStringLiteral("Author"), QStringLiteral("著者"), 20},
        {QStringLiteral("BookType"), QStringLiteral("馆藏类型"), 9},
        {QStringLiteral("CateCode"), QStringLiteral("分类号"), 16},
        {QStringLiteral("CateName"), QStringLiteral("分类名称"), 20},
        {QStringLiteral("Publisher"), QStringLiteral("出版单位"), 20},
        {QStringLiteral("PublishPlace"), QStringLiteral("出版地"), 7},
        {QStringLiteral("PublishDate"), QStringLiteral("出版日期"), 10},
        {QStringLiteral("BookPrice"), QStringLiteral("书刊定价"), 10},
        {QStringLiteral("TotalCount"), QStringLiteral("总册数"), 10},
        {QStringLiteral("LoanCount"), QStringLiteral("借出册数"), 10},
        {QStringLiteral("RemainCount"), QStringLiteral("剩余册数"), 10},
        {QStringLiteral("Keywords"), QStringLiteral("主题词"), 20},
        {QStringLiteral("SeriesName"), QStringLiteral("丛编名"), 20},
        {QStringLiteral("EditionTime"), QStringLiteral("书刊版次"), 9},
        {QStringLiteral("BookLanguage"), QStringLiteral("书刊语言"), 9},
        {QStringLiteral("BookFaceInfo"), QStringLiteral("载体形态"), 9},
        {QStringLiteral("BookAddons"), QStringLiteral("附件"), 8},
        {QStringLiteral("CN"), QStringLiteral("CN 刊号"), 15},
        {QStringLiteral("PublishPeriods"), QStringLiteral("出版周期"), 9},
        {QStringLiteral("UpDept"), QStringLiteral("主办单位"), 10},
        {QStringLiteral("Memo"), QStringLiteral("备注"), 10},
        {QStringLiteral("RegDate"), QStringLiteral("登记日期"), 10},
        {QStringLiteral("Operator"), QStringLiteral("操作员"), 10},
    };
    return columns;
}

const QList<FinderColumn>& FinderCopyColumns()
{
    static const QList<FinderColumn> columns = {
        {QStringLiteral("BookBarCode"), QStringLiteral("书刊条码 (自编号)"), 17},
        {QStringLiteral("BookState"), QStringLiteral("状态"), 5},
        {QStringLiteral("BookCode"), QStringLiteral("索书号"), 15},
        {QStringLiteral("BookRoom"), QStringLiteral("所在书室"), 10},
        {QStringLiteral("BookPos"), QStringLiteral("书刊架位"), 12},
        {QStringLiteral("VolumeInfo"), QStringLiteral("卷册期信息"), 12},
        {QStringLiteral("Price"), QStringLiteral("卷册期价格"), 12},
        {QStringLiteral("RegDate"), QStringLiteral("登记日期"), 10},
        {QStringLiteral("Operator"), QStringLiteral("操作员"), 8},
    };
    return columns;
}

QString BuildFinderCondition(const QString& fieldName, const QString& text, const Dialect& dialect)
{
    if (text.isEmpty() || fieldName.isEmpty())
        return {};
    const QString condition = fieldName + QStringLiteral(" LIKE ") + Dialect::quote(likePattern(text, dialect));
    if (isCopyField(fieldName))
        return QStringLiteral("BookID IN(SELECT BookID FROM Copies_tab WHERE ") + condition + QStringLiteral(")");
    return condition;
}

QString FinderTitlesSql(const QString& condition)
{
    return TSQLBuilder::SQL(TitlesSelect, condition);
}

QString FinderPagedTitlesSql(const QString& condition, const Dialect& dialect)
{
    if (dialect.isFileDatabase())
        return FinderTitlesSql(condition);
    return TSQLBuilder::SQL(TitlesSelect, condition, {}, QStringLiteral("BookID"));
}

QString FinderCopiesSql(qint64 bookId)
{
    return QStringLiteral("SELECT * FROM Copies_tab WHERE BookID = ") + QString::number(bookId);
}

QString FinderStatusText(qint64 titleCount)
{
    return QStringLiteral("找到书刊信息：%1 条").arg(titleCount);
}

TFinderService::TFinderService(Database* database, QObject* parent)
    : QObject(parent), m_database(database), m_books(new PagedQueryModel(this)), m_copies(new PagedQueryModel(this))
{
    m_books->setConnection(database);
    m_copies->setConnection(database);
    connect(m_books, &PagedQueryModel::countReady, this, &TFinderService::titleCountKnown);
}

TFinderService::~TFinderService() = default;

Database& TFinderService::database() const
{
    if (m_database)
        return *m_database;
    return SharedConnection();
}

void TFinderService::setBackgroundCount(const QString& connectionString)
{
    m_books->setBackgroundCount(connectionString);
}

void TFinderService::Search(const QString& fieldName, const QString& text)
{
    const QString condition = BuildFinderCondition(fieldName, text, database().dialect());
    m_statement = FinderTitlesSql(condition);
    m_currentTitle = -1;
    m_copies->clear();
    m_books->setQuery(FinderPagedTitlesSql(condition, database().dialect()));
    SelectTitle(0);
}

void TFinderService::SelectTitle(qint64 row)
{
    const int bookIdColumn = m_books->fieldIndex(QStringLiteral("BookID"));
    const QVariant bookId = m_books->value(row, bookIdColumn);
    if (row < 0 || row >= m_books->rowCount() || bookId.isNull()) {
        m_currentTitle = -1;
        m_copies->clear();
        return;
    }
    if (row == m_currentTitle)
        return;
    m_currentTitle = -1;  // until its copies are read
    m_copies->setQuery(FinderCopiesSql(bookId.toLongLong()));
    m_currentTitle = row;
}

qint64 TFinderService::TitleCount() const
{
    return m_books->countKnown() ? m_books->exactCount() : -1;
}
