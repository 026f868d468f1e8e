#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string_view>
#include <utility>

#include <sys/mman.h>

namespace kel {

// Capacity is never initialised: the loader writes ahead of the size, and large regrowths move
// pages instead of bytes. Front room before the content lets a card's text overwrite its bytes.
class TextBuffer
{
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer &) = delete;
    TextBuffer &operator=(const TextBuffer &) = delete;
    TextBuffer(TextBuffer &&o) noexcept
        : m_block(std::exchange(o.m_block, nullptr))
        , m_front(std::exchange(o.m_front, 0))
        , m_size(std::exchange(o.m_size, 0))
        , m_blockSize(std::exchange(o.m_blockSize, 0))
    {}
    TextBuffer &operator=(TextBuffer &&o) noexcept
    {
        if (this != &o) {
            std::free(m_block);
            m_block = std::exchange(o.m_block, nullptr);
            m_front = std::exchange(o.m_front, 0);
            m_size = std::exchange(o.m_size, 0);
            m_blockSize = std::exchange(o.m_blockSize, 0);
        }
        return *this;
    }
    ~TextBuffer() { std::free(m_block); }

    char *data() { return m_block + m_front; }
    const char *data() const { return m_block + m_front; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_blockSize - m_front; }
    std::string_view view() const { return {data(), m_size}; }

    // Keeps what was written below the old capacity, not only the first size() bytes.
    void reserve(std::size_t n) { grow(m_front + n); }
    // On an empty buffer only.
    void reserveWithFront(std::size_t front, std::size_t n)
    {
        grow(front + n);
        m_front = front;
    }
    void setSize(std::size_t n) { m_size = n; }
    void setBlockContent(std::size_t n)
    {
        m_front = 0;
        m_size = n;
    }
    char *block() { return m_block; }

    void release()
    {
        std::free(m_block);
        m_block = nullptr;
        m_front = m_size = m_blockSize = 0;
    }

private:
    void grow(std::size_t blockSize)
    {
        if (blockSize <= m_blockSize)
            return;
        void *p = std::realloc(m_block, blockSize);
        if (!p)
            throw std::bad_alloc();
        m_block = static_cast<char *>(p);
        m_blockSize = blockSize;
        preferLargePages();
    }

    // 2 MB pages take a five-hundredth of the faults of 4 KB ones, which on a VM cost more than the copy.
    void preferLargePages()
    {
#ifdef MADV_HUGEPAGE
        constexpr std::uintptr_t kLarge = std::uintptr_t(2) << 20;
        const auto start = reinterpret_cast<std::uintptr_t>(m_block);
        const std::uintptr_t first = (start + kLarge - 1) & ~(kLarge - 1);
        const std::uintptr_t last = (start + m_blockSize) & ~(kLarge - 1);
        if (last > first)
            ::madvise(m_block + (first - start), last - first, MADV_HUGEPAGE);
#endif
    }

    char *m_block = nullptr;
    std::size_t m_front = 0;
    std::size_t m_size = 0;
    std::size_t m_blockSize = 0;
};

} // namespace kel
