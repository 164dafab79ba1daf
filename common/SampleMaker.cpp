// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SampleMaker.h"

#include "GifWriter.h"
#include "PrivateFiles.h"
#include "SampleTiles.h"
#include "ShellOperations.h"
#include "WebCopy.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>

namespace zelvorin {

namespace {

struct SamplePage {
    const char* fileName;
    const char* html;
};

const SamplePage Pages[] = {
    {"plain page.html", R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>A plain page</title>
</head>
<body>
<h1>A plain page to try backgrounds on</h1>
<p>This page has no background of its own. Choose the filter "Background Images" in the
file column and click the images one after another: each one is tiled behind this text,
so you can judge how well the words stay readable on it.</p>

<h2>Paragraphs</h2>
<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit. Integer posuere, nibh a
gravida luctus, lectus arcu suscipit purus, non aliquam augue enim at mi. Vestibulum
tincidunt, libero ac tempus tempor, metus ipsum tristique lorem, a gravida velit nisl vel
sem. <b>Bold text</b>, <i>italic text</i> and <a href="#links">a link</a> show how the
background treats the finer strokes.</p>
<p>Sed commodo, urna a vestibulum dignissim, eros nisi finibus lectus, eu pharetra massa
erat et ipsum. Phasellus porta justo a lectus blandit, vitae egestas sapien feugiat.</p>

<h2>A list</h2>
<ul>
<li>Light, quiet tiles keep long text readable.</li>
<li>Strong patterns suit short headings and banners.</li>
<li>Tiles with a visible seam show a grid of lines when repeated.</li>
</ul>

<h2>A table</h2>
<table border="1" cellpadding="4" cellspacing="0">
<tr><th>Tile</th><th>Format</th><th>Good for</th></tr>
<tr><td>cream paper</td><td>JPEG</td><td>long articles</td></tr>
<tr><td>blue checks</td><td>GIF</td><td>menus and side bars</td></tr>
<tr><td>graph paper</td><td>PNG</td><td>technical notes</td></tr>
<tr><td>red bricks</td><td>BMP</td><td>headings only</td></tr>
<tr><td>sand</td><td>WebP</td><td>light pages, small downloads</td></tr>
<tr><td>diamond lattice</td><td>SVG</td><td>any size of screen</td></tr>
</table>

<h3 id="links">Smaller heading</h3>
<p><small>Small print: the quick brown fox jumps over the lazy dog. 0123456789</small></p>
</body>
</html>
)"},
    {"page with own background.html", R"(<!DOCTYPE html>
<html>
<head>
<meta charset="utf-8">
<title>A page with its own background</title>
<style type="text/css">
body {
    background-color: #F2EAD6;
    background-image: url("cream%20paper.jpg");
    color: #3A2E1E;
    font-family: Georgia, serif;
}
h1, h2 { color: #7A3E1C; }
.box { background-color: #FFFFFF; border: 1px solid #C8B89A; padding: 8px; }
</style>
</head>
<body>
<h1>A page with its own background</h1>
<p>This page sets a background colour and a background image in its style sheet. Pick
another image in the file column to see it replace the page's own one, or use "Set
Background Color..." in the Edit menu to change the colour.</p>
<h2>Text on the page's background</h2>
<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit. Donec vitae lorem vel odio
rhoncus convallis. Aenean vitae felis at magna posuere feugiat.</p>
<div class="box">
<p>A box with a white background of its own stays white whatever the page's background
is: only the page's body gets the new image.</p>
</div>
</body>
</html>
)"},
    {"frameset.html", R"(<!DOCTYPE html PUBLIC "-//W3C//DTD HTML 4.01 Frameset//EN">
<html>
<head>
<meta charset="utf-8">
<title>A page made of frames</title>
</head>
<frameset rows="72,*">
<frame src="frameset%20title.html" name="title" scrolling="no">
<frameset cols="30%,*">
<frame src="frameset%20menu.html" name="menu">
<frame src="frameset%20main.html" name="main">
</frameset>
<noframes>
<body><p>This page shows three frames.</p></body>
</noframes>
</frameset>
</html>
)"},
    {"frameset title.html", R"(<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>Title frame</title></head>
<body>
<h2>A page made of frames</h2>
</body>
</html>
)"},
    {"frameset menu.html", R"(<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>Menu frame</title></head>
<body>
<h3>Menu</h3>
<ul>
<li><a href="frameset%20main.html" target="main">Main text</a></li>
<li><a href="plain%20page.html" target="main">Plain page</a></li>
<li><a href="page%20with%20own%20background.html" target="main">Page with own
background</a></li>
</ul>
</body>
</html>
)"},
    {"frameset main.html", R"(<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>Main frame</title></head>
<body>
<h1>Backgrounds in every frame</h1>
<p>A background image chosen in the file column goes into every frame of the page: the
title, the menu, this text and the inner frame below.</p>
<iframe src="frameset%20inner.html" width="90%" height="160"></iframe>
<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit. Nulla facilisi. Curabitur
ultricies, justo at pulvinar ultrices, metus odio cursus arcu, sed tempor dolor mi id
turpis.</p>
</body>
</html>
)"},
    {"frameset inner.html", R"(<!DOCTYPE html>
<html>
<head><meta charset="utf-8"><title>Inner frame</title></head>
<body>
<h3>An inner frame</h3>
<p>This frame sits inside another frame; it gets the background too.</p>
</body>
</html>
)"},
};

QByteArray encodeImage(const QImage& image, const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("gif")) {
        return EncodeGif(image);
    }
    if (suffix == QLatin1String("webp")) {
        return EncodeWebCopy(image, SuggestedWebCopy(image, QString()));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, suffix == QLatin1String("jpg") ? "jpeg" : suffix.toLatin1());
    if (suffix == QLatin1String("jpg")) {
        writer.setQuality(92);
    }
    if (!writer.write(image)) {
        return {};
    }
    return bytes;
}

// Writes a new file and never replaces one: the content goes to a temporary file first,
// which is then renamed, and a rename refuses an existing target.
enum class WriteResult { Written, AlreadyThere, Failed };

WriteResult writeNewFile(const QString& path, const QByteArray& bytes, QString* reason) {
    QTemporaryFile file(QFileInfo(path).absolutePath() + QStringLiteral("/.sample-XXXXXX"));
    if (!file.open()) {
        *reason = file.errorString();
        return WriteResult::Failed;
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        *reason = file.errorString();
        return WriteResult::Failed;
    }
    // On disk before the rename, so that a power cut never leaves the name on an empty file.
    if (const int error = platform::flushToDisk(file.handle()); error != 0) {
        *reason = platform::errorText(error);
        return WriteResult::Failed;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::ReadOther);
    if (file.rename(path)) {
        file.setAutoRemove(false);
        return WriteResult::Written;
    }
    if (QFileInfo::exists(path)) {
        return WriteResult::AlreadyThere;
    }
    *reason = file.errorString();
    return WriteResult::Failed;
}

} // namespace

QStringList SampleFileNames() {
    QStringList names;
    for (const SampleTile& tile : SampleTiles()) {
        names.append(tile.fileName);
    }
    for (const SamplePage& page : Pages) {
        names.append(QString::fromUtf8(page.fileName));
    }
    return names;
}

QByteArray SampleFileContent(const QString& fileName) {
    for (const SampleTile& tile : SampleTiles()) {
        if (tile.fileName == fileName) {
            return tile.drawing ? tile.drawing() : encodeImage(tile.make(), fileName);
        }
    }
    for (const SamplePage& page : Pages) {
        if (QString::fromUtf8(page.fileName) == fileName) {
            return QByteArray(page.html);
        }
    }
    return {};
}

bool MakeSamples(const QString& folder, QString* error) {
    auto fail = [error](const QString& message) {
        if (error) {
            *error = message;
        }
        return false;
    };
    if (folder.isEmpty()) {
        return fail(QStringLiteral("No samples folder given"));
    }
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("Cannot create the folder %1").arg(folder));
    }
    const QDir dir(folder);
    for (const QString& name : SampleFileNames()) {
        const QString path = dir.filePath(name);
        // A name taken by anything (even a broken link or a folder) is left alone.
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink()) {
            continue;
        }
        const QByteArray bytes = SampleFileContent(name);
        if (bytes.isEmpty()) {
            return fail(QStringLiteral("Cannot make the sample %1").arg(name));
        }
        QString reason;
        if (writeNewFile(path, bytes, &reason) == WriteResult::Failed) {
            return fail(QStringLiteral("Cannot write %1: %2").arg(path, reason));
        }
    }
    return true;
}

} // namespace zelvorin
