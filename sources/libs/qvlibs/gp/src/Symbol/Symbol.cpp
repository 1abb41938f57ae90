#include "GP/Symbol.h"

#include "SymbolTable.h"

#include <cstring>

namespace qv {

using detail::SymbolTable;

symbol::symbol() : m_entry(SymbolTable::instance().empty()) {}

symbol::symbol(std::string const& text) : m_entry(SymbolTable::instance().intern(text.data(), text.size())) {}

symbol::symbol(char const* text, unsigned long length)
    : m_entry(text ? SymbolTable::instance().intern(text, length) : SymbolTable::instance().empty())
{
}

bool symbol::operator==(char const* text) const noexcept { return text && m_entry->text == text; }

}  // namespace qv
