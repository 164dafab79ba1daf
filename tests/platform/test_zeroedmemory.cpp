// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Zeroed memory for large tables: zero everywhere, whatever its size, and the owner's
// writes stay put while the pages are made present beside them.
#include "TestEnvironment.h"
#include "ZeroedMemory.h"

#include <QtTest>

#include <cstdint>

using zelvorin::platform::ZeroedMemory;

class TestZeroedMemory : public QObject {
    Q_OBJECT

private slots:
    void zeroedAndKeepsWrites_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::newRow("small") << qint64(24);
        QTest::newRow("made present beside its owner") << qint64(48) * 1024 * 1024 + 8;
    }
    void zeroedAndKeepsWrites() {
        QFETCH(qint64, bytes);
        const size_t words = size_t(bytes) / sizeof(std::uint64_t);
        const ZeroedMemory memory{size_t(bytes)};
        auto* const data = static_cast<std::uint64_t*>(memory.data());
        QVERIFY(data != nullptr);
        // Written at scattered places at once, as a hash index is.
        const size_t step = std::max<size_t>(1, words / 4099);
        for (size_t at = 0; at < words; at += step)
            data[at] = at + 1;
        for (size_t at = 0; at < words; ++at)
            QCOMPARE(data[at], at % step == 0 ? std::uint64_t(at + 1) : std::uint64_t(0));
    }
    void emptyHoldsNothing() {
        QCOMPARE(ZeroedMemory().data(), nullptr);
        QCOMPARE(ZeroedMemory(0).data(), nullptr);
    }
};

ZELVORIN_TEST_MAIN(TestZeroedMemory)
#include "test_zeroedmemory.moc"
