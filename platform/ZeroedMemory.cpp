// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ZeroedMemory.h"

#include <new>
#include <sys/mman.h>
#include <thread>

namespace zelvorin::platform {

namespace {
// Below this the faults cost less than a thread.
constexpr size_t PresentInBackground = size_t(1) << 20;
} // namespace

struct ZeroedMemory::Mapping {
    void* data = nullptr;
    size_t bytes = 0;
    ~Mapping() {
        if (data)
            ::munmap(data, bytes);
    }
};

ZeroedMemory::ZeroedMemory(size_t bytes) {
    if (bytes == 0)
        return;
    void* data = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED)
        throw std::bad_alloc();
    m_mapping = std::make_shared<Mapping>();
    m_mapping->data = data;
    m_mapping->bytes = bytes;
    if (bytes < PresentInBackground)
        return;
    // Making a page present never changes what it holds, so the owner may write to the
    // memory meanwhile. A system without the call just leaves the faults to the owner.
    std::thread([mapping = m_mapping] {
        ::madvise(mapping->data, mapping->bytes, MADV_POPULATE_WRITE);
    }).detach();
}

void* ZeroedMemory::data() const {
    return m_mapping ? m_mapping->data : nullptr;
}

} // namespace zelvorin::platform
