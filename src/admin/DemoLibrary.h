#pragma once

#include <QString>
#include <functional>

class Database;

struct DemoLibrarySize
{
    qint64 titles = 2000;
    int copiesPerTitle = 3;
    qint64 readers = 300;
    qint64 loans = 3000;
    quint64 seed = 20221;
};

struct DemoLibraryCounts
{
    qint64 titles = 0;
    qint64 copies = 0;
    qint64 readers = 0;
    qint64 loans = 0;
    qint64 openLoans = 0;
    qint64 overdueLoans = 0;
};

// Fills a seeded library database with a realistic demo library: Chinese titles with
// authors, publishers and class numbers, copies with barcodes and call numbers, readers
// with categories and input codes, returned and open (some overdue) loans. Counters and
// copy states agree with the loans. Everything is added in one transaction, after the rows
// already there. `progress` receives a line of text now and then.
DemoLibraryCounts GenerateDemoLibrary(Database& database, const DemoLibrarySize& size,
                                      const std::function<void(const QString&)>& progress = {});
