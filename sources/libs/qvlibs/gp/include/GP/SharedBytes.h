// A read-only run of bytes that shares the ownership of whatever holds them (a mapped file, a
// resource, a vector): the bytes stay valid for as long as any copy is held.
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace QV::GP {

struct tSharedBytes {
    std::shared_ptr<const unsigned char> data;  // null: no bytes
    std::size_t size = 0;

    bool empty() const { return !data || size == 0; }

    // Takes the vector over.
    static tSharedBytes fromVector(std::vector<unsigned char> bytes)
    {
        auto owner = std::make_shared<const std::vector<unsigned char>>(std::move(bytes));
        return {std::shared_ptr<const unsigned char>(owner, owner->data()), owner->size()};
    }
};

}  // namespace QV::GP
