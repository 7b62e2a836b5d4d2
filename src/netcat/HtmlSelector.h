#pragma once

// The selectors IHtmlElement::SimpleCSSSelector reads: alternatives separated by ",", each a
// chain of items joined by " " (descendant), ">" (child), "+" (next sibling) or "~" (any
// later sibling); an item is a tag name or "*" with #id, .class and [attribute] parts.

#include <QList>
#include <QString>

enum TSelectorItemRelation { sirNONE, sirDescendant, sirChildren, sirYoungerBrother, sirAllYoungerBrother };

enum TAttrOperator {
    aoExist,        // [a]
    aoEqual,        // [a=v], #v for "id"
    aoNotEqual,     // [a!=v]
    aoIncludeWord,  // [a~=v], .v for "class"
    aoBeginWord,    // [a|=v]
    aoBegin,        // [a^=v]
    aoEnd,          // [a$=v]
    aoContain,      // [a*=v]
};

struct TAttrSelectorItem
{
    QString Key;   // lower case
    TAttrOperator AttrOperator = aoExist;
    QString Value;
};

struct TCSSSelectorItem
{
    TSelectorItemRelation Relation = sirNONE;
    QString szTag;   // upper case; empty or "*" for any
    QList<TAttrSelectorItem> Attributes;
};

using TCSSSelectorItems = QList<TCSSSelectorItem>;
using TCSSSelectorItemGroup = QList<TCSSSelectorItems>;

// Throws HtmlParseError on an attribute part it cannot read.
TCSSSelectorItemGroup ParseCSSSelector(const QString& selector);
