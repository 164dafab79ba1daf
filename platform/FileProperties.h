// What the system knows about files beyond their contents: whether two paths lie on one
// file system (the Linux sense of "the same drive"), and the desktop file manager's own
// properties window, asked for over D-Bus.
#pragma once

#include <QString>

#include <functional>

namespace zelvorin::platform {

// True when both paths exist and lie on the same file system (the same device number);
// false otherwise, including when either cannot be examined.
bool onSameFileSystem(const QString& first, const QString& second);

// Asks the desktop's file manager (org.freedesktop.FileManager1.ShowItemProperties on the
// session bus) to show its properties window for a local path. True only when a file
// manager answered the request; false when none runs or it refused.
bool showItemPropertiesInFileManager(const QString& path);

// Stands in for the D-Bus request (tests; a desktop without a file manager). A null
// handler restores the D-Bus request. Returns the previous handler.
using ItemPropertiesHandler = std::function<bool(const QString& path)>;
ItemPropertiesHandler setItemPropertiesHandler(ItemPropertiesHandler handler);

} // namespace zelvorin::platform
