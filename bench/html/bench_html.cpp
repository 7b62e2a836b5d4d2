// Measures HTML parsing in MB/s on a multi-megabyte page and selector queries per second,
// beside libxml2's HTML parser (and its XPath for comparable queries) on the same page.
// Times are this thread's processor time, so that a busy machine does not distort them.
//   bench_html [page.html] [seconds per figure, default 2]
// Without a page, the bodies of the documentation pages of the tests are repeated into one
// page of at least 8 MiB.
#include "netcat/HtmlParser.h"

#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include <ctime>
#include <functional>

namespace {

double threadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs step over and over for about the given processor time; returns runs per second.
// cleanUp runs after each step, outside the time measured.
double rate(double seconds, const std::function<void()>& step, const std::function<void()>& cleanUp = {})
{
    long runs = 0;
    double elapsed = 0;
    do {
        const double start = threadSeconds();
        step();
        elapsed += threadSeconds() - start;
        ++runs;
        if (cleanUp)
            cleanUp();
    } while (elapsed < seconds);
    return double(runs) / elapsed;
}

QByteArray bodyOf(const QByteArray& page)
{
    const qsizetype body = page.indexOf("<body");
    const qsizetype start = body < 0 ? 0 : page.indexOf('>', body) + 1;
    const qsizetype end = page.lastIndexOf("</body>");
    return page.mid(start, (end < start ? page.size() : end) - start);
}

QByteArray samplePage()
{
    const QDir pages(QStringLiteral(VELMORA_HTML_PAGES));
    QByteArray bodies;
    for (const QString& name : pages.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile file(pages.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            bodies += bodyOf(file.readAll());
    }
    QByteArray page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>bench</title></head><body>\n";
    constexpr qsizetype minimumSize = 8 * 1024 * 1024;
    while (page.size() < minimumSize && !bodies.isEmpty())
        page += bodies;
    return page + "</body></html>\n";
}

htmlDocPtr parseWithLibxml(const QByteArray& page)
{
    return htmlReadMemory(page.constData(), int(page.size()), "bench.html", "UTF-8",
                          HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET
                              | HTML_PARSE_COMPACT);
}

int countXPath(htmlDocPtr document, const char* expression)
{
    xmlXPathContextPtr context = xmlXPathNewContext(document);
    xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression), context);
    const int count = result && result->nodesetval ? result->nodesetval->nodeNr : 0;
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return count;
}

struct Query
{
    const char* selector;
    const char* xpath;   // the same question for libxml2, or null
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = app.arguments().mid(1);
    bool isNumber = false;
    const double lastNumber = arguments.value(arguments.size() - 1).toDouble(&isNumber);
    const double seconds = isNumber ? lastNumber : 2.0;
    const QString pagePath = arguments.value(0).endsWith(QLatin1String(".html")) ? arguments.value(0) : QString();

    QByteArray page;
    if (pagePath.isEmpty()) {
        page = samplePage();
    } else {
        QFile file(pagePath);
        if (!file.open(QIODevice::ReadOnly)) {
            out << "cannot open " << pagePath << '\n';
            return 1;
        }
        page = file.readAll();
    }
    const double megabytes = double(page.size()) / 1e6;
    const QString text = QString::fromUtf8(page);
    out << QStringLiteral("page: %1 MB of UTF-8 (%2), %3 s per figure\n")
               .arg(megabytes, 0, 'f', 2)
               .arg(pagePath.isEmpty() ? QStringLiteral("test pages repeated") : pagePath)
               .arg(seconds);

    IHtmlElementPtr document = ParseHtml(text);
    const int elements = document->SimpleCSSSelector(QStringLiteral("*")).Count();
    out << QStringLiteral("elements: %1\n\n").arg(elements);

    const auto release = [&] { document.reset(); };
    const double parse = rate(seconds, [&] { document = ParseHtml(text); }, release);
    const double decodeAndParse = rate(seconds, [&] { document = ParseHtml(QString::fromUtf8(page)); }, release);
    const double parseAndRelease = rate(seconds, [&] { (void)ParseHtml(text); });
    xmlInitParser();
    htmlDocPtr libxmlDocument = nullptr;
    const double libxml = rate(seconds, [&] { libxmlDocument = parseWithLibxml(page); },
                               [&] { xmlFreeDoc(libxmlDocument); });
    const double libxmlAndFree = rate(seconds, [&] { xmlFreeDoc(parseWithLibxml(page)); });
    document = ParseHtml(text);
    libxmlDocument = parseWithLibxml(page);

    out << "parsing                                   MB/s\n";
    out << QStringLiteral("  ParseHtml (text already decoded)  %1\n").arg(parse * megabytes, 8, 'f', 1);
    out << QStringLiteral("  ParseHtml with UTF-8 decoding     %1\n").arg(decodeAndParse * megabytes, 8, 'f', 1);
    out << QStringLiteral("  ParseHtml and release             %1\n").arg(parseAndRelease * megabytes, 8, 'f', 1);
    out << QStringLiteral("  libxml2 htmlReadMemory            %1\n").arg(libxml * megabytes, 8, 'f', 1);
    out << QStringLiteral("  libxml2 htmlReadMemory and free   %1\n\n").arg(libxmlAndFree * megabytes, 8, 'f', 1);

    const Query queries[] = {
        {"td.td1", "//td[contains(concat(' ', normalize-space(@class), ' '), ' td1 ')]"},
        {"a[href]", "//a[@href]"},
        {"div p", "//div//p"},
        {"td", "//td"},
        {"pre + p", nullptr},
        {"h2, h3, h4", "//h2 | //h3 | //h4"},
        {"[class~=example]", "//*[contains(concat(' ', normalize-space(@class), ' '), ' example ')]"},
    };
    out << "query on the whole page             found    queries/s   libxml2 XPath/s\n";
    for (const Query& query : queries) {
        const QString selector = QString::fromLatin1(query.selector);
        const int found = document->SimpleCSSSelector(selector).Count();
        const double ours = rate(seconds, [&] { (void)document->SimpleCSSSelector(selector); });
        QString theirs = QStringLiteral("-");
        if (query.xpath) {
            const int theirFound = countXPath(libxmlDocument, query.xpath);
            theirs = QStringLiteral("%1 (found %2)")
                         .arg(rate(seconds, [&] { (void)countXPath(libxmlDocument, query.xpath); }), 0, 'f', 1)
                         .arg(theirFound);
        }
        out << QStringLiteral("  %1 %2 %3   %4\n")
                   .arg(selector, -30)
                   .arg(found, 7)
                   .arg(ours, 11, 'f', 1)
                   .arg(theirs);
    }

    // The catalogue sources ask small questions of single cells, many times over.
    const IHtmlElementList paragraphs = document->SimpleCSSSelector(QStringLiteral("p"));
    int next = 0;
    const double small = rate(seconds, [&] {
        (void)paragraphs.Items(next)->SimpleCSSSelector(QStringLiteral("a"));
        next = (next + 1) % paragraphs.Count();
    });
    out << QStringLiteral("\nquery \"a\" on one P element at a time: %1 queries/s (%2 P elements)\n")
               .arg(small, 0, 'f', 0)
               .arg(paragraphs.Count());

    xmlFreeDoc(libxmlDocument);
    xmlCleanupParser();
    return 0;
}
