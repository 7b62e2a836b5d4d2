#include "netcat/HtmlSelector.h"

#include "netcat/HtmlDocument.h"

#include <utility>

namespace {

bool isSelectorSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

bool isOperatorCharacter(QChar c)
{
    return QStringView(u"=!~|^$*").contains(c);
}

QString asciiUpper(QStringView text)
{
    QString folded = text.toString();
    for (QChar& c : folded) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return folded;
}

QString asciiLower(QStringView text)
{
    QString folded = text.toString();
    for (QChar& c : folded) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    }
    return folded;
}

class SelectorReader
{
public:
    explicit SelectorReader(QStringView text) : m_text(text) {}

    TCSSSelectorItemGroup read()
    {
        TCSSSelectorItemGroup group;
        TCSSSelectorItems chain;
        TSelectorItemRelation relation = sirDescendant;
        for (;;) {
            skipSpacesAndComments();
            if (atEnd())
                break;
            const QChar c = m_text[m_pos];
            if (c == u',') {
                ++m_pos;
                if (!chain.isEmpty())
                    group.append(std::exchange(chain, {}));
                relation = sirDescendant;
            } else if (c == u'>' || c == u'+' || c == u'~') {
                ++m_pos;
                relation = c == u'>' ? sirChildren : c == u'+' ? sirYoungerBrother : sirAllYoungerBrother;
            } else {
                TCSSSelectorItem item = readItem();
                item.Relation = chain.isEmpty() ? sirNONE : relation;
                chain.append(std::move(item));
                relation = sirDescendant;
            }
        }
        if (!chain.isEmpty())
            group.append(std::move(chain));
        return group;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    bool atCommentStart() const
    {
        return m_pos + 1 < m_text.size() && m_text[m_pos] == u'/' && m_text[m_pos + 1] == u'*';
    }

    void skipSpaces()
    {
        while (!atEnd() && isSelectorSpace(m_text[m_pos]))
            ++m_pos;
    }

    void skipSpacesAndComments()
    {
        for (;;) {
            skipSpaces();
            if (!atCommentStart())
                return;
            skipComment();
        }
    }

    void skipComment()
    {
        const qsizetype end = m_text.indexOf(u"*/", m_pos + 2);
        m_pos = end < 0 ? m_text.size() : end + 2;
    }

    bool atNameEnd() const
    {
        if (atEnd() || atCommentStart())
            return true;
        const QChar c = m_text[m_pos];
        return isSelectorSpace(c) || QStringView(u".#[,>+~").contains(c);
    }

    QStringView readName()
    {
        const qsizetype start = m_pos;
        while (!atNameEnd())
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    TCSSSelectorItem readItem()
    {
        TCSSSelectorItem item;
        item.szTag = asciiUpper(readName());
        while (!atEnd()) {
            const QChar c = m_text[m_pos];
            if (c == u'.') {
                ++m_pos;
                item.Attributes.append({QStringLiteral("class"), aoIncludeWord, readName().toString()});
            } else if (c == u'#') {
                ++m_pos;
                item.Attributes.append({QStringLiteral("id"), aoEqual, readName().toString()});
            } else if (c == u'[') {
                item.Attributes.append(readAttribute());
            } else if (atCommentStart()) {
                skipComment();
            } else {
                break;
            }
        }
        return item;
    }

    TAttrSelectorItem readAttribute()
    {
        ++m_pos;   // "["
        skipSpaces();
        const qsizetype nameStart = m_pos;
        while (!atEnd() && !isSelectorSpace(m_text[m_pos]) && !isOperatorCharacter(m_text[m_pos])
               && m_text[m_pos] != u']')
            ++m_pos;
        TAttrSelectorItem attribute;
        attribute.Key = asciiLower(m_text.mid(nameStart, m_pos - nameStart));
        skipSpaces();
        if (atEnd())
            fail(QStringLiteral("无法解析Attribute值[%1,%2]"));
        const QChar op = m_text[m_pos];
        if (op == u']') {
            ++m_pos;
            return attribute;
        }
        if (!isOperatorCharacter(op))
            fail(QStringLiteral("无法解析CSS Attribute操作符[%1,%2]"));
        attribute.AttrOperator = operatorFor(op);
        ++m_pos;
        if (op != u'=' && !atEnd() && m_text[m_pos] == u'=')
            ++m_pos;
        skipSpaces();
        attribute.Value = decodeHtmlEntities(readAttributeValue());
        skipSpaces();
        if (atEnd() || m_text[m_pos] != u']')
            fail(QStringLiteral("无法解析Attribute值[%1,%2]"));
        ++m_pos;
        return attribute;
    }

    QStringView readAttributeValue()
    {
        if (!atEnd() && (m_text[m_pos] == u'"' || m_text[m_pos] == u'\'')) {
            const qsizetype start = m_pos + 1;
            const qsizetype end = m_text.indexOf(m_text[m_pos], start);
            if (end < 0) {
                m_pos = m_text.size();
                fail(QStringLiteral("无法解析Attribute值[%1,%2]"));
            }
            m_pos = end + 1;
            return m_text.mid(start, end - start);
        }
        const qsizetype start = m_pos;
        while (!atEnd() && !isSelectorSpace(m_text[m_pos]) && m_text[m_pos] != u']')
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    static TAttrOperator operatorFor(QChar c)
    {
        switch (c.unicode()) {
        case u'=': return aoEqual;
        case u'!': return aoNotEqual;
        case u'~': return aoIncludeWord;
        case u'|': return aoBeginWord;
        case u'^': return aoBegin;
        case u'$': return aoEnd;
        default: return aoContain;
        }
    }

    // Reports the line and column (1-based) of the current position.
    [[noreturn]] void fail(const QString& format) const
    {
        const QStringView before = m_text.first(std::min(m_pos, m_text.size()));
        const int line = int(before.count(u'\n')) + 1;
        const int column = int(before.size() - (before.lastIndexOf(u'\n') + 1)) + 1;
        throw HtmlParseError(format.arg(line).arg(column));
    }

    QStringView m_text;
    qsizetype m_pos = 0;
};

// ---------------------------------------------------------------------------------------------

// One bit per node of a range of document positions, allocated on first use.
class NodeMarks
{
public:
    void prepare(int first, int count)
    {
        if (m_words.empty()) {
            m_first = first;
            m_words.assign(size_t(count) / 64 + 1, 0);
        }
    }
    bool test(int index) const
    {
        const unsigned bit = unsigned(index - m_first);
        return (m_words[bit / 64] >> (bit % 64)) & 1u;
    }
    void set(int index)
    {
        const unsigned bit = unsigned(index - m_first);
        m_words[bit / 64] |= quint64(1) << (bit % 64);
    }

private:
    int m_first = 0;
    std::vector<quint64> m_words;
};

struct ResolvedCondition
{
    const HtmlName* key;
    TAttrOperator op;
    QString value;
};

// A selector item with its names looked up in the document once, so that matching compares
// pointers; a name the document never uses makes the item impossible.
struct ResolvedItem
{
    TSelectorItemRelation relation = sirNONE;
    const HtmlName* tag = nullptr;   // null: any tag
    bool impossible = false;
    std::vector<ResolvedCondition> conditions;
};

// Words are separated by whitespace; a double-quoted stretch is one word.
bool containsWord(QStringView text, QStringView word)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && isSelectorSpace(text[pos]))
            ++pos;
        if (pos >= text.size())
            break;
        qsizetype start = pos;
        qsizetype end;
        if (text[pos] == u'"') {
            start = pos + 1;
            end = text.indexOf(QChar(u'"'), start);
            if (end < 0)
                end = text.size();
            pos = end + 1;
        } else {
            while (pos < text.size() && !isSelectorSpace(text[pos]))
                ++pos;
            end = pos;
        }
        if (text.mid(start, end - start) == word)
            return true;
    }
    return false;
}

QStringView firstPiece(QStringView text)
{
    qsizetype end = 0;
    while (end < text.size() && !isSelectorSpace(text[end]) && text[end] != u'-' && text[end] != u'_')
        ++end;
    return text.first(end);
}

bool conditionHolds(const ResolvedCondition& condition, QStringView value)
{
    const QStringView expected = condition.value;
    switch (condition.op) {
    case aoExist: return true;
    case aoEqual: return value == expected;
    case aoNotEqual: return value != expected;
    case aoIncludeWord: return containsWord(value, expected);
    case aoBeginWord: return firstPiece(value) == expected;
    case aoBegin: return value.size() > expected.size() && value.startsWith(expected);
    case aoEnd: return value.size() > expected.size() && value.endsWith(expected);
    case aoContain: return value.contains(expected);
    }
    return false;
}

// Runs a parsed selector over the subtree of one node. Each chain is followed from every
// element matching its first item; marks remember which subtrees and sibling runs were
// already searched for an item, so nested or repeated matches never search them again and
// a query stays linear in the size of the subtree.
class SelectorQuery
{
public:
    SelectorQuery(const THtmlElement& root, const TCSSSelectorItemGroup& group) : m_root(root)
    {
        const THtmlDocument& document = *root.m_document;
        bool reachesSiblings = false;
        for (const TCSSSelectorItems& items : group) {
            std::vector<ResolvedItem>& chain = m_chains.emplace_back();
            for (const TCSSSelectorItem& item : items) {
                chain.push_back(resolve(document, item));
                reachesSiblings |= item.Relation == sirYoungerBrother || item.Relation == sirAllYoungerBrother;
            }
        }
        // Siblings of the root itself lie after its subtree, within its parent's.
        m_first = root.m_index;
        m_count = (reachesSiblings && root.FOwner ? root.FOwner->m_end : root.m_end) - m_first;
    }

    std::vector<IHtmlElement*> run()
    {
        m_removeDuplicates = m_chains.size() > 1;
        if (m_removeDuplicates)
            m_found.prepare(m_first, m_count);
        for (const std::vector<ResolvedItem>& chain : m_chains)
            runChain(chain);
        return std::move(m_results);
    }

private:
    static ResolvedItem resolve(const THtmlDocument& document, const TCSSSelectorItem& item)
    {
        ResolvedItem resolved;
        resolved.relation = item.Relation;
        if (!item.szTag.isEmpty() && item.szTag != u"*") {
            resolved.tag = document.tagNames.find(item.szTag);
            resolved.impossible = !resolved.tag;
        }
        for (const TAttrSelectorItem& attribute : item.Attributes) {
            const HtmlName* key = document.attributeNames.find(attribute.Key);
            resolved.impossible |= !key;
            resolved.conditions.push_back({key, attribute.AttrOperator, attribute.Value});
        }
        return resolved;
    }

    static bool matches(const THtmlElement& element, const ResolvedItem& item)
    {
        if (!element.isElement() || (item.tag && element.FTagName != item.tag))
            return false;
        for (const ResolvedCondition& condition : item.conditions) {
            const HtmlAttribute* attribute = element.findAttribute(condition.key);
            if (!attribute || !conditionHolds(condition, element.attributeValue(*attribute)))
                return false;
        }
        return true;
    }

    void runChain(const std::vector<ResolvedItem>& chain)
    {
        for (const ResolvedItem& item : chain) {
            if (item.impossible)
                return;
        }
        m_subtreeMarks.assign(chain.size(), {});
        m_siblingMarks.assign(chain.size(), {});
        const std::vector<THtmlElement*>& nodes = m_root.m_document->nodes;
        for (int i = m_root.m_index; i < m_root.m_end; ++i) {
            const THtmlElement& node = *nodes[size_t(i)];
            if (!matches(node, chain.front()))
                continue;
            if (chain.size() == 1)
                add(node);
            else
                follow(chain, node);
        }
    }

    // Depth-first from an element matching the first item, with an explicit stack so that
    // long selectors cannot exhaust the call stack.
    void follow(const std::vector<ResolvedItem>& chain, const THtmlElement& start)
    {
        const size_t last = chain.size() - 1;
        m_pending.push_back({0, &start});
        while (!m_pending.empty()) {
            const auto [item, node] = m_pending.back();
            m_pending.pop_back();
            if (item == last) {
                add(*node);
                continue;
            }
            m_candidates.clear();
            collect(chain, item + 1, *node);
            for (auto it = m_candidates.rbegin(); it != m_candidates.rend(); ++it)
                m_pending.push_back({item + 1, *it});
        }
    }

    // The elements related to from as item index says that match it, in document order.
    void collect(const std::vector<ResolvedItem>& chain, size_t index, const THtmlElement& from)
    {
        const ResolvedItem& item = chain[index];
        switch (item.relation) {
        case sirNONE:
        case sirDescendant:
            collectDescendants(item, m_subtreeMarks[index], from);
            break;
        case sirChildren:
            for (int i = 0; i < from.m_childCount; ++i) {
                const THtmlElement* child = from.child(i);
                if (matches(*child, item))
                    m_candidates.push_back(child);
            }
            break;
        case sirYoungerBrother:
        case sirAllYoungerBrother:
            collectSiblings(item, m_siblingMarks[index], from);
            break;
        }
    }

    void collectDescendants(const ResolvedItem& item, NodeMarks& searched, const THtmlElement& from)
    {
        searched.prepare(m_first, m_count);
        if (from.isElement() && searched.test(from.m_index))
            return;   // its whole subtree was searched for this item already
        const std::vector<THtmlElement*>& nodes = m_root.m_document->nodes;
        for (int i = from.m_index + 1; i < from.m_end;) {
            const THtmlElement& node = *nodes[size_t(i)];
            if (!node.isElement()) {
                ++i;
            } else if (searched.test(i)) {
                i = node.m_end;
            } else {
                searched.set(i);
                if (matches(node, item))
                    m_candidates.push_back(&node);
                ++i;
            }
        }
    }

    // A run of later siblings, once marked, was searched to its end.
    void collectSiblings(const ResolvedItem& item, NodeMarks& searched, const THtmlElement& from)
    {
        const THtmlElement* parent = from.FOwner;
        if (!parent)
            return;
        const bool nextOnly = item.relation == sirYoungerBrother;
        if (!nextOnly)
            searched.prepare(m_first, m_count);
        for (int i = from.m_childIndex + 1; i < parent->m_childCount; ++i) {
            const THtmlElement& sibling = *parent->child(i);
            if (!nextOnly) {
                if (searched.test(sibling.m_index))
                    return;
                searched.set(sibling.m_index);
            }
            if (!sibling.isElement() || sibling.FTagName->text.startsWith(u'#'))
                continue;
            if (matches(sibling, item))
                m_candidates.push_back(&sibling);
            if (nextOnly)
                return;
        }
    }

    void add(const THtmlElement& node)
    {
        if (m_removeDuplicates) {
            if (m_found.test(node.m_index))
                return;
            m_found.set(node.m_index);
        }
        m_results.push_back(const_cast<THtmlElement*>(&node));
    }

    const THtmlElement& m_root;
    std::vector<std::vector<ResolvedItem>> m_chains;
    int m_first = 0;
    int m_count = 0;
    bool m_removeDuplicates = false;
    NodeMarks m_found;
    std::vector<NodeMarks> m_subtreeMarks;   // per item: elements whose subtree was searched
    std::vector<NodeMarks> m_siblingMarks;   // per item: siblings already searched
    std::vector<std::pair<size_t, const THtmlElement*>> m_pending;
    std::vector<const THtmlElement*> m_candidates;
    std::vector<IHtmlElement*> m_results;
};

} // namespace

TCSSSelectorItemGroup ParseCSSSelector(const QString& selector)
{
    return SelectorReader(selector).read();
}

std::vector<IHtmlElement*> selectHtmlElements(const THtmlElement& root, const QString& selector)
{
    return SelectorQuery(root, ParseCSSSelector(selector)).run();
}
