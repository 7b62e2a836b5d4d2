#include "admin/DemoLibrary.h"

#include "catalogue/inputcode/InputCode.h"
#include "foundation/BulkInsert.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"

#include <QDate>
#include <random>

namespace {

const QStringList TitleLeads = {
    "新编", "实用", "简明", "现代", "中国", "世界", "基础", "高等", "趣味", "图解", "少年", "大学", "经典", "当代",
    "古代", "全球", "城市", "乡村", "科学", "数字"};
const QStringList TitleSubjects = {
    "文学史", "数学分析", "物理学", "计算机网络", "经济学原理", "历史地理", "诗词鉴赏", "摄影技术", "家常菜谱", "心理学",
    "哲学思想", "艺术设计", "英语语法", "化学实验", "生物多样性", "天文观测", "法律常识", "管理学", "教育学", "音乐欣赏",
    "书法练习", "旅游指南", "园林建筑", "中医养生", "体育训练", "数据库系统", "程序设计", "人工智能", "电子电路", "机械制图",
    "民间故事", "科幻小说", "童话选", "散文集", "诗歌集", "戏剧选", "人物传记", "军事史", "水利工程", "农业技术"};
const QStringList TitleTails = {
    "教程", "导论", "概论", "研究", "手册", "十讲", "读本", "讲义", "入门", "精要", "百科", "选读", "（第2版）", "（修订本）", ""};
const QStringList Surnames = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何", "高", "林", "罗",
    "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "肖", "田", "董", "潘", "袁", "蔡", "蒋", "余"};
const QStringList GivenChars = {
    "伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟", "涛", "明", "超", "秀", "霞", "平",
    "刚", "桂", "英", "华", "文", "玉", "兰", "建", "国", "志", "海", "云", "宇", "晨", "欣", "悦", "浩", "然", "思", "雨"};
const QList<QPair<QString, QString>> PublisherNames = {
    {"人民文学出版社", "北京"}, {"商务印书馆", "北京"}, {"中华书局", "北京"}, {"高等教育出版社", "北京"},
    {"清华大学出版社", "北京"}, {"北京大学出版社", "北京"}, {"科学出版社", "北京"}, {"机械工业出版社", "北京"},
    {"电子工业出版社", "北京"}, {"人民邮电出版社", "北京"}, {"上海译文出版社", "上海"}, {"上海古籍出版社", "上海"},
    {"华东师范大学出版社", "上海"}, {"译林出版社", "南京"}, {"江苏凤凰教育出版社", "南京"}, {"浙江文艺出版社", "杭州"},
    {"广东人民出版社", "广州"}, {"四川人民出版社", "成都"}, {"湖南文艺出版社", "长沙"}, {"长江文艺出版社", "武汉"},
    {"陕西师范大学出版社", "西安"}, {"山东教育出版社", "济南"}, {"辽宁人民出版社", "沈阳"}, {"河南科学技术出版社", "郑州"},
    {"天津人民出版社", "天津"}, {"重庆出版社", "重庆"}, {"少年儿童出版社", "上海"}, {"作家出版社", "北京"}};
const QStringList Departments = {"办公室", "教务处", "总务处", "语文组", "数学组", "外语组", "理化组", "初一年级", "初二年级", "初三年级"};
const QStringList BookRooms = {"综合书库", "期刊阅览室", "教师阅览室", "学生阅览室"};
const QStringList ShelfPositions = {"A01", "A02", "A03", "A04", "B01", "B02", "B03", "B04", "C01", "C02"};

struct ReaderCategory
{
    int id;
    int limitBooks;
    int limitDays;
};

struct PlannedLoan
{
    qint64 copy;      // index into the new copies
    qint64 reader;    // index into the new readers
    QDate loanDate;
    int loanSeconds;
    QDate dueDate;
    QDate returnDate; // invalid while open
};

class Generator
{
public:
    Generator(Database& database, const DemoLibrarySize& size, const std::function<void(const QString&)>& progress)
        : m_db(database), m_size(size), m_progress(progress), m_random(size.seed), m_today(QDate::currentDate())
    {
    }

    DemoLibraryCounts run()
    {
        validate();
        loadReferenceData();
        TransactionGuard transaction(m_db);
        insertPublishers();
        const qint64 copies = m_size.titles * m_size.copiesPerTitle;
        assignReaderCategories();
        planLoans(copies);
        insertTitles();
        insertCopies(copies);
        insertReaders();
        insertLoans();
        moveIdentities();
        transaction.commit();
        return m_counts;
    }

private:
    void validate() const
    {
        if (m_size.titles < 0 || m_size.copiesPerTitle < 0 || m_size.readers < 0 || m_size.loans < 0)
            throw AppError(QStringLiteral("数量不能为负数。"));
        if (m_size.loans > 0 && (m_size.readers == 0 || m_size.titles == 0 || m_size.copiesPerTitle == 0))
            throw AppError(QStringLiteral("生成借阅记录需要书刊、复本和读者。"));
    }

    qint64 nextKey(const QString& table, const QString& column)
    {
        return m_db.scalar(QStringLiteral("SELECT COALESCE(MAX(%1), 0) + 1 FROM %2").arg(column, table)).toLongLong();
    }

    void loadReferenceData()
    {
        QSqlQuery classes = m_db.exec(QStringLiteral(
            "SELECT BookCateCode, BookCateName FROM BookCate_tab c WHERE NOT EXISTS "
            "(SELECT 1 FROM BookCate_tab k WHERE k.BookCateParentID = c.BookCateID)"));
        while (classes.next())
            m_classes.append({classes.value(0).toString(), classes.value(1).toString()});
        if (m_classes.isEmpty())
            m_classes.append({QStringLiteral("I247"), QStringLiteral("小说")});
        QSqlQuery categories = m_db.exec(QStringLiteral(
            "SELECT ReaderCateID, LimitBooksCount, LimitDays FROM ReaderCate_tab ORDER BY ReaderCateID"));
        while (categories.next())
            m_categories.append({categories.value(0).toInt(), qMax(1, categories.value(1).toInt()),
                                 qMax(1, categories.value(2).toInt())});
        if (m_categories.isEmpty()) {
            m_db.exec(QStringLiteral("INSERT INTO ReaderCate_tab (ReaderCateName, LimitBooksCount, LimitDays, ReLoanTimes, "
                                     "ReLoanDays) VALUES ('学生', 5, 30, 1, 15)"));
            m_categories.append({m_db.scalar(QStringLiteral("SELECT MAX(ReaderCateID) FROM ReaderCate_tab")).toInt(), 5, 30});
        }
        m_firstBook = nextKey(QStringLiteral("Books_tab"), QStringLiteral("BookID"));
        m_firstCopy = nextKey(QStringLiteral("Copies_tab"), QStringLiteral("CopyID"));
        m_firstReader = nextKey(QStringLiteral("Readers_tab"), QStringLiteral("ReaderID"));
        m_firstLoan = nextKey(QStringLiteral("LoanList_tab"), QStringLiteral("LoanListID"));
    }

    qint64 uniform(qint64 low, qint64 high) { return std::uniform_int_distribution<qint64>(low, high)(m_random); }
    template <typename List> const auto& pick(const List& list) { return list[uniform(0, list.size() - 1)]; }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }

    QString personName()
    {
        QString name = pick(Surnames) + pick(GivenChars);
        if (chance(0.7))
            name += pick(GivenChars);
        return name;
    }

    QString isbn()
    {
        QString digits = QStringLiteral("9787") + QString::number(uniform(10000000, 99999999));
        int sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += digits[i].digitValue() * (i % 2 ? 3 : 1);
        return digits + QString::number((10 - sum % 10) % 10);
    }

    void report(const QString& what, qint64 done, qint64 total)
    {
        if (m_progress && total > 0 && (done == total || done % qMax<qint64>(1, total / 10) == 0))
            m_progress(QStringLiteral("%1：%2/%3").arg(what).arg(done).arg(total));
    }

    void insertPublishers()
    {
        BulkInsert insert(m_db, QStringLiteral("Publishers_tab"),
                          {"PublisherName", "PublisherInputCode", "PublisherISBN", "PublisherPlace"});
        for (qsizetype i = 0; i < PublisherNames.size(); ++i) {
            const auto& [name, place] = PublisherNames[i];
            if (m_db.scalar(QStringLiteral("SELECT 1 FROM Publishers_tab WHERE PublisherName = %1").arg(Dialect::quote(name))).isValid())
                continue;
            insert.add({name, MakeInputCode(name), QStringLiteral("978-7-%1").arg(5000 + i * 37), place});
        }
        insert.flush();
    }

    void assignReaderCategories()
    {
        m_readerCategory.resize(m_size.readers);
        for (qint64 r = 0; r < m_size.readers; ++r) {
            // Mostly the second category (students in the seeded database), some of the others.
            const double roll = std::uniform_real_distribution<double>(0, 1)(m_random);
            int index = roll < 0.2 ? 0 : roll < 0.95 ? 1 : 2;
            m_readerCategory[r] = qMin<int>(index, int(m_categories.size()) - 1);
        }
    }

    // Open loans are recent, one per copy, within each reader's limit; returned loans are
    // older and end before any open loan starts, so copy states and counters agree.
    void planLoans(qint64 copies)
    {
        m_copyOnLoan.assign(size_t(copies), false);
        const qint64 wantedOpen = qMin(m_size.loans / 10, copies / 2);
        std::vector<int> openPerReader(size_t(m_size.readers), 0);
        m_loans.reserve(size_t(m_size.loans));
        for (qint64 i = 0; i < wantedOpen; ++i) {
            qint64 reader = -1;
            for (int attempt = 0; attempt < 20 && reader < 0; ++attempt) {
                const qint64 candidate = uniform(0, m_size.readers - 1);
                if (openPerReader[candidate] < m_categories[m_readerCategory[candidate]].limitBooks)
                    reader = candidate;
            }
            if (reader < 0)
                break;
            qint64 copy = uniform(0, copies - 1);
            while (m_copyOnLoan[copy])
                copy = (copy + 1) % copies;
            m_copyOnLoan[copy] = true;
            ++openPerReader[reader];
            const QDate loanDate = m_today.addDays(-uniform(0, 75));
            const int days = m_categories[m_readerCategory[reader]].limitDays;
            m_loans.push_back({copy, reader, loanDate, int(uniform(8 * 3600, 18 * 3600)), loanDate.addDays(days), QDate()});
        }
        while (qint64(m_loans.size()) < m_size.loans) {
            const qint64 reader = uniform(0, m_size.readers - 1);
            const QDate loanDate = m_today.addDays(-uniform(200, 730));
            const int days = m_categories[m_readerCategory[reader]].limitDays;
            m_loans.push_back({uniform(0, copies - 1), reader, loanDate, int(uniform(8 * 3600, 18 * 3600)),
                               loanDate.addDays(days), loanDate.addDays(uniform(1, days + 20))});
        }
        std::sort(m_loans.begin(), m_loans.end(), [](const PlannedLoan& a, const PlannedLoan& b) {
            return a.loanDate != b.loanDate ? a.loanDate < b.loanDate : a.loanSeconds < b.loanSeconds;
        });
    }

    void insertTitles()
    {
        BulkInsert insert(m_db, QStringLiteral("Books_tab"),
                          {"BookID", "ISBNISSN", "BookName", "BookInputCode", "Author", "BookType", "CateCode", "CateName",
                           "Publisher", "PublishPlace", "PublishDate", "BookPrice", "TotalCount", "LoanCount", "Keywords",
                           "EditionTime", "BookLanguage", "BookFaceInfo", "ContentIntro", "RegDate", "Operator"});
        const int perTitle = m_size.copiesPerTitle;
        m_titleClass.reserve(size_t(m_size.titles));
        for (qint64 t = 0; t < m_size.titles; ++t) {
            const QString subject = pick(TitleSubjects);
            const QString name = pick(TitleLeads) + subject + pick(TitleTails);
            const int classIndex = int(uniform(0, m_classes.size() - 1));
            m_titleClass.push_back(classIndex);
            const auto& [cateCode, cateName] = m_classes[classIndex];
            const auto& [publisher, place] = pick(PublisherNames);
            int onLoan = 0;
            for (int c = 0; c < perTitle; ++c)
                onLoan += m_copyOnLoan[size_t(t * perTitle + c)] ? 1 : 0;
            const bool serial = chance(0.08);
            insert.add({m_firstBook + t, isbn(), name, MakeInputCode(name), personName(),
                        serial ? QStringLiteral("期刊") : QStringLiteral("图书"), cateCode, cateName, publisher, place,
                        QStringLiteral("%1-%2").arg(uniform(1990, m_today.year())).arg(uniform(1, 12), 2, 10, QChar('0')),
                        double(uniform(800, 12800)) / 100.0, perTitle, onLoan, subject,
                        QStringLiteral("第%1版").arg(uniform(1, 3)), QStringLiteral("中文"), QStringLiteral("平装"),
                        t % 5 == 0 ? QVariant(QStringLiteral("本书介绍%1的基本知识。").arg(subject)) : QVariant(),
                        m_today.addDays(-uniform(0, 2000)), QStringLiteral("Admin")});
            report(QStringLiteral("书刊"), t + 1, m_size.titles);
        }
        insert.flush();
        m_counts.titles = m_size.titles;
    }

    void insertCopies(qint64 copies)
    {
        BulkInsert insert(m_db, QStringLiteral("Copies_tab"),
                          {"CopyID", "BookID", "BookBarCode", "BookState", "BookCode", "BookRoom", "BookPos", "Price",
                           "RegDate", "Operator"});
        const qint64 firstBarcode = 10000000 + m_firstCopy;
        QHash<QString, int> callNumbers; // titles so far per class: the number after the slash
        const int perTitle = m_size.copiesPerTitle;
        for (qint64 c = 0; c < copies; ++c) {
            const qint64 title = c / perTitle;
            QString state = QStringLiteral("可借");
            if (m_copyOnLoan[size_t(c)])
                state = QStringLiteral("借出");
            else if (chance(0.005))
                state = chance(0.5) ? QStringLiteral("破损") : QStringLiteral("遗失");
            const QString& cateCode = m_classes[m_titleClass[size_t(title)]].first;
            const int number = c % perTitle == 0 ? ++callNumbers[cateCode] : callNumbers[cateCode];
            insert.add({m_firstCopy + c, m_firstBook + title, QString::number(firstBarcode + c), state,
                        cateCode + '/' + QString::number(number), pick(BookRooms), pick(ShelfPositions),
                        double(uniform(800, 12800)) / 100.0, m_today.addDays(-uniform(0, 2000)), QStringLiteral("Admin")});
            report(QStringLiteral("复本"), c + 1, copies);
        }
        insert.flush();
        m_counts.copies = copies;
    }

    void insertReaders()
    {
        BulkInsert insert(m_db, QStringLiteral("Readers_tab"),
                          {"ReaderID", "ReaderName", "ReaderInputCode", "ReaderCode", "CardID", "ReaderCateID", "Sex",
                           "BirthDate", "CorpName", "DeptName", "MobilePhone", "RegDate", "Operator"});
        for (qint64 r = 0; r < m_size.readers; ++r) {
            const QString name = personName();
            insert.add({m_firstReader + r, name, MakeInputCode(name),
                        QStringLiteral("R%1").arg(m_firstReader + r, 6, 10, QChar('0')),
                        QStringLiteral("%1").arg(3000000000LL + m_firstReader + r), m_categories[m_readerCategory[r]].id,
                        chance(0.5) ? 1 : 0, QDate(int(uniform(1960, 2012)), int(uniform(1, 12)), int(uniform(1, 28))),
                        QStringLiteral("本单位"), pick(Departments), QStringLiteral("13%1").arg(uniform(100000000, 999999999)),
                        m_today.addDays(-uniform(0, 1500)), QStringLiteral("Admin")});
            report(QStringLiteral("读者"), r + 1, m_size.readers);
        }
        insert.flush();
        m_counts.readers = m_size.readers;
    }

    void insertLoans()
    {
        BulkInsert insert(m_db, QStringLiteral("LoanList_tab"),
                          {"LoanListID", "CopyID", "BookID", "ReaderID", "LoanDate", "LoanTime", "ShouldReturnDate",
                           "ReLoanTimes", "IsReturn", "FactReturnDate", "FactReturnTime", "LoanOperator", "ReturnOperator"});
        const int perTitle = m_size.copiesPerTitle;
        for (size_t i = 0; i < m_loans.size(); ++i) {
            const PlannedLoan& loan = m_loans[i];
            const bool returned = loan.returnDate.isValid();
            const QString loanTime = QTime(0, 0).addSecs(loan.loanSeconds).toString(QStringLiteral("HH:mm:ss"));
            insert.add({m_firstLoan + qint64(i), m_firstCopy + loan.copy, m_firstBook + loan.copy / perTitle,
                        m_firstReader + loan.reader, loan.loanDate, loanTime, loan.dueDate, 0, returned ? 1 : 0,
                        returned ? QVariant(loan.returnDate) : QVariant(),
                        returned ? QVariant(loanTime) : QVariant(), QStringLiteral("Admin"),
                        returned ? QVariant(QStringLiteral("Admin")) : QVariant()});
            if (!returned) {
                ++m_counts.openLoans;
                if (loan.dueDate < m_today)
                    ++m_counts.overdueLoans;
            }
            report(QStringLiteral("借阅记录"), qint64(i) + 1, qint64(m_loans.size()));
        }
        insert.flush();
        m_counts.loans = qint64(m_loans.size());
    }

    void moveIdentities()
    {
        const QList<QPair<QString, QString>> keys = {{"Books_tab", "BookID"}, {"Copies_tab", "CopyID"},
                                                     {"Readers_tab", "ReaderID"}, {"LoanList_tab", "LoanListID"}};
        for (const auto& [table, column] : keys) {
            for (const QString& statement : m_db.dialect().afterExplicitIdentity(table, column))
                m_db.exec(statement);
        }
    }

    Database& m_db;
    DemoLibrarySize m_size;
    std::function<void(const QString&)> m_progress;
    std::mt19937_64 m_random;
    QDate m_today;
    QList<QPair<QString, QString>> m_classes;
    QList<ReaderCategory> m_categories;
    std::vector<int> m_readerCategory;
    std::vector<bool> m_copyOnLoan;
    std::vector<PlannedLoan> m_loans;
    qint64 m_firstBook = 1, m_firstCopy = 1, m_firstReader = 1, m_firstLoan = 1;
    std::vector<int> m_titleClass; // index into m_classes, per new title
    DemoLibraryCounts m_counts;
};

} // namespace

DemoLibraryCounts GenerateDemoLibrary(Database& database, const DemoLibrarySize& size,
                                      const std::function<void(const QString&)>& progress)
{
    return Generator(database, size, progress).run();
}
