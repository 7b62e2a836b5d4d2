#include "admin/Commands.h"

#include "netcat/Price.h"

int runPrice(const QStringList& args, QTextStream& out, QTextStream& err)
{
    QStringList texts = args;
    const bool strict = !texts.isEmpty() && texts.first() == QLatin1String("--strict");
    if (strict)
        texts.removeFirst();
    if (texts.isEmpty()) {
        err << "用法: velmora-admin price [--strict] <价格文本>…\n";
        return 2;
    }
    for (const QString& text : std::as_const(texts)) {
        TAmount price;
        QString currency;
        QString notes;
        try {
            ParsePriceDetail(text, price, currency, notes, !strict);
        } catch (const AppError& error) {
            err << error.message() << '\n';
            return 1;
        }
        out << price.toString() << '\t' << currency << '\t' << notes << '\n';
    }
    return 0;
}
