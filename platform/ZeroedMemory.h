// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A large table written at scattered places (a hash index) costs a page fault for each
// page it touches, and under a virtual machine each fault is dear: a million entries
// spread over 32 MB of pages made one batch of a folder read stall the window for 80 ms.
// ZeroedMemory hands out zeroed memory whose pages a thread of its own makes present
// meanwhile, so the thread that fills the table rarely meets a missing page.
#pragma once

#include <cstddef>
#include <memory>

namespace zelvorin::platform {

class ZeroedMemory {
public:
    ZeroedMemory() = default;
    // Throws std::bad_alloc when the system has no room.
    explicit ZeroedMemory(size_t bytes);

    void* data() const;

private:
    struct Mapping;
    // Shared with the thread that makes the pages present: the memory goes back to the
    // system once both are done with it.
    std::shared_ptr<Mapping> m_mapping;
};

} // namespace zelvorin::platform
