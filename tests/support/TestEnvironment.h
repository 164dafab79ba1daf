// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every test process runs in folders of its own: a temporary HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_CACHE_HOME and XDG_RUNTIME_DIR, so no test reads or writes the real
// user's settings, trash or caches. The environment is set before QApplication exists.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QtTest>

namespace zelvorin::test {

class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString root() const { return m_root.path(); }
    QString home() const;
    QString configHome() const;
    QString dataHome() const;
    // A fresh empty folder below the test's root, for files a test case makes.
    QString makeFolder(const QString& name) const;

private:
    QTemporaryDir m_root;
};

// Removes a folder and everything in it, by the bytes of the names (QDir cannot remove a
// name that is not UTF-8); true when all of it went.
bool removeTree(const QByteArray& path);

// Writes a file with the given bytes, creating missing parent folders.
bool writeFile(const QString& path, const QByteArray& bytes);

// Whether a child of this test can get a user and mount namespace of its own
// (`unshare -rm`), where a small file system mounts without privileges. Not in a chroot,
// nor where the system refuses unprivileged namespaces.
bool mountNamespaceAvailable();

} // namespace zelvorin::test

// Runs a QtTest object in its own environment. `prepare` runs before QApplication is
// created (web tests register the program's URL schemes there).
#define ZELVORIN_TEST_MAIN_WITH(TestClass, prepare)                                                \
    int main(int argc, char** argv) {                                                              \
        zelvorin::test::TestEnvironment environment;                                               \
        prepare();                                                                                 \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define ZELVORIN_TEST_MAIN(TestClass) ZELVORIN_TEST_MAIN_WITH(TestClass, [] {})
