#include "netcat/HtmlParser.h"

#include <QtTest>

namespace {

// A result page in the shape of the catalogue pages, every element named by its id.
const QString kPage = QStringLiteral(
    "<table id=t>\n"
    " <tr id=r1><td id=c1 class=\"td1\">- 查看 -<a id=a1 href=\"x\">1</a></td>"
    "<td id=c2 class=\"td1 wide\">b</td><td id=c3 class=td2><span id=s1 class=td1>in</span></td></tr>\n"
    " <tr id=r2 lang=\"en-US\"><td id=c4 class='td1' title='abc'>d</td>"
    "<td id=c5 title=\"abcd\" data-x='a \"b c\"'>e</td></tr>\n"
    "</table>\n"
    "<div id=d1><div id=d2><p id=p1>x</p></div><p id=p2>y</p> text <p id=p3>z</p><!--c--><p id=p4>w</p></div>");

QString ids(const IHtmlElementList& list)
{
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Items(i)->GetAttribute(QStringLiteral("id"));
    return names.join(u',');
}

IHtmlElementPtr elementById(const IHtmlElementPtr& document, const QString& id)
{
    return document->SimpleCSSSelector(u'#' + id).Items(0);
}

QString selectorError(const QString& selector)
{
    try {
        ParseHtml(kPage)->SimpleCSSSelector(selector);
    } catch (const HtmlParseError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class TestHtmlSelector : public QObject
{
    Q_OBJECT

private slots:
    void select_data();
    void select();
    void errors_data();
    void errors();
};

void TestHtmlSelector::select_data()
{
    QTest::addColumn<QString>("from");   // id of the node queried, empty for the document
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("found");

    QTest::newRow("tag and class") << "" << "td.td1" << "c1,c2,c4";
    QTest::newRow("class below a tag") << "" << "td .td1" << "s1";
    QTest::newRow("tag in any case") << "" << "TD.td1" << "c1,c2,c4";
    QTest::newRow("values with regard to case") << "" << ".TD1" << "";
    QTest::newRow("id") << "" << "#c3" << "c3";
    QTest::newRow("id of another tag") << "" << "span#c3" << "";
    QTest::newRow("exists") << "" << "[title]" << "c4,c5";
    QTest::newRow("equal") << "" << "[title=abc]" << "c4";
    QTest::newRow("not equal needs the attribute") << "" << "td[title!=abc]" << "c5";
    QTest::newRow("word") << "" << "[class~=wide]" << "c2";
    QTest::newRow("quoted words stay together") << "" << "[data-x~='b c']" << "c5";
    QTest::newRow("first word") << "" << "[lang|=en]" << "r2";
    QTest::newRow("begins, strictly longer") << "" << "[title^=abc]" << "c5";
    QTest::newRow("ends, strictly longer") << "" << "[title$=bcd], [title$=abcd]" << "c5";
    QTest::newRow("contains") << "" << "[title*=bc]" << "c4,c5";
    QTest::newRow("quoted and spaced value") << "" << "td[ title = \"abc\" ]" << "c4";
    QTest::newRow("value decoded") << "" << "[title=&#97;bc]" << "c4";
    QTest::newRow("child") << "" << "table > tr > td.td2 > span" << "s1";
    QTest::newRow("child without spaces") << "" << "tr>td.td2" << "c3";
    QTest::newRow("children in the order found") << "" << "div > p" << "p2,p3,p4,p1";
    QTest::newRow("descendants found once") << "" << "div p" << "p1,p2,p3,p4";
    QTest::newRow("long chain") << "" << "div div p" << "p1";
    QTest::newRow("next sibling skips text and comments") << "" << "p + p" << "p3,p4";
    QTest::newRow("next sibling is only the next") << "" << "td + td.td1" << "c2";
    QTest::newRow("later siblings") << "" << "div ~ p" << "p2,p3,p4";
    QTest::newRow("alternatives in turn, no duplicates") << "" << "a, td.td1, #c1, span" << "a1,c1,c2,c4,s1";
    QTest::newRow("any tag") << "" << "tr > *" << "c1,c2,c3,c4,c5";
    QTest::newRow("comments skipped") << "" << "td/* c */.td1 /* d */" << "c1,c2,c4";
    QTest::newRow("unknown names") << "" << "blink, [nothing], td[nothing!=x]" << "";
    QTest::newRow("empty selector") << "" << "" << "";
    QTest::newRow("the node itself") << "c1" << "td" << "c1";
    QTest::newRow("from the node itself") << "c3" << "td span" << "s1";
    QTest::newRow("inside a cell") << "c1" << "a" << "a1";
    QTest::newRow("siblings of the node itself") << "p2" << "p + p" << "p3";
    QTest::newRow("nothing above the node") << "d2" << "div div p" << "";
}

void TestHtmlSelector::select()
{
    QFETCH(QString, from);
    QFETCH(QString, selector);
    QFETCH(QString, found);
    const IHtmlElementPtr document = ParseHtml(kPage);
    const IHtmlElementPtr node = from.isEmpty() ? document : elementById(document, from);
    QVERIFY(node);
    QCOMPARE(ids(node->SimpleCSSSelector(selector)), found);
}

void TestHtmlSelector::errors_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("message");

    QTest::newRow("no closing bracket") << "td[title" << "无法解析Attribute值[1,9]";
    QTest::newRow("no closing bracket after the value") << "td[title=abc" << "无法解析Attribute值[1,13]";
    QTest::newRow("two values") << "td[title=a b]" << "无法解析Attribute值[1,12]";
    QTest::newRow("unterminated quote") << "td[title='abc]" << "无法解析Attribute值[1,15]";
    QTest::newRow("not an operator") << "td[title abc]" << "无法解析CSS Attribute操作符[1,10]";
    QTest::newRow("position on a later line") << "td,\n  a[href x]" << "无法解析CSS Attribute操作符[2,10]";
}

void TestHtmlSelector::errors()
{
    QFETCH(QString, selector);
    QFETCH(QString, message);
    QCOMPARE(selectorError(selector), message);
}

QTEST_GUILESS_MAIN(TestHtmlSelector)
#include "tst_htmlselector.moc"
