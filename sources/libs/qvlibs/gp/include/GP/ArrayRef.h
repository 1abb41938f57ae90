// A non-owning view of an array: a pointer and an element count. The viewed array must outlive it.
#pragma once

#include <cstddef>

namespace qv {

template <class T>
class array_ref {
public:
    using value_type = T;
    using iterator = T*;

    constexpr array_ref() noexcept = default;
    constexpr array_ref(T* data, std::size_t size) noexcept : m_pData(data), m_nSize(data ? size : 0) {}
    template <std::size_t N>
    constexpr array_ref(T (&array)[N]) noexcept : m_pData(array), m_nSize(N)
    {}

    constexpr T* data() const noexcept { return m_pData; }
    constexpr std::size_t size() const noexcept { return m_nSize; }
    constexpr bool empty() const noexcept { return m_nSize == 0; }
    constexpr iterator begin() const noexcept { return m_pData; }
    constexpr iterator end() const noexcept { return m_pData + m_nSize; }
    constexpr T& operator[](std::size_t index) const noexcept { return m_pData[index]; }

private:
    T* m_pData = nullptr;
    std::size_t m_nSize = 0;
};

}  // namespace qv
