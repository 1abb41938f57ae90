#include "GP/Symbol.h"

#include "SymbolTable.h"

#include <cstring>

namespace qv {

using detail::SymbolTable;

symbol::symbol() : m_entry(SymbolTable::instance().empty()) {}

symbol::symbol(const std::string& text) : m_entry(SymbolTable::instance().intern(text.data(), text.size())) {}

symbol::symbol(const char* text, unsigned long length)
    : m_entry(text ? SymbolTable::instance().intern(text, length) : SymbolTable::instance().empty())
{}

bool symbol::operator==(const char* text) const noexcept { return text && m_entry->text == text; }

}  // namespace qv
