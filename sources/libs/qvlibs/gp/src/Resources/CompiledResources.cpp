#include "GP/CompiledResources.h"

#include <cstdint>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace qv {

namespace {

using Key = std::pair<symbol, unsigned int>;

struct type_index_key_hash {
    std::size_t operator()(const Key& key) const noexcept { return key.first.hash() * 31u + key.second; }
};

// Nothing in this program registers resources: both tables stay empty.
const std::unordered_map<symbol, compiled_resources::bytes>& byName()
{
    static const std::unordered_map<symbol, compiled_resources::bytes> s_table;
    return s_table;
}

const std::unordered_map<Key, compiled_resources::bytes, type_index_key_hash>& byNameAndId()
{
    static const std::unordered_map<Key, compiled_resources::bytes, type_index_key_hash> s_table;
    return s_table;
}

template <class Table, class K>
compiled_resources::bytes lookUp(const Table& table, const K& key)
{
    auto it = table.find(key);
    if (it == table.end())
        throw std::runtime_error("resource not found");
    return it->second;
}

}  // namespace

compiled_resources::bytes compiled_resources::resolve_resource_data(symbol name) { return lookUp(byName(), name); }

compiled_resources::bytes compiled_resources::resolve_resource_data(symbol name, unsigned int id)
{
    return lookUp(byNameAndId(), Key(name, id));
}

}  // namespace qv
