#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace kel {

// A growable byte buffer whose capacity is never initialised: the loader writes a card's text
// into it block by block, ahead of its size, and large regrowths move pages instead of bytes.
class TextBuffer
{
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer &) = delete;
    TextBuffer &operator=(const TextBuffer &) = delete;
    TextBuffer(TextBuffer &&o) noexcept
        : m_data(std::exchange(o.m_data, nullptr)), m_size(std::exchange(o.m_size, 0)),
          m_capacity(std::exchange(o.m_capacity, 0))
    {
    }
    TextBuffer &operator=(TextBuffer &&o) noexcept
    {
        if (this != &o) {
            std::free(m_data);
            m_data = std::exchange(o.m_data, nullptr);
            m_size = std::exchange(o.m_size, 0);
            m_capacity = std::exchange(o.m_capacity, 0);
        }
        return *this;
    }
    ~TextBuffer() { std::free(m_data); }

    char *data() { return m_data; }
    const char *data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_capacity; }
    std::string_view view() const { return {m_data, m_size}; }

    // Room for at least n bytes in all; what was written below the old capacity stays.
    void reserve(std::size_t n)
    {
        if (n <= m_capacity)
            return;
        void *p = std::realloc(m_data, n);
        if (!p)
            throw std::bad_alloc();
        m_data = static_cast<char *>(p);
        m_capacity = n;
    }
    // The first n bytes (written by the caller, n <= capacity) are the content.
    void setSize(std::size_t n) { m_size = n; }

    void assign(std::string_view text)
    {
        reserve(text.size());
        if (!text.empty())
            std::memcpy(m_data, text.data(), text.size());
        m_size = text.size();
    }

    void release()
    {
        std::free(m_data);
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    char *m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace kel
