// The stylesheet language: a Spirit Qi grammar with member actions, its keyword tables, its error
// handlers with their resynchronisation, and its message table.
//
// Index
//   [SECTION] Keyword tables
//   [SECTION] Grammar state and actions
//   [SECTION] Error recovery and messages
//   [SECTION] Rules: whitespace, comments, punctuation
//   [SECTION] Rules: identifiers and strings
//   [SECTION] Rules: selectors
//   [SECTION] Rules: values
//   [SECTION] Rules: statements
//   [SECTION] Names and error handlers
//   [SECTION] Entry point
//
// The grammar is read as a parsing expression grammar: a matched alternative or repetition is never
// reconsidered. After an expectation point (a > b) a failure raises an error, which the nearest
// rule with a handler catches: AttributeSelector, Selector, Declaration, Style and Stylesheet.
// Every handler reports "PARSER ERROR at line <n>: Expecting <item>", scans forward to its
// resynchronisation character (outside comments, counting line breaks: CR LF, CR or LF) and
// accepts or retries; so every text is read to its end and errors show only as messages.
//
// Recovery keeps good input:
//   - a broken declaration is dropped (it never becomes the int 0 that shadows other rules);
//   - a selector error stops at the next '{' or ',' without consuming it, so the rule after a broken
//     selector is kept, and the simple selector read only in part is reset;
//   - a rule with an error anywhere in its selectors (an attribute test included) is read to its
//     end and dropped: what was read of the selector would name other widgets (the ancestor of a
//     mistyped compound selector, every widget of a class whose attribute test broke);
//   - a lone CR is a line break in the error scan as in the grammar.
#include "Parser/StyleGrammar.h"

#include "PXT/StyleParser2.h"

#include <boost/phoenix/bind/bind_member_function.hpp>
#include <boost/phoenix/core.hpp>
#include <boost/phoenix/operator.hpp>
#include <boost/spirit/include/qi.hpp>

#include <cstring>
#include <string>
#include <vector>

namespace QV::PXT {

namespace qi = boost::spirit::qi;
namespace phx = boost::phoenix;

using Iterator = const char*;
using tPropertyValue = StyleParser2::tPropertyValue;

// [SECTION] Keyword tables ================================================================

struct tSelectorRelations : qi::symbols<char, bool> {
    tSelectorRelations() { add("::", true); }
};

struct tAttributeOPs : qi::symbols<char, int> {
    tAttributeOPs()
    {
        add("=", AttibuteSelector::eRuleEquals)("^=", AttibuteSelector::eRulePrefix)("$=",
                                                                                     AttibuteSelector::eRuleSuffix)(
            "*=", AttibuteSelector::eRuleSubstring)("!=", AttibuteSelector::eRuleNotEquals);
    }
};

struct tUnits : qi::symbols<char, int> {
    tUnits() { add("px", Property::eUnitPx)("%", Property::eUnitPercent); }
};

namespace {

// The texts of the expected items that have one; other keys are shown as they are.
const char* messageFor(const std::string& key)
{
    static const std::pair<const char*, const char*> table[] = {
        {"eoi", "statement, whitespace or eoi"},
        {"{", "selector relation operator or {"},
        {"}", "} or ;"},
        {"symbols", "keyword"},
        {"Attribute", "attribute declaration"},
        {"QuotedString", "string"},
    };
    for (const auto& [from, to] : table)
        if (key == from)
            return to;
    return nullptr;
}

// The key of an expected item: a literal's own text, else the rule's name or the element's kind.
std::string keyOf(const boost::spirit::info& what)
{
    if (const auto* text = boost::get<boost::spirit::utf8_string>(&what.value))
        if (what.tag.find("literal") != std::string::npos)
            return *text;
    return what.tag;
}

}  // namespace

class StyleGrammar;

// One error handler: its resynchronisation and what follows it. Spirit calls it with the rule's
// start position (which it may move), the end, the error position and the expected item.
struct tErrorHandler {
    enum eSkipTo {
        eSkipToChar,
        eSkipToLineBreak,
        eSkipToSelectorEnd
    };

    StyleGrammar* grammar;
    eSkipTo skipTo;
    char character;
    bool consume;
    void (StyleGrammar::*afterwards)();

    template <class Args, class Context>
    void operator()(Args& args, Context&, qi::error_handler_result&) const;
};

// [SECTION] Grammar state and actions ======================================================

class StyleGrammar : public qi::grammar<Iterator> {
public:
    StyleGrammar(StyleParser2* parser, std::string fileName);

    // --- Actions ------------------------------------------------------------------------------
    // A line break: counted once, also when a branch that consumed it is given back and the break
    // is consumed again.
    void onNextLine(const boost::iterator_range<Iterator>& lineBreak)
    {
        if (lineBreak.begin() < m_counted)
            return;
        ++m_line;
        m_counted = lineBreak.end();
    }
    // A rule's line is the line of its first selector.
    void onRuleStart(const boost::iterator_range<Iterator>& here)
    {
        if (m_rule.selectors.empty() && m_finished.empty())
            m_rule.line = static_cast<int>(lineAt(here.begin()));
    }
    // The line of a position: 1 plus the line breaks before it (CR LF, CR and LF count one).
    unsigned lineAt(Iterator position);
    void setText(Iterator begin) { m_begin = m_counted = m_lineCachePosition = begin; }
    void setType(const std::string& type) { m_current.type = type; }
    void setTemplateName(const std::string& name) { m_current.templateName = name; }
    void setStyle(const std::string& style) { m_current.style = style; }
    void setElement(const std::string& element) { m_current.element = element; }
    void setAttributeName(const std::string& name) { m_attribute.name = name; }
    void setAttributeRule(int rule) { m_attribute.rule = static_cast<AttibuteSelector::eRule>(rule); }
    void setAttributeValue(const std::string& value) { m_attribute.value = value; }
    void onAttributeSelector() { m_current.attributes.push_back(m_attribute); }
    void setStateNegated(bool negated) { m_state.negated = negated; }
    void setStateName(const std::string& name) { m_state.name = name; }
    void onStateSelector() { m_current.states.push_back(m_state); }
    void setRelation(bool direct) { m_current.relation = direct; }
    void onSimpleSelector()
    {
        if (m_current.hasContent())
            m_finished.push_back(std::move(m_current));
        m_current.reset();
    }
    void onSelector();
    void transferSelector(const std::vector<StyleParser2::tSimpleSelector>& list, Selector& selector) const;

    void setPendingName(const std::string& name) { m_pendingName = name; }
    void setValue(Property::tValue value, int unit)
    {
        m_pending.value = std::move(value);
        m_pending.unit = static_cast<Property::eUnit>(unit);
    }
    void setInt(int value) { setValue(value, m_pending.unit); }
    void setFloat(float value) { setValue(value, m_pending.unit); }
    void setUnit(int unit) { m_pending.unit = static_cast<Property::eUnit>(unit); }
    void setBool(bool value) { setValue(value, Property::eUnitBool); }
    void setString(const std::string& text, int unit) { setValue(text, unit); }
    void setColor(unsigned colour) { setValue(colour, Property::eUnitColor); }
    void startColor() { m_components.clear(); }
    void addComponent(unsigned component) { m_components.push_back(component); }
    void onRGBAValue(bool hasAlpha);
    void setHexColor(unsigned hex) { setColor(0xFF000000u + (hex & 0xFFFFFFu)); }
    void onConstValue(const std::string& name) { m_pending = m_parser->getConstValue(name, m_line); }
    void onProperty();
    void onStyle();
    void setConstantName(const std::string& name) { m_constantName = name; }
    void onConstant();
    void onImport(const std::string& url) { m_parser->processImport(m_line, url); }

    // --- Error handling ------------------------------------------------------------------------
    void onStyleError(Iterator& first, Iterator last, Iterator where, const boost::spirit::info& what,
                      tErrorHandler::eSkipTo skipTo, char character, bool consume);
    void outputError(const boost::spirit::info& what);
    // What each handler leaves behind.
    void afterSelectorError()
    {
        m_current.reset();
        m_selectorBroken = true;
    }
    void afterDeclarationError() { m_declarationBroken = true; }
    void afterStyleError()
    {
        m_rule.reset();
        m_finished.clear();
        m_current.reset();
        m_selectorBroken = false;
        resetPending();
    }
    void afterAttributeError() { m_selectorBroken = true; }
    void afterStylesheetError() { afterStyleError(); }

private:
    void resetPending()
    {
        m_pendingName.clear();
        m_pending = tPropertyValue();
        m_declarationBroken = false;
    }

    StyleParser2* m_parser;
    qv::symbol m_fileSymbol;  // the source of every selector
    unsigned m_line = 1;
    Iterator m_begin = nullptr;
    Iterator m_counted = nullptr;  // the end of the last line break counted
    Iterator m_lineCachePosition = nullptr;
    unsigned m_lineCacheLine = 1;
    StyleParser2::tSimpleSelector m_current;
    std::vector<StyleParser2::tSimpleSelector> m_finished;
    StyleParser2::tRule m_rule;
    std::string m_pendingName;
    tPropertyValue m_pending;
    bool m_declarationBroken = false;
    bool m_selectorBroken = false;  // the rule being read is dropped at its end
    StyleParser2::tAttrSelector m_attribute;
    StyleParser2::tStateSelector m_state;
    std::vector<unsigned> m_components;
    std::string m_constantName;

    tSelectorRelations m_relations;
    tAttributeOPs m_attributeOps;
    tUnits m_units;

    qi::rule<Iterator> EOL, lineChar, LineComment, BlockComment, QuietBlockComment, WS, QuietWS, Comma, Semicolon,
        OpenParen, CloseParen;
    qi::rule<Iterator> IdentifierHead, IdentifierTail;
    qi::rule<Iterator, std::string()> Identifier, IdentifierTailText, ConstIdentifier, TemplateName, TypeName,
        QuotedString, URL;
    qi::rule<Iterator> TypeSelector, StyleSelector, ElementSelector, Attribute, AttributeSelector, StateName,
        StateSelectorRule, SimpleSelector, ChildRelation, DescendantRelation, SelectorRelations, SelectorRule,
        Selectors;
    qi::rule<Iterator> Unit, IntegerNumber, Number, NumericProperty, BoolProperty, URLProperty, RGBAComponents,
        RGBComponents, RGBAColor, RGBColor, HexColor, ColorProperty, ConstantProperty, StringProperty, PropertyRule;
    qi::rule<Iterator> Declaration, Properties, Style, ConstantDefinition, Constant, Import, ATDeclaration, Statement,
        Stylesheet;
};

void StyleGrammar::onSelector()
{
    m_current.reset();
    if (m_finished.empty())
        return;
    m_rule.selectors.emplace_back(m_rule.line, m_fileSymbol);
    transferSelector(m_finished, m_rule.selectors.back());
    m_finished.clear();
}

void StyleGrammar::transferSelector(const std::vector<StyleParser2::tSimpleSelector>& list, Selector& selector) const
{
    for (std::size_t i = list.size(); i-- > 0;) {
        const StyleParser2::tSimpleSelector& simple = list[i];
        std::string className = simple.type == "*" ? std::string() : simple.type;
        if (!className.empty() && !simple.templateName.empty())
            className += "<" + simple.templateName + ">";
        AttibuteSelector attributes;
        for (const StyleParser2::tAttrSelector& attribute : simple.attributes)
            attributes.setAttribute(attribute.name, attribute.rule, attribute.value);
        if (i + 1 == list.size()) {
            selector.classSelector().set(className, simple.style, simple.element);
            for (const StyleParser2::tStateSelector& state : simple.states)
                selector.states().setState(state.name, !state.negated);
            selector.attributes() = std::move(attributes);
        } else {
            selector.parents().emplace_back(className, simple.style, simple.element, list[i + 1].relation);
            selector.parents().back().attributes = std::move(attributes);
        }
    }
}

void StyleGrammar::onRGBAValue(bool hasAlpha)
{
    const std::vector<unsigned>& c = m_components;
    if (c.size() != (hasAlpha ? 4u : 3u)) {
        m_parser->addErrorMessage(m_line,
                                  "PARSER ERROR at line " + std::to_string(m_line) + ": invalid color declaration");
        setColor(0);
        return;
    }
    const unsigned alpha = hasAlpha ? (c[3] & 0xFFu) << 24 : 0xFF000000u;
    setColor(alpha | (c[0] & 0xFFu) << 16 | (c[1] & 0xFFu) << 8 | (c[2] & 0xFFu));
}

void StyleGrammar::onProperty()
{
    // A declaration that broke off (no ':' or no value) is dropped, not stored as the int 0.
    if (!m_pendingName.empty() && !m_declarationBroken)
        m_rule.properties.emplace_back(m_pending.value, qv::symbol(m_pendingName), m_pending.unit);
    resetPending();
}

void StyleGrammar::onStyle()
{
    if (!m_selectorBroken && !m_rule.selectors.empty() && !m_rule.properties.empty())
        m_parser->addRule(std::move(m_rule));
    m_rule.reset();
    m_selectorBroken = false;
}

void StyleGrammar::onConstant()
{
    StyleParser2::tConstant constant;
    constant.name = m_constantName;
    constant.value = m_pending;
    m_parser->addConstant(m_line, constant);
    resetPending();
}

unsigned StyleGrammar::lineAt(Iterator position)
{
    if (position < m_lineCachePosition) {
        m_lineCachePosition = m_begin;
        m_lineCacheLine = 1;
    }
    Iterator p = m_lineCachePosition;
    // The LF of a CR LF pair was counted with its CR.
    if (p != m_begin && p != position && p[-1] == '\r' && *p == '\n')
        ++p;
    unsigned line = m_lineCacheLine;
    for (; p < position; ++p)
        if (*p == '\n' || (*p == '\r' && (p + 1 == position || p[1] != '\n')))
            ++line;
    m_lineCachePosition = position;
    m_lineCacheLine = line;
    return line;
}

// [SECTION] Error recovery and messages ====================================================

template <class Args, class Context>
void tErrorHandler::operator()(Args& args, Context&, qi::error_handler_result&) const
{
    using boost::fusion::at_c;
    grammar->onStyleError(at_c<0>(args), at_c<1>(args), at_c<2>(args), at_c<3>(args), skipTo, character, consume);
    (grammar->*afterwards)();
}

void StyleGrammar::outputError(const boost::spirit::info& what)
{
    const std::string key = keyOf(what);
    const char* text = messageFor(key);
    m_parser->addErrorMessage(m_line, "PARSER ERROR at line " + std::to_string(m_line) + ": Expecting " +
                                          (text ? std::string(text) : key));
}

void StyleGrammar::onStyleError(Iterator& first, Iterator last, Iterator where, const boost::spirit::info& what,
                                tErrorHandler::eSkipTo skipTo, char character, bool consume)
{
    // The line of the error itself: exact, whatever the branches given back had counted.
    m_line = lineAt(where);
    outputError(what);
    Iterator p = where;
    bool inLineComment = false;
    bool inBlockComment = false;
    while (p != last) {
        const char c = *p;
        // One line break: CR LF, CR or LF.
        if (c == '\n' || c == '\r') {
            if (c == '\r' && p + 1 != last && p[1] == '\n')
                ++p;
            ++p;
            inLineComment = false;
            if (skipTo == tErrorHandler::eSkipToLineBreak && !inBlockComment)
                break;
            continue;
        }
        if (inBlockComment) {
            if (c == '*' && p + 1 != last && p[1] == '/') {
                inBlockComment = false;
                ++p;
            }
        } else if (!inLineComment) {
            if (c == '/' && p + 1 != last && (p[1] == '/' || p[1] == '*')) {
                (p[1] == '/' ? inLineComment : inBlockComment) = true;
                ++p;
            } else if ((skipTo == tErrorHandler::eSkipToChar && c == character) ||
                       (skipTo == tErrorHandler::eSkipToSelectorEnd && (c == '{' || c == ','))) {
                if (consume)
                    ++p;
                break;
            }
        }
        ++p;
    }
    // Parsing goes on from here with the line counter in step.
    first = p;
    m_counted = p;
    m_line = lineAt(p);
}

// [SECTION] Rules: whitespace, comments, punctuation ======================================

StyleGrammar::StyleGrammar(StyleParser2* parser, std::string fileName)
    : StyleGrammar::base_type(Stylesheet), m_parser(parser), m_fileSymbol(fileName)
{
    using qi::_1;
    using qi::char_;
    using qi::eol;
    using qi::lit;
    auto act = [this](auto member) { return phx::bind(member, this); };
    auto act1 = [this](auto member) { return phx::bind(member, this, _1); };

    EOL = qi::raw[eol][act1(&StyleGrammar::onNextLine)];
    lineChar = char_ - eol;
    LineComment = lit("//") >> *lineChar;
    BlockComment = lit("/*") >> *((lineChar - lit("*/")) | EOL) >> lit("*/");
    QuietBlockComment = lit("/*") >> *((lineChar - lit("*/")) | eol) >> lit("*/");
    WS = +(char_(" \t") | LineComment | BlockComment | EOL);
    QuietWS = +(char_(" \t") | LineComment | QuietBlockComment | eol);
    Comma = lit(',') >> -WS;
    Semicolon = lit(';') >> -WS;
    OpenParen = lit('(') >> -WS;
    CloseParen = -WS >> lit(')');

    // [SECTION] Rules: identifiers and strings ============================================

    IdentifierHead = char_("a-zA-Z_");
    IdentifierTail = *char_("a-zA-Z0-9_-");
    Identifier = qi::raw[IdentifierHead >> IdentifierTail];
    IdentifierTailText = qi::raw[IdentifierTail];
    ConstIdentifier = lit('$') > Identifier;
    TemplateName = lit('<') > -WS > Identifier > -WS > lit('>');
    TypeName = qi::raw[lit('*')] | Identifier;
    QuotedString = (lit('"') > qi::raw[*(char_ - lit('"') - eol)] > lit('"')) |
                   (lit('\'') > qi::raw[*(char_ - lit('\'') - eol)] > lit('\''));

    // [SECTION] Rules: selectors ==========================================================

    TypeSelector = TypeName[act1(&StyleGrammar::setType)] >> -TemplateName[act1(&StyleGrammar::setTemplateName)];
    StyleSelector = lit('.') > IdentifierTailText[act1(&StyleGrammar::setStyle)];
    ElementSelector = lit('#') > IdentifierTailText[act1(&StyleGrammar::setElement)];
    Attribute = Identifier[act1(&StyleGrammar::setAttributeName)] >
                m_attributeOps[act1(&StyleGrammar::setAttributeRule)] >
                Identifier[act1(&StyleGrammar::setAttributeValue)];
    AttributeSelector = (lit('[') > -WS > Attribute > -WS > lit(']'))[act(&StyleGrammar::onAttributeSelector)];
    StateName =
        qi::matches[lit('!')][act1(&StyleGrammar::setStateNegated)] > Identifier[act1(&StyleGrammar::setStateName)];
    StateSelectorRule = !m_relations >> (lit(':') > StateName)[act(&StyleGrammar::onStateSelector)];
    SimpleSelector = TypeSelector >> -StyleSelector >> -ElementSelector >> *AttributeSelector >> *StateSelectorRule;
    ChildRelation = &(-QuietWS >> m_relations) >> -WS >> m_relations >> -WS;
    DescendantRelation = !(QuietWS >> (lit(',') | lit('{'))) >> WS;
    SelectorRelations = ChildRelation[phx::bind(&StyleGrammar::setRelation, this, true)] |
                        DescendantRelation[phx::bind(&StyleGrammar::setRelation, this, false)];
    SelectorRule = (SimpleSelector[act(&StyleGrammar::onSimpleSelector)] % SelectorRelations) >> -WS;
    Selectors = SelectorRule[act(&StyleGrammar::onSelector)] % Comma;

    // [SECTION] Rules: values =============================================================

    Unit = qi::eps[phx::bind(&StyleGrammar::setUnit, this, int(Property::eUnitNone))] >>
           -m_units[act1(&StyleGrammar::setUnit)];
    IntegerNumber = &(qi::int_ >> -QuietWS >> -m_units >> -QuietWS >> (lit(';') | lit('}'))) >>
                    qi::int_[act1(&StyleGrammar::setInt)];
    Number = IntegerNumber | qi::float_[act1(&StyleGrammar::setFloat)];
    NumericProperty = Number >> -WS >> Unit;
    BoolProperty = qi::bool_[act1(&StyleGrammar::setBool)];
    URL = qi::no_case[lit("url")] > -WS > OpenParen > QuotedString > CloseParen;
    URLProperty = URL[phx::bind(&StyleGrammar::setString, this, _1, int(Property::eUnitURL))];
    RGBAComponents = (qi::uint_[act1(&StyleGrammar::addComponent)] >> -WS) % Comma;
    RGBComponents = (qi::uint_[act1(&StyleGrammar::addComponent)] >> -WS) % Comma;
    RGBAColor = qi::no_case[lit("rgba")][act(&StyleGrammar::startColor)] > -WS > OpenParen >
                RGBAComponents[phx::bind(&StyleGrammar::onRGBAValue, this, true)] > CloseParen;
    RGBColor = qi::no_case[lit("rgb")][act(&StyleGrammar::startColor)] > -WS > OpenParen >
               RGBComponents[phx::bind(&StyleGrammar::onRGBAValue, this, false)] > CloseParen;
    HexColor = lit('#') > qi::hex[act1(&StyleGrammar::setHexColor)];
    ColorProperty = RGBAColor | RGBColor | HexColor;
    ConstantProperty = ConstIdentifier[act1(&StyleGrammar::onConstValue)];
    StringProperty = Identifier[phx::bind(&StyleGrammar::setString, this, _1, int(Property::eUnitString))];
    PropertyRule = NumericProperty | BoolProperty | URLProperty | ColorProperty | ConstantProperty | StringProperty;

    // [SECTION] Rules: statements =========================================================

    Declaration = Identifier[act1(&StyleGrammar::setPendingName)] > -WS > lit(':') > -WS > (PropertyRule >> -WS);
    Properties = Declaration[act(&StyleGrammar::onProperty)] % Semicolon;
    Style = qi::raw[qi::eps][act1(&StyleGrammar::onRuleStart)] >>
            (Selectors > -WS > lit('{') > -WS > -Properties > -lit(';') > -QuietWS > lit('}'));
    ConstantDefinition = ConstIdentifier[act1(&StyleGrammar::setConstantName)] > WS > PropertyRule;
    Constant = lit("@define") > WS > ConstantDefinition[act(&StyleGrammar::onConstant)];
    Import = lit("@import") > WS > URL[act1(&StyleGrammar::onImport)];
    ATDeclaration = (Import | Constant) > -WS > lit(';');
    Statement = Style[act(&StyleGrammar::onStyle)] | ATDeclaration;
    Stylesheet = *(Statement | WS) > qi::eoi;

    // [SECTION] Names and error handlers ==================================================

    EOL.name("EOL");
    WS.name("WS");
    Semicolon.name(";");
    OpenParen.name("(");
    CloseParen.name(")");
    Identifier.name("Identifier");
    ConstIdentifier.name("ConstIdentifier");
    QuotedString.name("QuotedString");
    TypeSelector.name("TypeSelector");
    StyleSelector.name("StyleSelector");
    ElementSelector.name("ElementSelector");
    Attribute.name("Attribute");
    AttributeSelector.name("AttributeSelector");
    StateSelectorRule.name("StateSelector");
    SimpleSelector.name("SimpleSelector");
    SelectorRelations.name("SelectorRelations");
    SelectorRule.name("Selector");
    Selectors.name("Selectors");
    NumericProperty.name("NumericProperty");
    BoolProperty.name("BoolProperty");
    URL.name("URL");
    URLProperty.name("URLProperty");
    HexColor.name("HexColor");
    ColorProperty.name("ColorProperty");
    ConstantProperty.name("ConstantProperty");
    StringProperty.name("StringProperty");
    PropertyRule.name("Property");
    Declaration.name("Declaration");
    Properties.name("Properties");
    Style.name("Style");
    Constant.name("Constant");
    Import.name("Import");
    ATDeclaration.name("ATDeclaration");
    Statement.name("Statement");
    Stylesheet.name("Stylesheet");

    using eSkip = tErrorHandler::eSkipTo;
    qi::on_error<qi::accept>(AttributeSelector,
                             tErrorHandler{this, eSkip::eSkipToChar, ']', true, &StyleGrammar::afterAttributeError});
    qi::on_error<qi::accept>(
        SelectorRule, tErrorHandler{this, eSkip::eSkipToSelectorEnd, 0, false, &StyleGrammar::afterSelectorError});
    qi::on_error<qi::accept>(Declaration,
                             tErrorHandler{this, eSkip::eSkipToChar, '}', false, &StyleGrammar::afterDeclarationError});
    qi::on_error<qi::retry>(Style, tErrorHandler{this, eSkip::eSkipToChar, '}', true, &StyleGrammar::afterStyleError});
    qi::on_error<qi::retry>(Stylesheet,
                            tErrorHandler{this, eSkip::eSkipToLineBreak, 0, true, &StyleGrammar::afterStylesheetError});
}

// [SECTION] Entry point =====================================================================

namespace DETAIL {

bool parseStyleText(StyleParser2& parser, const std::string& fileName, const char* begin, const char* end)
{
    StyleGrammar grammar(&parser, fileName);
    grammar.setText(begin);
    Iterator position = begin;
    return qi::parse(position, end, grammar) && position == end;
}

}  // namespace DETAIL

}  // namespace QV::PXT
