#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class Database;
class Dialect;
class PagedQueryModel;

// One entry of the search field list: the column searched and the caption shown.
struct FinderSearchField
{
    QString name;
    QString caption;
};

// A grid column of the kiosk: the field shown, its caption and its width in characters.
struct FinderColumn
{
    QString field;
    QString caption;
    int width;
};

const QList<FinderSearchField>& FinderSearchFields();
const QList<FinderColumn>& FinderTitleColumns();
const QList<FinderColumn>& FinderCopyColumns();

inline const QString FinderDefaultSearchField = QStringLiteral("BookName");

// "<field> LIKE '%text%'", the text taken as typed ('%' and '_' stay wildcards), wrapped in
// a sub-select of the copies for the copy columns. Empty for an empty text or no field.
QString BuildFinderCondition(const QString& fieldName, const QString& text, const Dialect& dialect);
// The titles statement of a condition (an empty one lists every title).
QString FinderTitlesSql(const QString& condition);
// The titles statement as it is read page by page. On the server an unordered scan may
// start where a concurrent scan of the table is, or merge parallel workers, so one page
// would not follow on from the last: there pages are read in key order. The file database
// always scans in key order, and an ORDER BY would only slow down its count.
QString FinderPagedTitlesSql(const QString& condition, const Dialect& dialect);
QString FinderCopiesSql(qint64 bookId);
QString FinderStatusText(qint64 titleCount);

// The kiosk's database work: the titles of the last search, read lazily page by page, and
// the copies of the current title. Database errors propagate to the caller.
class TFinderService : public QObject
{
    Q_OBJECT

public:
    // Works on `database` (the shared connection when null).
    explicit TFinderService(Database* database = nullptr, QObject* parent = nullptr);
    ~TFinderService() override;

    // When set, titles are counted on a connection of their own so that the first screen
    // does not wait for the count.
    void setBackgroundCount(const QString& connectionString);

    PagedQueryModel* BooksQuery() const { return m_books; }
    PagedQueryModel* CopiesQuery() const { return m_copies; }

    // Replaces the titles with those matching `text` in `fieldName`; the copies follow the
    // first title, or are emptied when nothing matches.
    void Search(const QString& fieldName, const QString& text);
    // The copies of the title in `row`; none for a row outside the titles.
    void SelectTitle(qint64 row);

    const QString& lastStatement() const { return m_statement; }
    // The exact number of titles found; -1 while it is being counted.
    qint64 TitleCount() const;
    qint64 currentTitle() const { return m_currentTitle; }

signals:
    void titleCountKnown(qint64 count);

private:
    Database& database() const;

    Database* m_database;
    PagedQueryModel* m_books;
    PagedQueryModel* m_copies;
    QString m_statement;
    qint64 m_currentTitle = -1;
};
