#include "admin/Commands.h"

#include "netcat/HtmlParser.h"

#include <QFile>

#include <utility>
#include <vector>

namespace {

// One match or node per line: control characters that would break the line are spelled out.
QString escapeLineBreaks(QString text)
{
    text.replace(u'\r', QLatin1String("\\r"));
    text.replace(u'\n', QLatin1String("\\n"));
    text.replace(u'\t', QLatin1String("\\t"));
    return text;
}

QString describeNode(const IHtmlElement& node)
{
    const QString name = node.GetTagName();
    if (name == u"#COMMENT")
        return name + u' ' + escapeLineBreaks(node.GetOrignal());
    if (name.startsWith(u'#')) {
        const QString content = node.GetContent();
        return content.isEmpty() ? name : name + u' ' + escapeLineBreaks(content);
    }
    QString line = name;
    for (int i = 0; !node.GetAttributeName(i).isEmpty(); ++i) {
        const QString attribute = node.GetAttributeName(i);
        line += QStringLiteral(" %1=\"%2\"").arg(attribute, escapeLineBreaks(node.GetAttribute(attribute)));
    }
    return line;
}

// Depth-first without recursion: pages with thousands of unclosed elements nest that deep.
void printTree(const IHtmlElementPtr& root, QTextStream& out)
{
    std::vector<std::pair<IHtmlElementPtr, int>> pending{{root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = std::move(pending.back());
        pending.pop_back();
        out << QString(depth * 2, u' ') << describeNode(*node) << '\n';
        for (int i = node->GetChildrenCount() - 1; i >= 0; --i)
            pending.emplace_back(node->GetChildren(i), depth + 1);
    }
}

void printMatches(const IHtmlElementList& matches, QTextStream& out)
{
    for (int i = 0; i < matches.Count(); ++i) {
        const IHtmlElementPtr node = matches.Items(i);
        out << node->GetTagName() << '\t' << escapeLineBreaks(node->GetInnerText()) << '\n';
    }
}

} // namespace

int runHtml(const QStringList& args, QTextStream& out, QTextStream& err)
{
    const bool tree = args.value(0) == QLatin1String("--tree");
    if (args.size() != 2) {
        err << "用法: velmora-admin html <文件> <选择器> | html --tree <文件>\n";
        return 2;
    }
    const QString path = tree ? args[1] : args[0];
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "无法打开文件：" << path << '\n';
        return 1;
    }
    try {
        const IHtmlElementPtr document = ParseHtml(QString::fromUtf8(file.readAll()));
        if (tree)
            printTree(document, out);
        else
            printMatches(document->SimpleCSSSelector(args[1]), out);
    } catch (const HtmlParseError& error) {
        err << error.message() << '\n';
        return 1;
    }
    return 0;
}
