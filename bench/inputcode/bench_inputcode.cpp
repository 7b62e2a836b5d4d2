// Input codes per second and MB/s of UTF-8 text, over names of catalogue length (the batch
// generators' load) and over long texts (the per-character cost alone).
//
//   bench_inputcode [megabytes of text, default 64]

#include "catalogue/inputcode/InputCode.h"
#include "catalogue/inputcode/InputCodeTables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Passes = 5;

QList<char16_t> gb2312Characters()
{
    using namespace InputCodeTables;
    QList<char16_t> characters;
    for (int lead = 0xB0; lead <= 0xF7; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            if (const char16_t unit = GbkToUnicode[gbkSlot(lead, trail)])
                characters.append(unit);
        }
    }
    return characters;
}

// Mostly Chinese, with the Latin words, digits and full-width signs that real titles carry.
QString randomName(QRandomGenerator& random, const QList<char16_t>& chinese, int length)
{
    static const QString latin = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789 -.");
    static const QString signs = QStringLiteral("（）《》，：、·");
    QString name;
    name.reserve(length);
    for (int i = 0; i < length; ++i) {
        const int kind = random.bounded(100);
        if (kind < 85)
            name.append(QChar(chinese[random.bounded(chinese.size())]));
        else if (kind < 96)
            name.append(latin[random.bounded(latin.size())]);
        else
            name.append(signs[random.bounded(signs.size())]);
    }
    return name;
}

struct Corpus
{
    QList<QString> texts;
    qint64 utf8Bytes = 0;
    qint64 characters = 0;
};

Corpus namesCorpus(qint64 targetBytes, const QList<char16_t>& chinese)
{
    QRandomGenerator random(4711);
    Corpus corpus;
    while (corpus.utf8Bytes < targetBytes) {
        QString name = randomName(random, chinese, random.bounded(2, 31));
        corpus.utf8Bytes += name.toUtf8().size();
        corpus.characters += name.size();
        corpus.texts.append(std::move(name));
    }
    return corpus;
}

Corpus longTextCorpus(const Corpus& names, qsizetype textLength)
{
    Corpus corpus;
    QString text;
    for (const QString& name : names.texts) {
        text += name;
        if (text.size() >= textLength) {
            corpus.texts.append(std::move(text));
            text.clear();
        }
    }
    if (!text.isEmpty())
        corpus.texts.append(text);
    corpus.utf8Bytes = names.utf8Bytes;
    corpus.characters = names.characters;
    return corpus;
}

void measure(const char* title, const Corpus& corpus)
{
    double best = 1e100;
    qint64 codeLength = 0;
    for (int pass = 0; pass < Passes; ++pass) {
        QElapsedTimer timer;
        timer.start();
        qint64 length = 0;
        for (const QString& text : corpus.texts)
            length += MakeInputCode(text).size();
        best = std::min(best, timer.nsecsElapsed() / 1e9);
        codeLength = length;
    }
    std::printf("%s\n", title);
    std::printf("  texts %lld, characters %lld, UTF-8 %.1f MB, code characters %lld\n",
                qint64(corpus.texts.size()), corpus.characters, corpus.utf8Bytes / 1e6, codeLength);
    std::printf("  best of %d: %.3f s = %.2f million input codes/s, %.0f MB/s (UTF-8), %.0f million characters/s\n",
                Passes, best, corpus.texts.size() / best / 1e6, corpus.utf8Bytes / best / 1e6,
                corpus.characters / best / 1e6);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toLongLong() : 64;

    QElapsedTimer firstCall;
    firstCall.start();
    const QString first = MakeInputCode(QStringLiteral("科学出版社"));
    std::printf("first call (builds the code-unit map): %.3f ms -> %s\n", firstCall.nsecsElapsed() / 1e6,
                qPrintable(first));

    const QList<char16_t> chinese = gb2312Characters();
    const Corpus names = namesCorpus(megabytes * 1000 * 1000, chinese);
    measure("names of 2-30 characters:", names);
    measure("texts of 64 Ki characters:", longTextCorpus(names, 64 * 1024));
    return 0;
}
