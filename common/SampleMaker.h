// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The Samples folder: the first folder the program shows, filled with background tiles
// and pages to try them on. Everything in it is made by the program itself, at build time
// for the program folder and at run time when the folder has to be made elsewhere.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zelvorin {

// Names of every file MakeSamples writes, tiles first, then the pages.
QStringList SampleFileNames();

// The content of one sample file; empty for an unknown name or when encoding fails.
QByteArray SampleFileContent(const QString& fileName);

// Writes every sample file that is missing from `folder`, creating the folder when needed.
// An existing file is never replaced, even one that appears while this runs. False, with
// a reason in `error`, when the folder cannot be made or a file cannot be written.
bool MakeSamples(const QString& folder, QString* error = nullptr);

} // namespace zelvorin
