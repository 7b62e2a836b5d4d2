#pragma once

// A forgiving HTML parser for catalogue result pages, and a small CSS selector engine.
//
// ParseHtml() returns the "#DOCUMENT" root of a tree that never gives up on broken markup.
// Every node handed out shares ownership of the whole tree: the tree lives as long as any
// node, list or child of it is held, so nothing can dangle.

#include "foundation/Errors.h"

#include <QString>

#include <memory>
#include <vector>

class IHtmlElement;
using IHtmlElementPtr = std::shared_ptr<IHtmlElement>;

// The nodes a selector query found, in the order found.
class IHtmlElementList
{
public:
    IHtmlElementList() = default;
    IHtmlElementList(std::shared_ptr<const void> owner, std::vector<IHtmlElement*> items)
        : m_owner(std::move(owner)), m_items(std::move(items))
    {
    }

    int Count() const { return int(m_items.size()); }
    IHtmlElementPtr Items(int index) const;
    IHtmlElementPtr operator[](int index) const { return Items(index); }
    int IndexOf(const IHtmlElement* node) const;
    int IndexOf(const IHtmlElementPtr& node) const { return IndexOf(node.get()); }

private:
    std::shared_ptr<const void> m_owner;
    std::vector<IHtmlElement*> m_items;
};

// One node of the tree: an element (tag name in upper case) or one of "#DOCUMENT", "#TEXT",
// "#SCRIPT", "#STYLE", "#COMMENT", "#DOCTYPE".
class IHtmlElement
{
public:
    virtual ~IHtmlElement() = default;

    virtual QString GetTagName() const = 0;
    // Decoded text of text, script and style nodes; the declaration of a doctype.
    virtual QString GetContent() const = 0;
    // The node's source text exactly as it stood.
    virtual QString GetOrignal() const = 0;
    virtual int GetChildrenCount() const = 0;
    // Null when index is out of range.
    virtual IHtmlElementPtr GetChildren(int index) const = 0;
    // The end tag that closed this element, or null.
    virtual IHtmlElementPtr GetCloseTag() const = 0;
    virtual QString GetInnerHtml() const = 0;
    virtual QString GetOuterHtml() const = 0;
    // The text of every "#TEXT" node of the subtree, in document order.
    virtual QString GetInnerText() const = 0;
    virtual QString GetAttribute(const QString& name) const = 0;
    // 1-based position where the node's token began.
    virtual int GetSourceLine() const = 0;
    virtual int GetSourceCol() const = 0;
    virtual bool HasAttribute(const QString& name) const = 0;
    // Matching elements of this node's subtree, the node itself included. Throws
    // HtmlParseError on a selector it cannot read.
    virtual IHtmlElementList SimpleCSSSelector(const QString& selector) const = 0;
    // Empty beyond the last attribute.
    virtual QString GetAttributeName(int index) const = 0;
};

// Markup or a selector that cannot be read; the message is for the user.
class HtmlParseError : public AppError
{
public:
    using AppError::AppError;
};

// While true, an INPUT tag ends at its first ">" even inside double quotes. Some catalogue
// pages need it off; set it back to true after such a parse.
extern bool QuoteBlindInputTags;

// Parses a whole page. Throws HtmlParseError when a tag, comment or declaration never ends.
IHtmlElementPtr ParseHtml(const QString& text);

// Replaces character references (named, &#decimal; and &#$hex;) by their characters.
QString DecodeHtmlEntities(const QString& text);
