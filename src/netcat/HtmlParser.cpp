#include "netcat/HtmlDocument.h"

bool QuoteBlindInputTags = true;

namespace {

bool isHtmlSpace(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\f';
}

bool startsWithNoCase(QStringView text, qsizetype at, QLatin1StringView word)
{
    return at + word.size() <= text.size() && text.mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

bool isNamed(QStringView name, QLatin1StringView upperCaseName)
{
    return name.size() == upperCaseName.size() && name.compare(upperCaseName, Qt::CaseInsensitive) == 0;
}

// Closed as soon as a later node needs a parent.
bool isVoidElementName(QStringView name)
{
    static const QLatin1StringView voidElements[] = {
        QLatin1StringView("META"),  QLatin1StringView("LINK"),   QLatin1StringView("BASE"),
        QLatin1StringView("FRAME"), QLatin1StringView("IMG"),    QLatin1StringView("BR"),
        QLatin1StringView("WBR"),   QLatin1StringView("EMBED"),  QLatin1StringView("HR"),
        QLatin1StringView("INPUT"), QLatin1StringView("KEYGEN"), QLatin1StringView("COL"),
        QLatin1StringView("COMMAND"), QLatin1StringView("DEVICE"),
    };
    for (QLatin1StringView candidate : voidElements) {
        if (name == candidate)
            return true;
    }
    return false;
}

// Walks the source keeping line and column (1-based; a line feed starts a new line). Lines are
// counted lazily up to each position asked for, which only ever moves forward.
class TSourceContext
{
public:
    struct Position
    {
        int line;
        int column;
    };

    explicit TSourceContext(QStringView text) : m_text(text) {}

    Position positionOf(qsizetype at)
    {
        for (const QChar* c = m_text.data() + m_counted, *end = m_text.data() + at; c < end; ++c) {
            if (*c == u'\n') {
                ++m_line;
                m_lineStart = c - m_text.data() + 1;
            }
        }
        m_counted = std::max(m_counted, at);
        return {m_line, int(at - m_lineStart + 1)};
    }

private:
    QStringView m_text;
    int m_line = 1;
    qsizetype m_lineStart = 0;
    qsizetype m_counted = 0;
};

// Reads the tokens of a page and builds the tree as it goes. Every token is attached as soon
// as it is read; since attaching only looks at tokens already read, this gives the same tree
// as building it after the whole page is tokenised.
class HtmlTreeBuilder
{
public:
    HtmlTreeBuilder(THtmlDocument& document, bool quoteBlindInputTags)
        : m_document(document), m_text(document.source), m_quoteBlindInputTags(quoteBlindInputTags),
          m_context(m_text)
    {
        HtmlNameTable& names = document.tagNames;
        m_documentName = names.intern(u"#DOCUMENT");
        m_textName = names.intern(u"#TEXT");
        m_scriptName = names.intern(u"#SCRIPT");
        m_styleName = names.intern(u"#STYLE");
        m_commentName = names.intern(u"#COMMENT");
        m_doctypeName = names.intern(u"#DOCTYPE");
        m_scriptTag = names.intern(u"SCRIPT");
        m_styleTag = names.intern(u"STYLE");
    }

    void build()
    {
        THtmlElement& root = newNode(HtmlNodeKind::Document, m_documentName, 0, 0);
        m_open.push_back(&root);
        while (m_pos < m_text.size()) {
            if (m_text[m_pos] == u'<')
                readMarkup();
            else
                readText();
        }
        finish();
        linkChildren();
    }

private:
    void readText()
    {
        qsizetype end = m_text.indexOf(QChar(u'<'), m_pos);
        if (end < 0)
            end = m_text.size();
        addContentNode(HtmlNodeKind::Text, m_textName, m_pos, end);
        m_pos = end;
    }

    void readMarkup()
    {
        const qsizetype start = m_pos;
        const QChar next = start + 1 < m_text.size() ? m_text[start + 1] : QChar();
        if (next != u'!' && next != u'?') {
            readTag(start);
            return;
        }
        const QStringView rest = m_text.mid(start);
        HtmlNodeKind kind = HtmlNodeKind::Comment;
        qsizetype stop;
        if (rest.startsWith(u"<!--")) {
            stop = findTerminator(u"-->", start + 2);
        } else if (rest.startsWith(u"<![")) {
            stop = findTerminator(u"]>", start + 2);
        } else if (rest.startsWith(u"<!")) {
            if (startsWithNoCase(m_text, start + 2, QLatin1StringView("DOCTYPE")))
                kind = HtmlNodeKind::Doctype;
            const qsizetype close = findTagEnd(start + 2, true);
            stop = close < 0 ? -1 : close + 1;
        } else {
            stop = findTerminator(u"?>", start + 1);
        }
        if (stop < 0)
            failUnterminated(start);
        if (kind == HtmlNodeKind::Doctype) {
            const qsizetype declaration = start + 9;   // after "<!DOCTYPE"
            const QStringView text = m_text.mid(declaration, std::max<qsizetype>(0, stop - 1 - declaration));
            THtmlElement& node = newNode(kind, m_doctypeName, start, stop);
            node.FContent = decodeHtmlEntities(text.trimmed());
            node.m_hasContent = true;
            attachClosed(node);
        } else {
            attachClosed(newNode(kind, m_commentName, start, stop));
        }
        m_pos = stop;
    }

    void readTag(qsizetype start)
    {
        qsizetype nameStart = start + 1;
        if (nameStart < m_text.size() && m_text[nameStart] == u'/')
            ++nameStart;
        qsizetype nameEnd = nameStart;
        while (nameEnd < m_text.size() && !isHtmlSpace(m_text[nameEnd]) && m_text[nameEnd] != u'/'
               && m_text[nameEnd] != u'>')
            ++nameEnd;
        const QStringView name = m_text.mid(nameStart, nameEnd - nameStart);
        // Script tags, and input tags of some catalogue pages, carry unbalanced quotes.
        const bool quoteAware = !(isNamed(name, QLatin1StringView("SCRIPT"))
                                  || (m_quoteBlindInputTags && isNamed(name, QLatin1StringView("INPUT"))));
        const qsizetype close = findTagEnd(start + 1, quoteAware);
        if (close < 0)
            failUnterminated(start);
        m_pos = close + 1;
        THtmlElement& element = addElement(start, close + 1);
        if (!element.FClosed && !element.FIsCloseTag) {
            if (element.FTagName == m_scriptTag)
                readRawContent(HtmlNodeKind::Script);
            else if (element.FTagName == m_styleTag)
                readRawContent(HtmlNodeKind::Style);
        }
    }

    THtmlElement& addElement(qsizetype start, qsizetype stop)
    {
        qsizetype from = start + 1;
        qsizetype to = stop - 1;
        const bool isCloseTag = from < to && m_text[from] == u'/';
        if (isCloseTag)
            ++from;
        const bool closed = from < to && m_text[to - 1] == u'/';
        if (closed)
            --to;
        qsizetype nameEnd = from;
        while (nameEnd < to && !isHtmlSpace(m_text[nameEnd]) && m_text[nameEnd] != u'/' && m_text[nameEnd] != u'>')
            ++nameEnd;
        const HtmlName* name = m_document.tagNames.intern(m_text.mid(from, nameEnd - from));
        THtmlElement& element = newNode(HtmlNodeKind::Element, name, start, stop);
        element.FIsCloseTag = isCloseTag;
        element.FClosed = closed;
        readAttributes(element, nameEnd, to);
        attach(element);
        return element;
    }

    void readAttributes(THtmlElement& element, qsizetype pos, qsizetype to)
    {
        element.m_firstAttribute = int(m_document.attributes.size());
        for (;;) {
            while (pos < to && isHtmlSpace(m_text[pos]))
                ++pos;
            if (pos >= to)
                break;
            const qsizetype nameStart = pos;
            while (pos < to && !isHtmlSpace(m_text[pos]) && m_text[pos] != u'=')
                ++pos;
            const QStringView name = m_text.mid(nameStart, pos - nameStart);
            qsizetype equals = pos;
            while (equals < to && isHtmlSpace(m_text[equals]))
                ++equals;
            qsizetype valueStart = pos;
            qsizetype valueEnd = pos;
            if (equals < to && m_text[equals] == u'=') {
                pos = equals + 1;
                while (pos < to && isHtmlSpace(m_text[pos]))
                    ++pos;
                if (pos < to && (m_text[pos] == u'"' || m_text[pos] == u'\'')) {
                    valueStart = pos + 1;
                    const qsizetype quote = m_text.mid(valueStart, to - valueStart).indexOf(m_text[pos]);
                    valueEnd = quote < 0 ? to : valueStart + quote;
                    pos = quote < 0 ? to : valueEnd + 1;
                } else {
                    valueStart = pos;
                    while (pos < to && !isHtmlSpace(m_text[pos]))
                        ++pos;
                    valueEnd = pos;
                }
            }
            setAttribute(element, name, valueStart, valueEnd);
        }
    }

    // A later duplicate replaces the earlier value and keeps its place.
    void setAttribute(THtmlElement& element, QStringView rawName, qsizetype valueStart, qsizetype valueEnd)
    {
        const HtmlName* name = m_document.attributeNames.intern(rawName);
        HtmlAttribute* attribute = findOwnAttribute(element, name);
        if (!attribute) {
            attribute = &m_document.attributes.emplace_back();
            attribute->name = name;
            if (m_indexedElement == &element)
                m_attributeIndex.emplace(name, element.m_attributeCount);
            ++element.m_attributeCount;
        }
        attribute->start = valueStart;
        attribute->length = valueEnd - valueStart;
        const QStringView value = m_text.mid(valueStart, valueEnd - valueStart);
        attribute->isDecoded = mayContainHtmlEntities(value);
        attribute->decoded = attribute->isDecoded ? decodeHtmlEntities(value) : QString();
    }

    // Linear for the usual handful of attributes; a tag with very many gets an index so that
    // a hostile page cannot make the parse quadratic.
    HtmlAttribute* findOwnAttribute(const THtmlElement& element, const HtmlName* name)
    {
        HtmlAttribute* first = m_document.attributes.data() + element.m_firstAttribute;
        constexpr int linearLimit = 16;
        if (element.m_attributeCount < linearLimit) {
            for (int i = 0; i < element.m_attributeCount; ++i) {
                if (first[i].name == name)
                    return first + i;
            }
            return nullptr;
        }
        if (m_indexedElement != &element) {
            m_indexedElement = &element;
            m_attributeIndex.clear();
            for (int i = 0; i < element.m_attributeCount; ++i)
                m_attributeIndex.emplace(first[i].name, i);
        }
        const auto found = m_attributeIndex.find(name);
        return found == m_attributeIndex.end() ? nullptr : first + found->second;
    }

    // The body of a script or style element, read as one token up to its end tag.
    void readRawContent(HtmlNodeKind kind)
    {
        const qsizetype start = m_pos;
        qsizetype stop;
        if (m_text.mid(start).startsWith(u"<!--")) {
            stop = findTerminator(u"-->", start + 2);
            if (stop < 0) {
                const QString format = kind == HtmlNodeKind::Script ? QStringLiteral("未完结的Script行:%1;列:%2;")
                                                                    : QStringLiteral("未完结的Style行:%1;列:%2;");
                const TSourceContext::Position position = m_context.positionOf(start);
                throw HtmlParseError(format.arg(position.line).arg(position.column));
            }
        } else if (kind == HtmlNodeKind::Script) {
            stop = findScriptEnd(start);
        } else {
            stop = findEndTag(start, QLatin1StringView("STYLE"));
        }
        if (stop > start)
            addContentNode(kind, kind == HtmlNodeKind::Script ? m_scriptName : m_styleName, start, stop);
        m_pos = stop;
    }

    // Up to "</script", stepping over quoted strings and comments that might contain it.
    qsizetype findScriptEnd(qsizetype pos) const
    {
        const qsizetype size = m_text.size();
        while (pos < size) {
            const QChar c = m_text[pos];
            if (c == u'<') {
                if (pos + 1 < size && m_text[pos + 1] == u'/'
                    && startsWithNoCase(m_text, pos + 2, QLatin1StringView("SCRIPT")))
                    return pos;
                ++pos;
            } else if (c == u'"' || c == u'\'') {
                pos = skipQuotedString(pos);
            } else if (c == u'/' && pos + 1 < size && m_text[pos + 1] == u'*') {
                const qsizetype end = m_text.indexOf(u"*/", pos + 2);
                pos = end < 0 ? size : end + 2;
            } else if (c == u'/' && pos + 1 < size && m_text[pos + 1] == u'/') {
                const qsizetype end = m_text.indexOf(QChar(u'\n'), pos + 2);
                pos = end < 0 ? size : end;
            } else {
                ++pos;
            }
        }
        return size;
    }

    qsizetype skipQuotedString(qsizetype quote) const
    {
        const QChar delimiter = m_text[quote];
        for (qsizetype pos = quote + 1; pos < m_text.size(); ++pos) {
            if (m_text[pos] == u'\\')
                ++pos;
            else if (m_text[pos] == delimiter)
                return pos + 1;
        }
        return m_text.size();
    }

    qsizetype findEndTag(qsizetype pos, QLatin1StringView name) const
    {
        for (qsizetype open; (open = m_text.indexOf(QChar(u'<'), pos)) >= 0; pos = open + 1) {
            if (open + 1 < m_text.size() && m_text[open + 1] == u'/' && startsWithNoCase(m_text, open + 2, name))
                return open;
        }
        return m_text.size();
    }

    // The position after the first occurrence of terminator at or after from, or -1.
    qsizetype findTerminator(QStringView terminator, qsizetype from) const
    {
        const qsizetype found = m_text.indexOf(terminator, from);
        return found < 0 ? -1 : found + terminator.size();
    }

    // The ">" that ends a tag, or -1; a quote-aware scan passes over ">" inside double quotes.
    qsizetype findTagEnd(qsizetype from, bool quoteAware) const
    {
        if (!quoteAware)
            return m_text.indexOf(QChar(u'>'), from);
        bool inQuotes = false;
        for (qsizetype pos = from; pos < m_text.size(); ++pos) {
            const QChar c = m_text[pos];
            if (c == u'"')
                inQuotes = !inQuotes;
            else if (c == u'>' && !inQuotes)
                return pos;
        }
        return -1;
    }

    [[noreturn]] void failUnterminated(qsizetype start)
    {
        constexpr qsizetype shownCharacters = 100;
        throw HtmlParseError(QStringLiteral("LineNum:%1无法找到Tag结束点:%2")
                                 .arg(m_context.positionOf(start).line)
                                 .arg(m_text.mid(start).left(shownCharacters)));
    }

    THtmlElement& newNode(HtmlNodeKind kind, const HtmlName* name, qsizetype start, qsizetype stop)
    {
        THtmlElement& node = m_document.newNode(kind, name, start, stop - start);
        node.m_index = int(m_document.nodes.size());
        const TSourceContext::Position position = m_context.positionOf(start);
        node.FSourceLine = position.line;
        node.FSourceCol = position.column;
        m_document.nodes.push_back(&node);
        return node;
    }

    void addContentNode(HtmlNodeKind kind, const HtmlName* name, qsizetype start, qsizetype stop)
    {
        THtmlElement& node = newNode(kind, name, start, stop);
        const QStringView text = m_text.mid(start, stop - start);
        if (mayContainHtmlEntities(text)) {
            node.FContent = decodeHtmlEntities(text);
            node.m_hasContent = true;
        }
        attachClosed(node);
    }

    void attachClosed(THtmlElement& node)
    {
        node.FClosed = true;
        attach(node);
    }

    // A node's parent is the newest node still open; void elements passed on the way close.
    void attach(THtmlElement& node)
    {
        if (node.FIsCloseTag) {
            closeByEndTag(node);
            return;
        }
        while (m_open.size() > 1 && m_open.back()->FTagName->isVoid) {
            close(*m_open.back(), node.m_index);
            m_open.pop_back();
        }
        THtmlElement* parent = m_open.back();
        node.FOwner = parent;
        ++parent->m_childCount;
        if (node.FClosed) {
            node.m_end = node.m_index + 1;
        } else {
            ++node.FTagName->openCount;
            m_open.push_back(&node);
        }
    }

    // Closes the nearest open element of the same name and everything opened after it; an
    // end tag with nothing to close is dropped.
    void closeByEndTag(THtmlElement& endTag)
    {
        endTag.m_end = endTag.m_index + 1;
        if (endTag.FTagName->openCount == 0)
            return;
        size_t target = m_open.size() - 1;
        while (m_open[target]->FTagName != endTag.FTagName)
            --target;
        for (size_t i = target; i < m_open.size(); ++i)
            close(*m_open[i], endTag.m_index);
        m_open[target]->FCloseTag = &endTag;
        endTag.m_closesElement = true;
        m_open.resize(target);
    }

    void close(THtmlElement& element, int end)
    {
        element.FClosed = true;
        element.m_end = end;
        --element.FTagName->openCount;
    }

    void finish()
    {
        const int end = int(m_document.nodes.size());
        while (m_open.size() > 1) {
            close(*m_open.back(), end);
            m_open.pop_back();
        }
        THtmlElement& root = *m_open.front();
        root.FClosed = true;
        root.m_end = end;
    }

    // Lays the children of every node out in one array, each node's run in document order.
    void linkChildren()
    {
        int slotCount = 0;
        for (THtmlElement* node : m_document.nodes) {
            node->m_firstChild = slotCount;
            slotCount += node->m_childCount;
            node->m_childCount = 0;
        }
        m_document.childSlots.resize(size_t(slotCount));
        for (THtmlElement* node : m_document.nodes) {
            THtmlElement* parent = node->FOwner;
            if (!parent)
                continue;
            node->m_childIndex = parent->m_childCount++;
            m_document.childSlots[size_t(parent->m_firstChild + node->m_childIndex)] = node;
        }
    }

    THtmlDocument& m_document;
    QStringView m_text;
    bool m_quoteBlindInputTags;
    TSourceContext m_context;
    qsizetype m_pos = 0;
    std::vector<THtmlElement*> m_open;   // the open nodes, the document first
    const THtmlElement* m_indexedElement = nullptr;
    std::unordered_map<const HtmlName*, int> m_attributeIndex;
    const HtmlName* m_documentName;
    const HtmlName* m_textName;
    const HtmlName* m_scriptName;
    const HtmlName* m_styleName;
    const HtmlName* m_commentName;
    const HtmlName* m_doctypeName;
    const HtmlName* m_scriptTag;
    const HtmlName* m_styleTag;
};

} // namespace

// ---------------------------------------------------------------------------------------------

void HtmlNameTable::fold(QStringView name, QVarLengthArray<char16_t, 64>& folded) const
{
    folded.resize(name.size());
    for (qsizetype i = 0; i < name.size(); ++i)
        folded[i] = fold(name[i].unicode());
}

bool HtmlNameTable::isFoldedName(const HtmlName& entry, QStringView name) const
{
    if (entry.text.size() != name.size())
        return false;
    const QChar* stored = entry.text.constData();
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (stored[i].unicode() != fold(name[i].unicode()))
            return false;
    }
    return true;
}

HtmlName* HtmlNameTable::lookup(std::u16string_view folded) const
{
    const auto found = m_index.find(folded);
    return found == m_index.end() ? nullptr : found->second;
}

HtmlName* HtmlNameTable::intern(QStringView name)
{
    size_t hash = size_t(name.size());
    for (QChar c : name)
        hash = hash * 31 + fold(c.unicode());
    HtmlName*& recent = m_recent[hash % m_recent.size()];
    if (recent && isFoldedName(*recent, name))
        return recent;
    QVarLengthArray<char16_t, 64> folded;
    fold(name, folded);
    const std::u16string_view key(folded.data(), size_t(folded.size()));
    if (HtmlName* found = lookup(key))
        return recent = found;
    HtmlName& entry = m_names.emplace_back();
    entry.text = QString(reinterpret_cast<const QChar*>(folded.data()), folded.size());
    entry.isVoid = m_fold == Fold::Upper && isVoidElementName(entry.text);
    const std::u16string_view stored(reinterpret_cast<const char16_t*>(entry.text.constData()),
                                     size_t(entry.text.size()));
    m_index.emplace(stored, &entry);
    return recent = &entry;
}

const HtmlName* HtmlNameTable::find(QStringView name) const
{
    QVarLengthArray<char16_t, 64> folded;
    fold(name, folded);
    return lookup(std::u16string_view(folded.data(), size_t(folded.size())));
}

THtmlElement& THtmlDocument::newNode(HtmlNodeKind kind, const HtmlName* name, qsizetype start, qsizetype length)
{
    constexpr size_t blockSize = 4096;
    if (m_blocks.empty() || m_blocks.back().size() == blockSize)
        m_blocks.emplace_back().reserve(blockSize);
    return m_blocks.back().emplace_back(this, kind, name, start, length);
}

IHtmlElementPtr THtmlDocument::share(const THtmlElement* node) const
{
    return IHtmlElementPtr(shared_from_this(), const_cast<THtmlElement*>(node));
}

// ---------------------------------------------------------------------------------------------

THtmlElement::THtmlElement(THtmlDocument* document, HtmlNodeKind kind, const HtmlName* name, qsizetype start,
                           qsizetype length)
    : m_document(document), FTagName(name), m_start(start), m_length(length), m_kind(kind)
{
}

QStringView THtmlElement::original() const
{
    return QStringView(m_document->source).mid(m_start, m_length);
}

QStringView THtmlElement::content() const
{
    if (m_hasContent)
        return FContent;
    switch (m_kind) {
    case HtmlNodeKind::Text:
    case HtmlNodeKind::Script:
    case HtmlNodeKind::Style:
        return original();
    default:
        return {};
    }
}

const HtmlAttribute* THtmlElement::attributesBegin() const
{
    return m_document->attributes.data() + m_firstAttribute;
}

const HtmlAttribute* THtmlElement::attributesEnd() const
{
    return attributesBegin() + m_attributeCount;
}

const HtmlAttribute* THtmlElement::findAttribute(const HtmlName* name) const
{
    if (!name)
        return nullptr;
    for (const HtmlAttribute* attribute = attributesBegin(); attribute != attributesEnd(); ++attribute) {
        if (attribute->name == name)
            return attribute;
    }
    return nullptr;
}

QStringView THtmlElement::attributeValue(const HtmlAttribute& attribute) const
{
    if (attribute.isDecoded)
        return attribute.decoded;
    return QStringView(m_document->source).mid(attribute.start, attribute.length);
}

const THtmlElement* THtmlElement::child(int index) const
{
    if (index < 0 || index >= m_childCount)
        return nullptr;
    return m_document->childSlots[size_t(m_firstChild + index)];
}

QString THtmlElement::GetTagName() const
{
    return FTagName->text;
}

QString THtmlElement::GetContent() const
{
    return m_hasContent ? FContent : content().toString();
}

QString THtmlElement::GetOrignal() const
{
    return original().toString();
}

int THtmlElement::GetChildrenCount() const
{
    return m_childCount;
}

IHtmlElementPtr THtmlElement::GetChildren(int index) const
{
    const THtmlElement* node = child(index);
    return node ? m_document->share(node) : nullptr;
}

IHtmlElementPtr THtmlElement::GetCloseTag() const
{
    return FCloseTag ? m_document->share(FCloseTag) : nullptr;
}

// The tokens of the subtree in order, with the end tags that closed elements in it (end
// tags that closed nothing were dropped from the tree and are left out).
QString THtmlElement::GetInnerHtml() const
{
    const std::vector<THtmlElement*>& nodes = m_document->nodes;
    const auto included = [](const THtmlElement* node) { return !node->FIsCloseTag || node->m_closesElement; };
    qsizetype length = 0;
    for (int i = m_index + 1; i < m_end; ++i) {
        if (included(nodes[size_t(i)]))
            length += nodes[size_t(i)]->m_length;
    }
    QString html;
    html.reserve(length);
    for (int i = m_index + 1; i < m_end; ++i) {
        if (included(nodes[size_t(i)]))
            html.append(nodes[size_t(i)]->original());
    }
    return html;
}

QString THtmlElement::GetOuterHtml() const
{
    QString html = original().toString();
    html.append(GetInnerHtml());
    if (FCloseTag)
        html.append(FCloseTag->original());
    return html;
}

QString THtmlElement::GetInnerText() const
{
    const std::vector<THtmlElement*>& nodes = m_document->nodes;
    qsizetype length = 0;
    for (int i = m_index; i < m_end; ++i) {
        if (nodes[size_t(i)]->m_kind == HtmlNodeKind::Text)
            length += nodes[size_t(i)]->content().size();
    }
    QString text;
    text.reserve(length);
    for (int i = m_index; i < m_end; ++i) {
        if (nodes[size_t(i)]->m_kind == HtmlNodeKind::Text)
            text.append(nodes[size_t(i)]->content());
    }
    return text;
}

QString THtmlElement::GetAttribute(const QString& name) const
{
    const HtmlAttribute* attribute = findAttribute(m_document->attributeNames.find(name));
    return attribute ? attributeValue(*attribute).toString() : QString();
}

int THtmlElement::GetSourceLine() const
{
    return FSourceLine;
}

int THtmlElement::GetSourceCol() const
{
    return FSourceCol;
}

bool THtmlElement::HasAttribute(const QString& name) const
{
    return findAttribute(m_document->attributeNames.find(name)) != nullptr;
}

IHtmlElementList THtmlElement::SimpleCSSSelector(const QString& selector) const
{
    return IHtmlElementList(m_document->shared_from_this(), selectHtmlElements(*this, selector));
}

QString THtmlElement::GetAttributeName(int index) const
{
    if (index < 0 || index >= m_attributeCount)
        return {};
    return attributesBegin()[index].name->text;
}

// ---------------------------------------------------------------------------------------------

IHtmlElementPtr IHtmlElementList::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return IHtmlElementPtr(m_owner, m_items[size_t(index)]);
}

int IHtmlElementList::IndexOf(const IHtmlElement* node) const
{
    const auto found = std::find(m_items.begin(), m_items.end(), node);
    return found == m_items.end() ? -1 : int(found - m_items.begin());
}

IHtmlElementPtr ParseHtml(const QString& text)
{
    auto document = std::make_shared<THtmlDocument>();
    document->source = text;
    HtmlTreeBuilder(*document, QuoteBlindInputTags).build();
    return document->share(document->nodes.front());
}
