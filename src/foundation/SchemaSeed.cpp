#include "foundation/BulkInsert.h"
#include "foundation/Database.h"
#include "foundation/Errors.h"
#include "foundation/Schema.h"

#include <QFile>
#include <QHash>

// Resources of a static library are registered by hand.
static void initFoundationResources()
{
    Q_INIT_RESOURCE(foundation);
}

namespace {

struct FunctionSeed
{
    int key;
    int category;
    const char* name;
};

// The functions rights are granted on; FunKey is what the main window carries.
const FunctionSeed Functions[] = {
    {11, 1, "书刊信息维护"}, {12, 1, "出版单位设置"}, {13, 1, "书刊类别设置"},
    {21, 2, "读者信息维护"}, {22, 2, "读者类别设置"}, {23, 2, "借阅规章制度"},
    {31, 3, "借书还书续借"}, {32, 3, "借阅记录查询"},
    {41, 4, "逾期记录查询"}, {42, 4, "借阅记录统计"},
    {51, 5, "数据字典维护"}, {52, 5, "用户授权设置"}, {53, 5, "操作日志管理"},
    {54, 5, "系统参数设置"}, {55, 5, "高级管理工具"},
};

// A data dictionary a new library can start with, by ItemCate.
const QList<QPair<int, QStringList>>& dictionary()
{
    static const QList<QPair<int, QStringList>> items = {
        {0, {"本单位", "外单位"}},
        {1, {"办公室", "教务处", "总务处", "语文组", "数学组", "外语组", "理化组", "初一年级", "初二年级", "初三年级"}},
        {2, {"图书", "期刊", "光盘", "报纸", "工具书"}},
        {3, {"综合书库", "期刊阅览室", "教师阅览室", "学生阅览室"}},
        {4, {"A01", "A02", "A03", "A04", "B01", "B02", "B03", "B04", "C01", "C02"}},
        {5, {"北京", "上海", "天津", "重庆", "南京", "杭州", "广州", "成都", "武汉", "西安", "长沙", "济南", "沈阳", "郑州"}},
        {6, {"平装", "精装", "16开", "32开", "大32开", "线装"}},
        {7, {"中文", "英文", "日文", "俄文", "德文", "法文"}},
        {8, {"光盘", "磁带", "地图", "附册"}},
        {9, {"日刊", "周刊", "半月刊", "月刊", "双月刊", "季刊", "半年刊", "年刊"}},
        {10, {"第1版", "第2版", "第3版", "第4版", "修订版"}},
    };
    return items;
}

void seedParameters(Database& database)
{
    database.exec(QStringLiteral("INSERT INTO Par_tab (SystemName, CorpName, IsExitConfirm, IsShowUserListOnLogin, "
                                 "IsMaxBookManager) VALUES ('图书馆管理系统', '', 0, 0, 1)"));
}

void seedFunctions(Database& database)
{
    BulkInsert insert(database, QStringLiteral("UserFun_tab"),
                      {"FunKey", "FunName", "FunCate", "FunCode", "IsUsed", "ImgIndex", "FunMemo"});
    int order = 0;
    for (const FunctionSeed& function : Functions)
        insert.add({function.key, QString::fromUtf8(function.name), function.category, ++order, 1, 0, QString()});
    insert.flush();
}

void seedDictionary(Database& database)
{
    BulkInsert insert(database, QStringLiteral("Items_tab"), {"ItemCode", "ItemName", "ItemCate"});
    for (const auto& [category, names] : dictionary()) {
        for (qsizetype i = 0; i < names.size(); ++i)
            insert.add({int(i + 1), names[i], category});
    }
    insert.flush();
}

void seedReaderCategories(Database& database)
{
    database.exec(QStringLiteral(
        "INSERT INTO ReaderCate_tab (ReaderCateName, LimitBooksCount, LimitDays, ReLoanTimes, ReLoanDays) VALUES "
        "('教师', 10, 60, 2, 30), ('学生', 5, 30, 1, 15), ('临时读者', 2, 15, 0, 0)"));
}

// The classification tree shipped with the program: code, name, parent code per line.
void seedClassification(Database& database)
{
    initFoundationResources();
    QFile file(QStringLiteral(":/foundation/data/clc-classes.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("缺少内置的分类数据。"));
    BulkInsert insert(database, QStringLiteral("BookCate_tab"),
                      {"BookCateID", "BookCateParentID", "BookCateCode", "BookCateName"});
    QHash<QString, int> idOfCode;
    int nextId = 0;
    for (const QByteArray& rawLine : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(rawLine).remove('\r');
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = line.split('\t');
        if (fields.size() < 2)
            continue;
        const QString parent = fields.value(2).trimmed();
        const int id = ++nextId;
        idOfCode.insert(fields[0].trimmed(), id);
        insert.add({id, parent.isEmpty() ? 0 : idOfCode.value(parent, 0), fields[0].trimmed(), fields[1].trimmed()});
    }
    insert.flush();
    for (const QString& statement :
         database.dialect().afterExplicitIdentity(QStringLiteral("BookCate_tab"), QStringLiteral("BookCateID")))
        database.exec(statement);
}

} // namespace

void SeedDatabase(Database& database)
{
    seedParameters(database);
    seedFunctions(database);
    seedDictionary(database);
    seedReaderCategories(database);
    seedClassification(database);
}
