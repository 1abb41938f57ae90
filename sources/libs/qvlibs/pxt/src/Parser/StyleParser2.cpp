#include "PXT/StyleParser2.h"

#include "GP/FileStream.h"
#include "PXT/ManagerContainer.h"
#include "PXT/StyleSheet.h"
#include "PXT/StyleSheetErrorsLogSource.h"
#include "Parser/StyleGrammar.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace QV::PXT {

namespace {

std::string parserError(unsigned line, const std::string& text)
{
    return "PARSER ERROR at line " + std::to_string(line) + ": " + text;
}

// The full text that identifies a file for imports: its path made canonical where the file system
// allows it, so that two spellings of one file are one file. A relative name (a resource's) as it is.
std::string identityOf(const GP::FileName& name)
{
    const std::string path = name.isRelative() ? std::string() : name.getFilesystemPath();
    if (path.empty())
        return name.getFull();
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? name.getFull() : GP::FileName(canonical).getFull();
}

}  // namespace

void StyleParser2::tSimpleSelector::reset()
{
    type.clear();
    templateName.clear();
    style.clear();
    element.clear();
    states.clear();
    attributes.clear();
    relation = false;
}

bool StyleParser2::tSimpleSelector::hasContent() const
{
    return !type.empty() || !style.empty() || !element.empty() || !states.empty() || !attributes.empty();
}

void StyleParser2::tRule::reset()
{
    selectors.clear();
    properties.clear();
    line = 0;
}

const std::map<StyleParser2::eEncoding, std::size_t>& StyleParser2::s_collEncodingOffsets()
{
    static const std::map<eEncoding, std::size_t> offsets = {
        {eEncodingNone, 0},    {eEncodingUTF8, 3},    {eEncodingUTF16BE, 2},
        {eEncodingUTF16LE, 2}, {eEncodingUTF32BE, 4}, {eEncodingUTF32LE, 4},
    };
    return offsets;
}

StyleParser2::StyleParser2(StyleSheet* owner) : m_owner(owner) {}

void StyleParser2::enterTopLevel(const std::string& fullName)
{
    m_reading.push_back(fullName);
    m_imports.insert(fullName);
}

bool StyleParser2::processFile(const GP::FileName& name)
{
    const bool topLevel = m_reading.empty();
    if (topLevel)
        enterTopLevel(identityOf(name));
    GP::FileStream stream;
    bool result = false;
    if (stream.open(name)) {
        m_currentFile = name;
        result = readStream(stream, name.getName() + name.getExtension());
    }
    if (topLevel)
        m_reading.clear();
    return result;
}

bool StyleParser2::processStream(GP::Stream& stream, const std::string& sourceName)
{
    const bool topLevel = m_reading.empty();
    if (topLevel) {
        // Messages name the text even when it comes from a stream alone.
        if (m_currentFile.empty())
            m_currentFile.setFull(sourceName);
        enterTopLevel(identityOf(m_currentFile));
    }
    const bool result = readStream(stream, sourceName);
    if (topLevel)
        m_reading.clear();
    return result;
}

bool StyleParser2::readStream(GP::Stream& stream, const std::string& sourceName)
{
    GP::IStorage* storage = stream.getStorage();
    if (!storage || !storage->isGood())
        return false;
    storage->seek64(0, GP::IStorage::eSeekFromEnd);
    const long long length = storage->getPos64();
    if (length < 0)
        return false;
    if (length > kMaxTextSize) {
        addErrorMessage(0, "stylesheet too large (" + std::to_string(length) + " bytes)");
        return false;
    }
    storage->seek64(0, GP::IStorage::eSeekFromStart);
    std::string text(static_cast<std::size_t>(length), '\0');
    if (stream.readRaw(text.data(), text.size()) != text.size())
        return false;

    m_encoding = eEncodingNone;
    if (text.size() > 3) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        if (byte(0) == 0x00 && byte(1) == 0x00 && byte(2) == 0xFE && byte(3) == 0xFF)
            m_encoding = eEncodingUTF32BE;
        else if (byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF)
            m_encoding = eEncodingUTF8;
        else if (byte(0) == 0xFE && byte(1) == 0xFF)
            m_encoding = eEncodingUTF16BE;
        else if (byte(0) == 0xFF && byte(1) == 0xFE)
            m_encoding = byte(2) == 0 && byte(3) == 0 ? eEncodingUTF32LE : eEncodingUTF16LE;
    }
    return processBuffer(text, sourceName);
}

bool StyleParser2::processBuffer(const std::string& bytes, const std::string& sourceName)
{
    if (m_encoding > eEncodingUTF8) {
        addErrorMessage(m_currentFile.getFull(), 0, "Unsupported buffer encoding");
        return false;
    }
    const std::size_t offset = std::min(s_collEncodingOffsets().at(m_encoding), bytes.size());
    return DETAIL::parseStyleText(*this, sourceName, bytes.data() + offset, bytes.data() + bytes.size());
}

bool StyleParser2::processString(const std::string& text)
{
    return DETAIL::parseStyleText(*this, "(StyleParser2::processString)", text.data(), text.data() + text.size());
}

void StyleParser2::addRule(const tRule& rule) { m_rules.push_back(rule); }

void StyleParser2::addRule(tRule&& rule) { m_rules.push_back(std::move(rule)); }

void StyleParser2::addConstant(unsigned line, const tConstant& constant)
{
    if (!m_constants.emplace(constant.name, constant.value).second)
        addErrorMessage(line, parserError(line, "constant already defined"));
}

StyleParser2::tPropertyValue StyleParser2::getConstValue(const std::string& name, unsigned line)
{
    const auto found = m_constants.find(name);
    if (found != m_constants.end())
        return found->second;
    addErrorMessage(line, parserError(line, "use of undefined constant " + name));
    return tPropertyValue();
}

bool StyleParser2::importFile(const std::string& url)
{
    // Through the owning sheet's resources: the import's name is the resource's.
    if (m_owner && m_currentFile.isRelative()) {
        const std::shared_ptr<GP::Stream> stream =
            m_owner->getContainer().getResourceStream(url, ManagerContainer::eResourceStyleSheets, true);
        return stream && readStream(*stream, url);
    }
    GP::FileStream stream;
    if (!stream.open(m_currentFile))
        return false;
    return readStream(stream, m_currentFile.getName() + m_currentFile.getExtension());
}

void StyleParser2::processImport(unsigned line, std::string url)
{
    const GP::FileName importing = m_currentFile;
    const eEncoding encoding = m_encoding;

    GP::FileName target;
    target.setFull(url);
    // Without an owner a relative name lies beside the importing file ('/' separates folders).
    if (target.isRelative() && !m_owner) {
        const std::string folder = importing.empty() ? std::string() : importing.getFilesystemPath();
        const std::filesystem::path base =
            folder.empty() ? std::filesystem::path() : std::filesystem::path(folder).parent_path();
        target = GP::FileName(base / std::filesystem::path(url));
    }
    const std::string identity = identityOf(target);

    if (std::find(m_reading.begin(), m_reading.end(), identity) != m_reading.end()) {
        addErrorMessage(importing.getFull(), line, parserError(line, "recursive import of stylesheet " + identity));
        return;
    }
    if (m_reading.size() >= kMaxImportDepth) {
        addErrorMessage(importing.getFull(), line, parserError(line, "imports nested too deeply: " + identity));
        return;
    }
    if (!m_imports.insert(identity).second) {
        addErrorMessage(importing.getFull(), line,
                        parserError(line, "stylesheet already imported, skipped: " + identity));
        return;
    }
    m_currentFile = target;
    m_reading.push_back(identity);
    const bool imported = importFile(url);
    m_reading.pop_back();
    m_currentFile = importing;
    m_encoding = encoding;
    if (!imported) {
        addErrorMessage(importing.getFull(), line,
                        parserError(line, "Failed to import stylesheet " + target.getFull()));
        m_imports.erase(identity);
    }
}

void StyleParser2::addErrorMessage(unsigned line, const std::string& text)
{
    addErrorMessage(m_currentFile.getFull(), line, text);
}

void StyleParser2::addErrorMessage(const std::string& file, unsigned line, const std::string& text)
{
    m_errors[file].emplace(static_cast<int>(line), text);
    StyleSheetErrorsLogSource::log("Stylesheet error: " + file + ":" + std::to_string(line) + " - " + text);
}

}  // namespace QV::PXT
