// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "StartingFolder.h"

#include "Paths.h"
#include "ProgramValues.h"
#include "SampleMaker.h"

namespace zelvorin {

namespace {
// The Samples folder, filled with whatever sample is missing; empty when it cannot be made.
QString samplesIn(const QString& folder) {
    if (folder.isEmpty())
        return {};
    const QString samples = withTrailingSlash(folder) + SamplesFolderName;
    if (!folderExists(samples) && !MakeSamples(samples))
        return folderExists(samples) ? samples : QString();
    return samples;
}
} // namespace

QString ChooseStartingFolder(const StartingFolderChoice& choice) {
    QString folder = choice.lastFolder;
    if (folder.isEmpty())
        folder = choice.defaultFolder;
    if (!folder.isEmpty() && folderExists(folder))
        return folder;
    if (const QString samples = samplesIn(choice.programFolder); !samples.isEmpty())
        return samples;
    return samplesIn(choice.userDataFolder);
}

} // namespace zelvorin
