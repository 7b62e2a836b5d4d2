// Measures how many CNMARC records per second are parsed (and turned into catalogue
// resources), and how many price texts per second are read. Rates are per second of this
// thread's processor time, so that a busy machine does not distort them.
//   bench_marc [seconds per figure, default 2]
#include "netcat/MarcParser.h"

#include <QCoreApplication>
#include <QTextStream>

#include <ctime>
#include <functional>

namespace {

const QStringList PriceTexts = {
    "CNY25.00", "(精装)CNY25.00", "全套定价CNY120.00(共3册)", "精装：CNY32.00", "HK$45", "US$12.99",
    "NT$350", "台币一·二00元", "￥25.00", "¥1200", "定价：28.00元", "CNY12.5.0", "无定价",
};

// A typical record of a Chinese book as web catalogues deliver it, varied by number.
TMarc SampleRecord(int n)
{
    TMarc marc;
    marc.Format = mfCNMarc;
    const QString isbn = QStringLiteral("7-%1-%2-X").arg(5000 + n % 4000).arg(1000 + n % 9000);
    marc << QStringLiteral("001 %1").arg(1000000 + n)
         << QStringLiteral("010  |a%1|b精装|d%2").arg(isbn, PriceTexts[n % PriceTexts.size()])
         << QStringLiteral("100  |a20050101d2005    em y0chiy0121    ea")
         << QStringLiteral("101 0 |achi|eeng")
         << QStringLiteral("102  |aCN|b110000")
         << QStringLiteral("105  |ay   z   000yy")
         << QStringLiteral("2001 |a物权法研究第%1卷|Awu quan fa yan jiu|e理论与实务|f王利明著|h第%1卷|i总则|b中文图书").arg(n % 12 + 1)
         << QStringLiteral("205  |a第2版")
         << QStringLiteral("210  |a北京|c法律出版社|d2005")
         << QStringLiteral("215  |a380页|c图|d26cm|e光盘1片")
         << QStringLiteral("2252 |a法学丛书|i民法系列")
         << QStringLiteral("300  |a国家社科基金资助项目")
         << QStringLiteral("320  |a有书目 (第371-380页)")
         << QStringLiteral("330  |a本书论述物权法的基本理论，包括物权的概念、效力、变动及保护等内容。")
         << QStringLiteral("5101 |aResearch on property law|eTheory and practice")
         << QStringLiteral("6060 |a物权法|x研究|y中国")
         << QStringLiteral("6060 |a民法|x研究")
         << QStringLiteral("690  |aD923.2|v4")
         << QStringLiteral("701  0|a王利明|4著")
         << QStringLiteral("702  0|a张三|4编")
         << QStringLiteral("801 0|aCN|bNLC|c20050301");
    return marc;
}

double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs step over and over for about the given processor time; returns the rate per second.
double Rate(double seconds, int batch, const std::function<void(int)>& step)
{
    const double start = ThreadSeconds();
    qint64 done = 0;
    double elapsed = 0;
    while (elapsed < seconds) {
        for (int i = 0; i < batch; ++i)
            step(int(done + i));
        done += batch;
        elapsed = ThreadSeconds() - start;
    }
    return double(done) / elapsed;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? QByteArray(argv[1]).toDouble() : 2.0;
    QTextStream out(stdout);

    QList<TMarc> records;
    for (int n = 0; n < 1000; ++n)
        records.append(SampleRecord(n));

    qint64 checksum = 0;
    const double parsed = Rate(seconds, 100, [&](int i) {
        const TMarcRecord record(records[i % records.size()], true);
        checksum += record.StandardNumbers.size();
    });
    const double converted = Rate(seconds, 100, [&](int i) {
        const TMarcRecord record(records[i % records.size()], true);
        checksum += MarcRecordToResource(record).Price.units();
    });
    const double prices = Rate(seconds, 1000, [&](int i) {
        TAmount price;
        QString currency;
        QString notes;
        ParsePriceDetail(PriceTexts[i % PriceTexts.size()], price, currency, notes, true);
        checksum += price.units();
    });

    out << "MARC records (" << records.first().size() << " fields each) parsed:      "
        << qRound64(parsed) << " records/s\n";
    out << "MARC records parsed and converted to resources: " << qRound64(converted) << " records/s\n";
    out << "price texts read:                               " << qRound64(prices) << " texts/s\n";
    out << "(checksum " << checksum << ")\n";
    return 0;
}
