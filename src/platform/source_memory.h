// Memory for the bytes of a source file.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace mog {

// Takes memory for a source's bytes; null when there is none. A large block
// comes from the system with its pages already in place: one call instead
// of a fault for each page, which on a virtual machine costs more than
// reading the file.
void* take_source_memory(std::size_t size);

// Gives back what take_source_memory took, with the size it was taken with.
void give_back_source_memory(void* memory, std::size_t size);

// An allocator over that memory that leaves new bytes as they are: the read
// fills them, so zeroing them first would only cost time.
template <class T> struct SourceAllocator {
    using value_type = T;
    SourceAllocator() = default;
    template <class U> SourceAllocator(const SourceAllocator<U>&) {}
    T* allocate(std::size_t count) {
        void* memory = take_source_memory(count * sizeof(T));
        if (memory == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t count) { give_back_source_memory(memory, count * sizeof(T)); }
    template <class U> void construct(U* at) noexcept { ::new (static_cast<void*>(at)) U; }
    template <class U, class... Arguments> void construct(U* at, Arguments&&... arguments) {
        ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
    }
    template <class U> bool operator==(const SourceAllocator<U>&) const { return true; }
};

// The bytes of a source, as read.
using SourceBytes = std::vector<unsigned char, SourceAllocator<unsigned char>>;

} // namespace mog
