// The stylesheet parser front end: reads stylesheet text from a file, a stream or a string,
// collects what the grammar hands it (rules, constants, messages) and resolves imports.
//
// Texts are UTF-8 with or without a byte-order mark; texts marked as UTF-16 or UTF-32 are refused.
// Imports by url("...") are read by the same parser: a relative name through the owning sheet's
// resources (or, without an owner, beside the importing file). A file already being read is not
// imported again (recursion), nor is a file that was imported before. Every text is read to its end;
// grammar errors, undefined and repeated constants and failed imports are messages only, kept per
// file and line and logged as "Stylesheet error: <file>:<line> - <text>".
#pragma once

#include "GP/FileName.h"
#include "PXT/AttibuteSelector.h"
#include "PXT/Property.h"
#include "PXT/Selector.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace QV::GP {
class Stream;
}

namespace QV::PXT {

class StyleSheet;

class StyleParser2 {
public:
    // --- Records built while parsing ---------------------------------------------------------
    struct tAttrSelector {
        std::string name;
        AttibuteSelector::eRule rule = AttibuteSelector::eRuleNone;
        std::string value;
    };
    struct tStateSelector {
        bool negated = false;
        std::string name;
    };
    struct tSimpleSelector {
        std::string type;  // "*" or a class name
        std::string templateName;
        std::string style;
        std::string element;  // the id
        std::vector<tStateSelector> states;
        std::vector<tAttrSelector> attributes;
        bool relation = false;  // a direct child of the simple selector to its left

        void reset();
        bool hasContent() const;
    };
    struct tPropertyValue {
        Property::tValue value = 0;
        Property::eUnit unit = Property::eUnitNone;
    };
    struct tConstant {
        std::string name;  // without the '$'
        tPropertyValue value;
    };
    struct tRule {
        std::vector<Selector> selectors;
        std::vector<Property> properties;
        int line = 0;

        void reset();
    };

    enum eEncoding : int {
        eEncodingNone = 0,
        eEncodingUTF8 = 1,
        eEncodingUTF16BE = 2,
        eEncodingUTF16LE = 3,
        eEncodingUTF32BE = 4,
        eEncodingUTF32LE = 5,
    };
    // The length of each encoding's byte-order mark.
    static const std::map<eEncoding, std::size_t>& s_collEncodingOffsets();

    // Texts longer than this are refused with a message ("stylesheet too large"): a stylesheet is a
    // few kilobytes, and a broken storage must not make the parser allocate without bound.
    static constexpr long long kMaxTextSize = 64ll << 20;
    // Imports nest at most this deep (each level is a parse on the stack); a deeper one is refused
    // with a message.
    static constexpr std::size_t kMaxImportDepth = 32;

    using tErrors = std::map<std::string, std::multimap<int, std::string>>;

    // owner: the sheet whose resources serve relative imports; may be null.
    explicit StyleParser2(StyleSheet* owner = nullptr);

    // The file (or the container item of a file-mode name with a subpath). False, without a
    // message, when it cannot be opened.
    bool processFile(const GP::FileName& name);
    // The whole stream (it must have a storage), under `sourceName` in messages.
    bool processStream(GP::Stream& stream, const std::string& sourceName);
    // Bytes that may start with a byte-order mark.
    bool processBuffer(const std::string& bytes, const std::string& sourceName);
    // Text without a byte-order mark.
    bool processString(const std::string& text);

    // --- What the grammar hands over ---------------------------------------------------------
    void addRule(const tRule& rule);
    void addRule(tRule&& rule);
    void addConstant(unsigned line, const tConstant& constant);
    tPropertyValue getConstValue(const std::string& name, unsigned line);
    void processImport(unsigned line, std::string url);
    void addErrorMessage(unsigned line, const std::string& text);
    void addErrorMessage(const std::string& file, unsigned line, const std::string& text);

    const std::vector<tRule>& getRules() const { return m_rules; }
    const std::map<std::string, tPropertyValue>& getConstants() const { return m_constants; }
    const tErrors& getErrors() const { return m_errors; }
    const std::set<std::string>& getImports() const { return m_imports; }
    eEncoding getEncoding() const { return m_encoding; }
    const GP::FileName& getCurrentFile() const { return m_currentFile; }

private:
    // Reads a stream for processFile and for imports (the current file already set).
    bool readStream(GP::Stream& stream, const std::string& sourceName);
    // The top-level text's name joins the files being read and the imported ones.
    void enterTopLevel(const std::string& fullName);
    bool importFile(const std::string& url);

    StyleSheet* m_owner;
    std::vector<tRule> m_rules;
    std::map<std::string, tPropertyValue> m_constants;
    tErrors m_errors;
    eEncoding m_encoding = eEncodingNone;
    GP::FileName m_currentFile;
    std::set<std::string> m_imports;
    // The files being read, outermost first: an import of one of them is recursive.
    std::vector<std::string> m_reading;
};

}  // namespace QV::PXT
