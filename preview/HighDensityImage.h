// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The image for screens of twice the density that sits beside a chosen one under the name
// sites give it ("paper@2x.png" beside "paper.png"), for the image-set() rule of "Copy CSS".
#pragma once

#include <QByteArray>

namespace zelvorin::preview {

// The raw path the partner would have, whether or not there is one; empty for an image
// that is itself one.
QByteArray HighDensityName(const QByteArray& rawImagePath);
// The raw path of the partner when it is a file there; empty when there is none, and for
// an image that is itself one ("paper@2x.png").
QByteArray HighDensityPartner(const QByteArray& rawImagePath);

} // namespace zelvorin::preview
