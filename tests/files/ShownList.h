// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A file list on a folder session of its own, for the tests of the file column.
#pragma once

#include "FileListView.h"
#include "FolderFiles.h"
#include "FolderSession.h"

namespace zelvorin::test {

struct ShownList {
    explicit ShownList(FolderAccess access = {}) : session(std::move(access), {}, nullptr) {}
    FolderSession session;
    FileListView view{&session};
    FolderFiles& files = *session.files();
};

} // namespace zelvorin::test
