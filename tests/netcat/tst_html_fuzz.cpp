// Feeds arbitrary text to the HTML parser and the selector engine: neither may crash, hang
// or read out of bounds. The first line of the input is a selector, the rest a page; the
// first byte also decides whether input tags are read quote-blind.
#include "netcat/HtmlParser.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void require(bool condition)
{
    if (!condition)
        __builtin_trap();
}

void select(const IHtmlElementPtr& node, const QString& selector)
{
    try {
        const IHtmlElementList found = node->SimpleCSSSelector(selector);
        for (int i = 0; i < found.Count(); ++i)
            require(found.IndexOf(found.Items(i)) == i);
    } catch (const HtmlParseError&) {
        // An unreadable selector is reported as an error; that is a correct outcome here.
    }
}

// Touches every operation of every node; the costly ones only on the first few nodes, as
// they are linear in the subtree and the tree may be deep.
void walk(const IHtmlElementPtr& document, const QString& selector)
{
    std::vector<IHtmlElementPtr> pending{document};
    int visited = 0;
    while (!pending.empty()) {
        const IHtmlElementPtr node = pending.back();
        pending.pop_back();
        require(!node->GetTagName().isNull());
        (void)node->GetContent();
        (void)node->GetOrignal();
        require(node->GetSourceLine() >= 0 && node->GetSourceCol() >= 0);
        for (int i = 0; !node->GetAttributeName(i).isEmpty(); ++i)
            require(node->HasAttribute(node->GetAttributeName(i)));
        if (const IHtmlElementPtr closeTag = node->GetCloseTag())
            require(closeTag->GetTagName() == node->GetTagName());
        if (++visited <= 50) {
            require(node->GetOuterHtml().size() >= node->GetInnerHtml().size());
            (void)node->GetInnerText();
            select(node, selector);
        }
        for (int i = node->GetChildrenCount() - 1; i >= 0; --i)
            pending.push_back(node->GetChildren(i));
        require(node->GetChildren(node->GetChildrenCount()) == nullptr);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const qsizetype lineEnd = text.indexOf(u'\n');
    const QString selector = lineEnd < 0 ? text : text.left(lineEnd);
    const QString html = lineEnd < 0 ? text : text.mid(lineEnd + 1);
    (void)DecodeHtmlEntities(html);
    QuoteBlindInputTags = size == 0 || (data[0] & 1) == 0;
    try {
        const IHtmlElementPtr document = ParseHtml(html);
        require(document->GetOuterHtml().size() <= html.size());
        walk(document, selector);
        select(document, QStringLiteral("td.td1, div > p + p ~ a[href^=h], * [class|=x]"));
    } catch (const HtmlParseError&) {
    }
    QuoteBlindInputTags = true;
    return 0;
}
