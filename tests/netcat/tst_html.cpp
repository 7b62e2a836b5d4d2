#include "netcat/HtmlParser.h"

#include "TestSupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

// A compact picture of a tree: elements as TAG[children], text-like nodes with their content
// in quotes, siblings separated by spaces.
QString describe(const IHtmlElementPtr& node);

QString describeChildren(const IHtmlElementPtr& node)
{
    QStringList parts;
    for (int i = 0; i < node->GetChildrenCount(); ++i)
        parts << describe(node->GetChildren(i));
    return parts.join(u' ');
}

QString describe(const IHtmlElementPtr& node)
{
    const QString name = node->GetTagName();
    if (name == u"#TEXT")
        return u'\'' + node->GetContent() + u'\'';
    if (name == u"#SCRIPT" || name == u"#STYLE" || name == u"#DOCTYPE")
        return name + u'\'' + node->GetContent() + u'\'';
    const QString children = describeChildren(node);
    return children.isEmpty() ? name : name + u'[' + children + u']';
}

QString treeOf(const QString& html)
{
    return describeChildren(ParseHtml(html));
}

QString parseError(const QString& html)
{
    try {
        ParseHtml(html);
    } catch (const HtmlParseError& error) {
        return error.message();
    }
    return {};
}

// Restores the global option whatever a test does with it.
struct QuoteBlindInputTagsGuard
{
    ~QuoteBlindInputTagsGuard() { QuoteBlindInputTags = true; }
};

} // namespace

class TestHtmlParser : public QObject
{
    Q_OBJECT

private slots:
    void treeShape_data();
    void treeShape();
    void attributes_data();
    void attributes();
    void sourceAndText();
    void quoteBlindInputTags();
    void entities_data();
    void entities();
    void parseErrors_data();
    void parseErrors();
    void nodesOutliveTheirRoot();
    void deepAndWideTrees();
    void realPages_data();
    void realPages();
};

void TestHtmlParser::treeShape_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("tree");

    QTest::newRow("only void elements close implicitly") << "<p>a<p>b</p>" << "P['a' P['b']]";
    QTest::newRow("void closed before the next node attaches") << "<br><span>x</span>" << "BR SPAN['x']";
    QTest::newRow("every void element")
        << "<meta><link><base><frame><img><br><wbr><embed><hr><input><keygen><col><command><device>x"
        << "META LINK BASE FRAME IMG BR WBR EMBED HR INPUT KEYGEN COL COMMAND DEVICE 'x'";
    QTest::newRow("other elements stay open") << "<custom><li>x" << "CUSTOM[LI['x']]";
    QTest::newRow("stray end tag dropped") << "<p>a</div>b</p>c" << "P['a' 'b'] 'c'";
    QTest::newRow("lone end tag") << "</div>" << "";
    QTest::newRow("end tag closes what opened after its element") << "<div><span>a</div>b" << "DIV[SPAN['a']] 'b'";
    QTest::newRow("end tag closes the nearest open element") << "<b><b>x</b>y</b>z" << "B[B['x'] 'y'] 'z'";
    QTest::newRow("unclosed elements end with the document") << "<div><span>a" << "DIV[SPAN['a']]";
    QTest::newRow("void element inside an element that ends") << "<p><br></p>x" << "P[BR] 'x'";
    QTest::newRow("trailing slash closes") << "<div/>x<a href=b/>y" << "DIV 'x' A 'y'";
    QTest::newRow("names in any case") << "<DiV>x</dIv>y" << "DIV['x'] 'y'";
    QTest::newRow("double-quoted > stays in the tag") << "<a title=\"x>y\">t</a>" << "A['t']";
    QTest::newRow("single-quoted > ends the tag") << "<a title='x>y'>t</a>" << "A['y'>t']";
    QTest::newRow("text decoded") << "<p>&lt;b&gt; &amp;lt;</p>" << "P['<b> &lt;']";
    QTest::newRow("comment") << "<!-- a > b -- c -->x" << "#COMMENT 'x'";
    QTest::newRow("cdata") << "<![CDATA[a > b]]>x" << "#COMMENT 'x'";
    QTest::newRow("processing instruction") << "<?xml version=\"1.0\" a=\">\"?>x" << "#COMMENT 'x'";
    QTest::newRow("declaration") << "<!ENTITY e \"a>b\">x" << "#COMMENT 'x'";
    QTest::newRow("doctype") << "<!doctype html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" >x"
                             << "#DOCTYPE'html PUBLIC \"-//W3C//DTD HTML 4.01//EN\"' 'x'";
    QTest::newRow("script skips strings and comments")
        << "<script>if (a < b) w(\"</script>\", '<\\'/script>'); /* </script> */ // </script>\n</script>x"
        << "SCRIPT[#SCRIPT'if (a < b) w(\"</script>\", '<\\'/script>'); /* </script> */ // </script>\n'] 'x'";
    QTest::newRow("script in a comment") << "<SCRIPT><!-- a </script> --></Script>x"
                                         << "SCRIPT[#SCRIPT'<!-- a </script> -->'] 'x'";
    QTest::newRow("script runs to the end of the text") << "<script>var s = \"</script>" << "SCRIPT[#SCRIPT'var s = \"</script>']";
    QTest::newRow("script tag ends at its first >") << "<script a=\">\">x</script>"
                                                     << "SCRIPT[#SCRIPT'\">x</script>']";
    QTest::newRow("empty script") << "<script src=a></script>x" << "SCRIPT 'x'";
    QTest::newRow("closed script has no body") << "<script src=a />x" << "SCRIPT 'x'";
    QTest::newRow("style ignores quotes") << "<style>p>q{a:'</STYLE>'}</style>" << "STYLE[#STYLE'p>q{a:''] ''}'";
}

void TestHtmlParser::treeShape()
{
    QFETCH(QString, html);
    QFETCH(QString, tree);
    QCOMPARE(treeOf(html), tree);
}

void TestHtmlParser::attributes_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QStringList>("attributes");   // name=value in GetAttributeName order

    QTest::newRow("quoted, unquoted, bare, spaced")
        << "<a HREF=\"x y\" Title='z' checked data-x=1 w = \"2\">"
        << QStringList{"href=x y", "title=z", "checked=", "data-x=1", "w=2"};
    QTest::newRow("later duplicate replaces") << "<a b=1 c B=2>" << QStringList{"b=2", "c="};
    QTest::newRow("values decoded") << "<a href=\"?a=1&amp;b=&#50;\">" << QStringList{"href=?a=1&b=2"};
    QTest::newRow("unquoted value runs to whitespace") << "<a b=x\"y\" c>" << QStringList{"b=x\"y\"", "c="};
    QTest::newRow("other quote inside quotes") << "<a b=\"it's\" c='say \"hi\"'>"
                                                << QStringList{"b=it's", "c=say \"hi\""};
    QTest::newRow("unterminated quote runs to the end of the tag") << "<a b='x>" << QStringList{"b=x"};
    QTest::newRow("line breaks between attributes") << "<a\nb=1\r\n\tc=2/>" << QStringList{"b=1", "c=2"};
}

void TestHtmlParser::attributes()
{
    QFETCH(QString, html);
    QFETCH(QStringList, attributes);
    const IHtmlElementPtr element = ParseHtml(html)->GetChildren(0);
    QStringList actual;
    for (int i = 0; !element->GetAttributeName(i).isEmpty(); ++i) {
        const QString name = element->GetAttributeName(i);
        QVERIFY(element->HasAttribute(name.toUpper()));
        actual << name + u'=' + element->GetAttribute(name.toUpper());
    }
    QCOMPARE(actual, attributes);
    QVERIFY(!element->HasAttribute(QStringLiteral("missing")));
    QCOMPARE(element->GetAttribute(QStringLiteral("missing")), QString());
    QCOMPARE(element->GetAttributeName(-1), QString());
}

void TestHtmlParser::sourceAndText()
{
    const QString html = QStringLiteral("<div id=a>\n  <p>x &amp; y<script>s&amp;</script><br></p></i>\n</div>");
    const IHtmlElementPtr document = ParseHtml(html);
    QCOMPARE(document->GetTagName(), QStringLiteral("#DOCUMENT"));
    const IHtmlElementPtr div = document->GetChildren(0);
    const IHtmlElementPtr p = div->GetChildren(1);
    QCOMPARE(p->GetTagName(), QStringLiteral("P"));
    QCOMPARE(p->GetSourceLine(), 2);
    QCOMPARE(p->GetSourceCol(), 3);
    QCOMPARE(p->GetOrignal(), QStringLiteral("<p>"));
    QCOMPARE(p->GetContent(), QString());
    QCOMPARE(p->GetCloseTag()->GetOrignal(), QStringLiteral("</p>"));
    QCOMPARE(p->GetCloseTag()->GetTagName(), QStringLiteral("P"));
    QVERIFY(p->GetChildren(2)->GetCloseTag() == nullptr);   // BR
    QVERIFY(p->GetChildren(3) == nullptr);

    const IHtmlElementPtr text = p->GetChildren(0);
    QCOMPARE(text->GetOrignal(), QStringLiteral("x &amp; y"));
    QCOMPARE(text->GetContent(), QStringLiteral("x & y"));
    QCOMPARE(text->GetInnerText(), QStringLiteral("x & y"));
    QCOMPARE(text->GetOuterHtml(), QStringLiteral("x &amp; y"));
    QCOMPARE(text->GetInnerHtml(), QString());
    QCOMPARE(p->GetChildren(1)->GetChildren(0)->GetContent(), QStringLiteral("s&"));

    // The stray </i> is no part of any node.
    QCOMPARE(p->GetOuterHtml(), QStringLiteral("<p>x &amp; y<script>s&amp;</script><br></p>"));
    QCOMPARE(p->GetInnerHtml(), QStringLiteral("x &amp; y<script>s&amp;</script><br>"));
    QCOMPARE(document->GetOuterHtml(), QString(html).remove(QStringLiteral("</i>")));
    QCOMPARE(div->GetInnerText(), QStringLiteral("\n  x & y\n"));
}

void TestHtmlParser::quoteBlindInputTags()
{
    QuoteBlindInputTagsGuard guard;
    const QString html = QStringLiteral("<input value=\"a>b\">c");
    QVERIFY(QuoteBlindInputTags);
    QCOMPARE(treeOf(html), QStringLiteral("INPUT 'b\">c'"));
    QCOMPARE(ParseHtml(html)->GetChildren(0)->GetAttribute(QStringLiteral("value")), QStringLiteral("a"));
    QuoteBlindInputTags = false;
    QCOMPARE(treeOf(html), QStringLiteral("INPUT 'c'"));
    QCOMPARE(ParseHtml(html)->GetChildren(0)->GetAttribute(QStringLiteral("value")), QStringLiteral("a>b"));
}

void TestHtmlParser::entities_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");

    QTest::newRow("decoded once") << "&amp;lt;" << "&lt;";
    QTest::newRow("no semicolon") << "AT&T" << "AT&T";
    QTest::newRow("shortest reference") << "&lt;" << "<";
    QTest::newRow("decimal and $hex") << "&#65;&#$41;&#$4a;" << "AAJ";
    QTest::newRow("a non-digit starts the number again") << "&#x41;" << ")";
    QTest::newRow("first and last of the table") << "&nbsp;&euro;" << QString::fromUtf8("\u00a0\u20ac");
    QTest::newRow("names are case-sensitive") << "&Eacute;cole &eacute; &Dagger;&dagger;"
                                              << QString::fromUtf8("École é ‡†");
    QTest::newRow("upper-case spelling of a lower-case name") << "&AMP; &NBSP;" << QString::fromUtf8("& \u00a0");
    QTest::newRow("unknown name kept as written") << "R&D; Paris" << "R&D; Paris";
    QTest::newRow("reference after an unknown one") << "A & B &amp; C;" << "A & B & C;";
    QTest::newRow("beyond the basic plane") << "&#128512;" << QString::fromUtf8("😀");
    QTest::newRow("no character for zero, surrogates or huge codes")
        << "&#0;&#55296;&#99999999999999;" << QString::fromUtf8("\ufffd\ufffd\ufffd");
}

void TestHtmlParser::entities()
{
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(DecodeHtmlEntities(text), decoded);
}

void TestHtmlParser::parseErrors_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("message");

    const QString longTag = u'<' + QString(150, u'a');
    QTest::newRow("unterminated tag") << "<p>\n<a href=\"x>" << "LineNum:2无法找到Tag结束点:<a href=\"x>";
    QTest::newRow("source shown is cut at 100 characters") << longTag << "LineNum:1无法找到Tag结束点:" + longTag.left(100);
    QTest::newRow("bare less-than") << "a < b" << "LineNum:1无法找到Tag结束点:< b";
    QTest::newRow("unterminated comment") << "<!-- x ->" << "LineNum:1无法找到Tag结束点:<!-- x ->";
    QTest::newRow("unterminated doctype") << "<!DOCTYPE \">\"" << "LineNum:1无法找到Tag结束点:<!DOCTYPE \">\"";
    QTest::newRow("unterminated script comment") << "<script><!-- x </script>" << "未完结的Script行:1;列:9;";
    QTest::newRow("unterminated style comment") << "x\n<style><!--" << "未完结的Style行:2;列:8;";
}

void TestHtmlParser::parseErrors()
{
    QFETCH(QString, html);
    QFETCH(QString, message);
    QCOMPARE(parseError(html), message);
}

void TestHtmlParser::nodesOutliveTheirRoot()
{
    IHtmlElementPtr cell;
    IHtmlElementList links;
    {
        const IHtmlElementPtr document = ParseHtml(QStringLiteral("<td><a href=x>y</a></td>"));
        cell = document->GetChildren(0);
        links = document->SimpleCSSSelector(QStringLiteral("a"));
    }
    QCOMPARE(cell->GetInnerText(), QStringLiteral("y"));
    QCOMPARE(links.Count(), 1);
    QCOMPARE(links.Items(0)->GetAttribute(QStringLiteral("href")), QStringLiteral("x"));
    QVERIFY(links.Items(1) == nullptr);
    QCOMPARE(links.IndexOf(cell->GetChildren(0)), 0);
    QCOMPARE(links.IndexOf(cell), -1);
}

// Nothing walks the tree recursively and nothing is quadratic: these finish at once.
void TestHtmlParser::deepAndWideTrees()
{
    constexpr int count = 100000;
    const QString nested = QStringLiteral("<p>").repeated(count) + QStringLiteral("x")
                           + QStringLiteral("</div>").repeated(count);
    const IHtmlElementPtr deep = ParseHtml(nested);
    QCOMPARE(deep->GetInnerText(), QStringLiteral("x"));
    QCOMPARE(deep->GetOuterHtml(), QStringLiteral("<p>").repeated(count) + QStringLiteral("x"));
    QCOMPARE(deep->SimpleCSSSelector(QStringLiteral("p p")).Count(), count - 1);
    QCOMPARE(deep->SimpleCSSSelector(QStringLiteral("p > p")).Count(), count - 1);
    QCOMPARE(deep->SimpleCSSSelector(QStringLiteral("p p p p, p")).Count(), count);

    const IHtmlElementPtr wide = ParseHtml(QStringLiteral("<br>").repeated(count));
    QCOMPARE(wide->GetChildrenCount(), count);
    QCOMPARE(wide->SimpleCSSSelector(QStringLiteral("br ~ br")).Count(), count - 1);
    QCOMPARE(wide->SimpleCSSSelector(QStringLiteral("br ~ br ~ br")).Count(), count - 2);

    const QString manyAttributes = QStringLiteral("<a") + QStringLiteral(" b").repeated(count) + QStringLiteral(" c=1>");
    QCOMPARE(ParseHtml(manyAttributes)->GetChildren(0)->GetAttributeName(1), QStringLiteral("c"));
}

void TestHtmlParser::realPages_data()
{
    QTest::addColumn<QString>("path");
    const QDir pages(testDataPath(QStringLiteral("html-pages")));
    const QStringList files = pages.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << pages.filePath(file);
}

// Pages from documentation packages: they parse, keep every character of the source that is
// not a dropped end tag, and find what a simple scan of the source finds.
void TestHtmlParser::realPages()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const IHtmlElementPtr document = ParseHtml(html);
    const QString outer = document->GetOuterHtml();
    QVERIFY(outer.size() <= html.size());
    QVERIFY(outer.size() > html.size() * 9 / 10);
    QCOMPARE(document->SimpleCSSSelector(QStringLiteral("title")).Count(), 1);
    const QRegularExpression anchor(QStringLiteral("<a\\s[^>]*\\bhref="), QRegularExpression::CaseInsensitiveOption);
    QCOMPARE(document->SimpleCSSSelector(QStringLiteral("a[href]")).Count(), int(html.count(anchor)));
    QVERIFY(!document->SimpleCSSSelector(QStringLiteral("body"))[0]->GetInnerText().trimmed().isEmpty());
}

QTEST_GUILESS_MAIN(TestHtmlParser)
#include "tst_html.moc"
