#include "foundation/Schema.h"

#include "foundation/Database.h"
#include "foundation/Errors.h"

namespace {

using T = ColumnType;

ColumnDef id(const QString& name, const QString& label = {}) { return {name, T::Identity, 0, label, {}}; }
ColumnDef text(const QString& name, int width, const QString& label = {}) { return {name, T::Text, width, label, {}}; }
ColumnDef integer(const QString& name, const QString& label = {}, const QString& def = {}) { return {name, T::Int, 0, label, def}; }
ColumnDef small(const QString& name, const QString& label = {}, const QString& def = {}) { return {name, T::SmallInt, 0, label, def}; }
ColumnDef boolean(const QString& name, const QString& label = {}, const QString& def = QStringLiteral("0")) { return {name, T::Bool, 0, label, def}; }
ColumnDef datetime(const QString& name, const QString& label = {}) { return {name, T::DateTime, 0, label, {}}; }
ColumnDef money(const QString& name, const QString& label = {}) { return {name, T::Money, 0, label, {}}; }
ColumnDef memo(const QString& name, const QString& label = {}) { return {name, T::Memo, 0, label, {}}; }
ColumnDef blob(const QString& name) { return {name, T::Blob, 0, {}, {}}; }

QList<TableDef> libraryTables()
{
    return {
        {QStringLiteral("Users_tab"),
         {id("UserID", "编号"), text("UserCode", 20, "登录代号"), text("UserPwd", 20, "用户密码"),
          text("UserName", 10, "真实姓名"), text("Title", 20, "书室"), text("Dept", 20, "部门"),
          boolean("IsLock", "锁定"), text("Memo", 50, "备注")},
         {{"UserCode"}}},
        {QStringLiteral("UserFun_tab"),
         {id("FunID"), integer("FunKey"), text("FunName", 16, "功能名称"), small("FunCate", "功能类别"),
          integer("FunCode"), boolean("IsUsed", {}, "1"), integer("ImgIndex"), memo("FunMemo")},
         {}},
        {QStringLiteral("UserAccredit_tab"),
         {id("AccID"), integer("UserID"), integer("FunID"), boolean("IsOpen", "打开权限"),
          boolean("IsOperate", "操作权限"), boolean("IsPrint", "导出权限")},
         {{"UserID"}}},
        {QStringLiteral("UserLog_tab"),
         {id("UserLogID", "序号"), datetime("LogDate", "操作日期"), text("LogTime", 8, "操作时间"),
          text("WinName", 16, "窗口名称"), text("OperateContent", 4, "操作内容"),
          text("ComputerName", 20, "机器名称"), text("UserCode", 20, "登录代号"),
          text("UserName", 10, "真实姓名"), text("Memo", 30, "备注")},
         {{"LogDate"}}},
        {QStringLiteral("Par_tab"),
         {id("ParID"), text("SystemName", 50, "系统名称"), text("CorpName", 50, "使用单位"),
          boolean("IsExitConfirm", "退出系统时显示确认对话框"),
          boolean("IsShowUserListOnLogin", "在登录界面显示用户列表"),
          boolean("IsMaxBookManager", "书刊信息维护窗口打开时最大化", "1")},
         {}},
        {QStringLiteral("Items_tab"),
         {id("ItemID", "编号"), small("ItemCode", "序号"), text("ItemName", 40, "名称"), small("ItemCate", "类别")},
         {{"ItemCate"}}},
        {QStringLiteral("BookCate_tab"),
         {id("BookCateID"), integer("BookCateParentID", {}, "0"), text("BookCateCode", 20, "书刊类别编码"),
          text("BookCateName", 100, "书刊类别名称")},
         {{"BookCateParentID"}, {"BookCateCode"}}},
        {QStringLiteral("Publishers_tab"),
         {id("PublisherID", "出版单位编号"), text("PublisherName", 100, "出版单位名称"),
          text("PublisherInputCode", 100, "输入码"), text("PublisherISBN", 20, "出版单位ISBN"),
          text("PublisherPlace", 50, "出版地")},
         {{"PublisherName"}}},
        {QStringLiteral("Books_tab"),
         {id("BookID", "书刊序号"), text("ISBNISSN", 20, "ISBN/ISSN"), text("BookName", 100, "书刊名称"),
          text("BookInputCode", 100, "输入码"), text("Author", 100, "著者"), text("BookType", 40, "馆藏类型"),
          text("CateCode", 20, "分类号"), text("CateName", 100, "分类名称"), text("Publisher", 100, "出版单位"),
          text("PublishPlace", 50, "出版地"), text("PublishDate", 20, "出版日期"), money("BookPrice", "书刊定价"),
          integer("TotalCount", "总册数", "0"), integer("LoanCount", "借出册数", "0"),
          text("Keywords", 200, "主题词"), text("SeriesName", 100, "丛编名"), text("EditionTime", 40, "书刊版次"),
          text("BookLanguage", 40, "书刊语言"), text("BookFaceInfo", 40, "载体形态"), text("BookAddons", 40, "附件"),
          text("CN", 20, "CN 刊号"), text("PublishPeriods", 40, "出版周期"), text("UpDept", 100, "主办单位"),
          memo("ContentIntro", "内容简介"), text("Memo", 100, "备注"), datetime("RegDate", "登记日期"),
          text("Operator", 20, "操作员")},
         {{"ISBNISSN"}, {"BookName"}, {"CateCode"}}},
        {QStringLiteral("Copies_tab"),
         {id("CopyID"), integer("BookID"), text("BookBarCode", 40, "书刊条码 (自编号)"), text("BookState", 10, "状态"),
          text("BookCode", 40, "索书号"), text("BookRoom", 40, "所在书室"), text("BookPos", 40, "书刊架位"),
          text("VolumeInfo", 40, "卷册期信息"), money("Price", "卷册期价格"), datetime("RegDate", "登记日期"),
          text("Operator", 20, "操作员")},
         {{"BookID"}, {"BookBarCode"}, {"BookCode"}}},
        {QStringLiteral("ReaderCate_tab"),
         {id("ReaderCateID"), text("ReaderCateName", 40, "读者类别名称"), small("LimitBooksCount", "可借书数"),
          small("LimitDays", "可借天数"), small("ReLoanTimes", "可续借次数"), small("ReLoanDays", "每次可续借天数")},
         {}},
        {QStringLiteral("Readers_tab"),
         {id("ReaderID", "读者序号"), text("ReaderName", 20, "读者姓名"), text("ReaderInputCode", 20, "输入码"),
          text("ReaderCode", 20, "读者编码"), text("CardID", 20, "证卡编码"), integer("ReaderCateID"),
          boolean("Sex", "性别", "1"), datetime("BirthDate", "出生日期"), text("CorpName", 40, "工作单位"),
          text("DeptName", 40, "所在部门"), text("IDCard", 18, "身份证号"), text("WorkCard", 20, "工作证号"),
          text("WorkPhone", 20, "工作电话"), text("HomePhone", 20, "书室"), text("MobilePhone", 20, "移动电话"),
          text("EMail", 40, "电子邮件"), text("Address", 50, "联系地址"), text("Memo", 50, "备注"),
          datetime("RegDate", "登记日期"), text("Operator", 20, "操作员")},
         {{"ReaderCode"}, {"CardID"}, {"ReaderName"}}},
        {QStringLiteral("LoanList_tab"),
         {id("LoanListID"), integer("CopyID"), integer("BookID"), integer("ReaderID"),
          datetime("LoanDate", "借出日期"), text("LoanTime", 8, "借出时间"), datetime("ShouldReturnDate", "应还日期"),
          small("ReLoanTimes", "已续借次数", "0"), datetime("ReLoanDate", "续借日期"), boolean("IsReturn", "是否归还"),
          datetime("FactReturnDate", "归还日期"), text("FactReturnTime", 8, "归还时间"),
          text("LoanOperator", 20, "借出操作员"), text("ReturnOperator", 20, "归还操作员")},
         {{"CopyID"}, {"BookID"}, {"ReaderID", "IsReturn"}, {"IsReturn"}, {"LoanDate"}}},
        {QStringLiteral("Bylaw_tab"),
         {id("BylawID", "序号"), integer("SortCode", "排序代码"), text("BylawTitle", 50, "规章制度标题"),
          memo("BylawContent", "规章制度内容"), text("Memo", 50, "备注"), datetime("RegDate", "登记日期"),
          text("Operator", 20, "操作员")},
         {}},
        {QStringLiteral("Pictures_tab"),
         {id("PictureID"), text("PictureCate", 20), integer("JoinID"), blob("PicContent")},
         {{"PictureCate", "JoinID"}}},
    };
}

QString booksViewSql(const Dialect&)
{
    return QStringLiteral("SELECT Books_tab.*, COALESCE(TotalCount, 0) - COALESCE(LoanCount, 0) AS RemainCount "
                          "FROM Books_tab");
}

QString readersViewSql(const Dialect&)
{
    return QStringLiteral("SELECT Readers_tab.*, ReaderCate_tab.ReaderCateName FROM Readers_tab "
                          "LEFT JOIN ReaderCate_tab ON Readers_tab.ReaderCateID = ReaderCate_tab.ReaderCateID");
}

QString loanListViewSql(const Dialect& dialect)
{
    const QString returnedOrToday =
        QStringLiteral("CASE WHEN IsReturn <> 0 THEN FactReturnDate ELSE %1 END").arg(dialect.todayExpression());
    return QStringLiteral(
               "SELECT LoanListID, LoanList_tab.CopyID, LoanList_tab.BookID, LoanList_tab.ReaderID, LoanDate, LoanTime, "
               "ShouldReturnDate, LoanList_tab.ReLoanTimes, ReLoanDate, IsReturn, FactReturnDate, FactReturnTime, "
               "LoanOperator, ReturnOperator, %1 AS ExceedDays, ISBNISSN, BookName, BookInputCode, BookType, "
               "CateCode, CateName, BookBarCode, BookCode, BookPrice, Price, ReaderName, ReaderInputCode, ReaderCode, "
               "CardID, WorkPhone, MobilePhone, EMail, ReaderCateName, Sex, DeptName "
               "FROM ((LoanList_tab LEFT JOIN Books_tab ON LoanList_tab.BookID = Books_tab.BookID) "
               "LEFT JOIN Copies_tab ON LoanList_tab.CopyID = Copies_tab.CopyID) "
               "LEFT JOIN Readers_view ON LoanList_tab.ReaderID = Readers_view.ReaderID")
        .arg(dialect.dateDiffDays(QStringLiteral("ShouldReturnDate"), returnedOrToday));
}

QList<ViewDef> libraryViews()
{
    return {
        {QStringLiteral("Books_view"), QStringLiteral("Books_tab"), &booksViewSql,
         {{QStringLiteral("RemainCount"), T::Int, 0, QStringLiteral("剩余册数"), {}}}},
        {QStringLiteral("Readers_view"), QStringLiteral("Readers_tab"), &readersViewSql,
         {{QStringLiteral("ReaderCateName"), T::Text, 40, QStringLiteral("读者类别"), {}}}},
        {QStringLiteral("LoanList_view"), QString(), &loanListViewSql,
         {{QStringLiteral("ExceedDays"), T::Int, 0, QStringLiteral("逾期天数"), {}}}},
    };
}

} // namespace

const ColumnDef* TableDef::column(const QString& columnName) const
{
    for (const ColumnDef& c : columns) {
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

QString TableDef::keyColumn() const
{
    for (const ColumnDef& c : columns) {
        if (c.type == ColumnType::Identity)
            return c.name;
    }
    return {};
}

Schema::Schema() : m_tables(libraryTables()), m_views(libraryViews()) {}

const Schema& Schema::instance()
{
    static const Schema schema;
    return schema;
}

const TableDef* Schema::table(const QString& name) const
{
    for (const TableDef& t : m_tables) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    }
    return nullptr;
}

const ViewDef* Schema::view(const QString& name) const
{
    for (const ViewDef& v : m_views) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

QString Schema::label(const QString& tableOrView, const QString& column) const
{
    if (const TableDef* t = table(tableOrView)) {
        const ColumnDef* c = t->column(column);
        return c ? c->label : QString();
    }
    if (const ViewDef* v = view(tableOrView)) {
        for (const ColumnDef& c : v->extraColumns) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.label;
        }
        if (!v->baseTable.isEmpty())
            return label(v->baseTable, column);
    }
    return label(column);
}

QString Schema::label(const QString& column) const
{
    for (const TableDef& t : m_tables) {
        if (const ColumnDef* c = t.column(column); c && !c->label.isEmpty())
            return c->label;
    }
    for (const ViewDef& v : m_views) {
        for (const ColumnDef& c : v.extraColumns) {
            if (c.name.compare(column, Qt::CaseInsensitive) == 0)
                return c.label;
        }
    }
    return {};
}

QStringList Schema::createStatements(const Dialect& dialect) const
{
    QStringList statements = dialect.prepareDatabase();
    for (const TableDef& t : m_tables) {
        QStringList columns;
        for (const ColumnDef& c : t.columns)
            columns.append(dialect.columnDefinition(c));
        statements.append(QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(t.name, columns.join(QStringLiteral(",\n  "))));
        for (const QStringList& index : t.indexes) {
            statements.append(QStringLiteral("CREATE INDEX IX_%1_%2 ON %1 (%3)")
                                  .arg(t.name, index.join('_'), index.join(QStringLiteral(", "))));
        }
    }
    for (const ViewDef& v : m_views)
        statements.append(QStringLiteral("CREATE VIEW %1 AS %2").arg(v.name, v.sql(dialect)));
    return statements;
}

void CreateDatabaseSchema(Database& database)
{
    if (database.hasTable(QStringLiteral("Books_tab")))
        throw AppError(QStringLiteral("数据库中已有图书馆数据表，未作任何改动。"));
    TransactionGuard transaction(database);
    for (const QString& statement : Schema::instance().createStatements(database.dialect()))
        database.exec(statement);
    SeedDatabase(database);
    transaction.commit();
}
