#pragma once

#include "TestDatabase.h"

#include "admin/DemoLibrary.h"
#include "foundation/Database.h"
#include "foundation/Dialect.h"

// A small demo library (more titles than one page of the lazy list) plus a few titles
// with the texts the kiosk must cope with.
struct FinderFixture
{
    static constexpr int DemoTitles = 450;
    static constexpr int DemoCopiesPerTitle = 2;

    std::unique_ptr<TestDatabase> test = TestDatabase::create();
    qint64 obrienId = 0;     // author with a quote; copies with their own barcodes and call numbers
    qint64 backslashId = 0;  // a backslash in the title
    qint64 totalTitles = 0;

    FinderFixture()
    {
        Database& db = test->db();
        GenerateDemoLibrary(db, {DemoTitles, DemoCopiesPerTitle, 10, 20, 5});
        obrienId = addTitle(QStringLiteral("尤利西斯导读"), QStringLiteral("Seán O'Brien"),
                            {{QStringLiteral("QB-0001"), QStringLiteral("ZZ7/15")},
                             {QStringLiteral("QB-0002"), QStringLiteral("ZZ7/15")},
                             {QStringLiteral("QB-0003"), QStringLiteral("ZZ7/16")}});
        backslashId = addTitle(QStringLiteral("C:\\Temp 使用指南"), QStringLiteral("张三"),
                               {{QStringLiteral("QB-0100"), QStringLiteral("TP3/1")}});
        totalTitles = db.scalar(QStringLiteral("SELECT COUNT(*) FROM Books_tab")).toLongLong();
    }

    Database& db() { return test->db(); }

    qint64 addTitle(const QString& name, const QString& author, const QList<QPair<QString, QString>>& copies)
    {
        Database& db = test->db();
        db.exec(QStringLiteral("INSERT INTO Books_tab (BookName, Author, BookType, TotalCount, LoanCount) "
                               "VALUES (%1, %2, '图书', %3, 0)")
                    .arg(Dialect::quote(name), Dialect::quote(author))
                    .arg(copies.size()));
        const qint64 id = db.scalar(QStringLiteral("SELECT MAX(BookID) FROM Books_tab")).toLongLong();
        for (const auto& [barcode, callNumber] : copies) {
            db.exec(QStringLiteral("INSERT INTO Copies_tab (BookID, BookBarCode, BookState, BookCode, BookRoom) "
                                   "VALUES (%1, %2, '可借', %3, '综合书库')")
                        .arg(id)
                        .arg(Dialect::quote(barcode), Dialect::quote(callNumber)));
        }
        return id;
    }

    qint64 copiesOf(qint64 bookId)
    {
        return test->db().scalar(QStringLiteral("SELECT COUNT(*) FROM Copies_tab WHERE BookID = %1").arg(bookId)).toLongLong();
    }
};
