#pragma once

// The parsed tree behind IHtmlElement, shared by the parser and the selector engine.
//
// Every token of the page becomes one THtmlElement kept in document order in its
// THtmlDocument, end tags included. Because a node only ever attaches to the newest open
// node, the subtree of a node is the contiguous run of tokens [m_index, m_end): walks over
// a subtree are plain loops, never recursion, so no nesting depth can exhaust the stack.

#include "netcat/HtmlParser.h"

#include <QVarLengthArray>

#include <array>
#include <deque>
#include <string_view>
#include <unordered_map>

enum class HtmlNodeKind : quint8 { Document, Element, Text, Script, Style, Comment, Doctype };

// A tag or attribute name, stored once per document. openCount is the parser's count of
// open elements of that name, so that a stray end tag is dropped without a search.
struct HtmlName
{
    QString text;
    bool isVoid = false;
    mutable int openCount = 0;
};

class HtmlNameTable
{
public:
    enum class Fold { Upper, Lower };
    explicit HtmlNameTable(Fold fold) : m_fold(fold) {}

    HtmlName* intern(QStringView name);
    const HtmlName* find(QStringView name) const;

private:
    char16_t fold(char16_t c) const
    {
        if (m_fold == Fold::Upper)
            return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
        return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
    }
    void fold(QStringView name, QVarLengthArray<char16_t, 64>& folded) const;
    bool isFoldedName(const HtmlName& entry, QStringView name) const;
    HtmlName* lookup(std::u16string_view folded) const;

    Fold m_fold;
    std::deque<HtmlName> m_names;
    std::unordered_map<std::u16string_view, HtmlName*> m_index;
    std::array<HtmlName*, 256> m_recent {};   // a page uses few names: most are found here
};

struct HtmlAttribute
{
    const HtmlName* name = nullptr;
    qsizetype start = 0;   // the raw value in the source, used unless decoded
    qsizetype length = 0;
    QString decoded;
    bool isDecoded = false;
};

class THtmlDocument;

class THtmlElement final : public IHtmlElement
{
public:
    THtmlElement(THtmlDocument* document, HtmlNodeKind kind, const HtmlName* name, qsizetype start,
                 qsizetype length);

    QString GetTagName() const override;
    QString GetContent() const override;
    QString GetOrignal() const override;
    int GetChildrenCount() const override;
    IHtmlElementPtr GetChildren(int index) const override;
    IHtmlElementPtr GetCloseTag() const override;
    QString GetInnerHtml() const override;
    QString GetOuterHtml() const override;
    QString GetInnerText() const override;
    QString GetAttribute(const QString& name) const override;
    int GetSourceLine() const override;
    int GetSourceCol() const override;
    bool HasAttribute(const QString& name) const override;
    IHtmlElementList SimpleCSSSelector(const QString& selector) const override;
    QString GetAttributeName(int index) const override;

    // An element of the tree (not an end tag, not text or another "#" node).
    bool isElement() const { return m_kind == HtmlNodeKind::Element && !FIsCloseTag; }
    QStringView original() const;
    QStringView content() const;
    const HtmlAttribute* findAttribute(const HtmlName* name) const;
    QStringView attributeValue(const HtmlAttribute& attribute) const;
    const HtmlAttribute* attributesBegin() const;
    const HtmlAttribute* attributesEnd() const;
    const THtmlElement* child(int index) const;

    THtmlDocument* m_document;
    const HtmlName* FTagName;
    QString FContent;              // decoded content when it differs from the source text
    qsizetype m_start;             // the token in the source
    qsizetype m_length;
    THtmlElement* FOwner = nullptr;
    THtmlElement* FCloseTag = nullptr;
    int FSourceLine = 0;
    int FSourceCol = 0;
    int m_index = 0;               // position in document order
    int m_end = 0;                 // one past the last token of the subtree
    int m_firstChild = 0;          // into THtmlDocument::childSlots
    int m_childCount = 0;
    int m_childIndex = -1;         // position among the parent's children
    int m_firstAttribute = 0;      // into THtmlDocument::attributes
    int m_attributeCount = 0;
    HtmlNodeKind m_kind;
    bool FClosed = false;
    bool FIsCloseTag = false;
    bool m_hasContent = false;     // FContent holds the content (else: the source text, or none)
    bool m_closesElement = false;  // an end tag that became some element's FCloseTag
};

class THtmlDocument : public std::enable_shared_from_this<THtmlDocument>
{
public:
    THtmlDocument() : tagNames(HtmlNameTable::Fold::Upper), attributeNames(HtmlNameTable::Fold::Lower) {}

    IHtmlElementPtr share(const THtmlElement* node) const;

    THtmlElement& newNode(HtmlNodeKind kind, const HtmlName* name, qsizetype start, qsizetype length);

    QString source;
    std::vector<THtmlElement*> nodes;        // every token in document order
    std::vector<THtmlElement*> childSlots;   // the children of each node, one run per node
    std::vector<HtmlAttribute> attributes;   // the attributes of each element, one run per element
    HtmlNameTable tagNames;
    HtmlNameTable attributeNames;

private:
    // Nodes live in blocks that never grow, so that they never move.
    std::vector<std::vector<THtmlElement>> m_blocks;
};

// Character reference decoding shared by the parser (HtmlEntities.cpp).
bool mayContainHtmlEntities(QStringView text);
QString decodeHtmlEntities(QStringView text);

// Selector queries (HtmlSelector.cpp); throws HtmlParseError on an unreadable selector.
std::vector<IHtmlElement*> selectHtmlElements(const THtmlElement& root, const QString& selector);
