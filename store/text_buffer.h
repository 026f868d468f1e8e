#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string_view>
#include <utility>

#include <sys/mman.h>

namespace kel {

// A growable byte buffer whose capacity is never initialised: the loader writes a card's text
// into it block by block, ahead of its size, and large regrowths move pages instead of bytes.
// The content may start some way into the block ("front room"), so that the card's text can be
// written over its own bytes from the block's start.
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
    // Room for content from data() on.
    std::size_t capacity() const { return m_blockSize - m_front; }
    std::string_view view() const { return {data(), m_size}; }

    // Room for at least n bytes of content; what was written below the old capacity stays.
    void reserve(std::size_t n) { grow(m_front + n); }
    // On an empty buffer: room for n bytes of content after front bytes of front room.
    void reserveWithFront(std::size_t front, std::size_t n)
    {
        grow(front + n);
        m_front = front;
    }
    // The first n bytes from data() (written by the caller, n <= capacity) are the content.
    void setSize(std::size_t n) { m_size = n; }
    // The block's first n bytes, written by the caller, become the content: the front room is
    // given up.
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

    // A card of tens of megabytes is read into fresh memory: in pages of 2 MB instead of 4 KB,
    // where the system offers them, a five-hundredth of the page faults, which on a virtual
    // machine cost more than the copy itself.
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
