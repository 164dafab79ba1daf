// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A prepared SQLite statement that finalises itself, with Qt-typed binds and columns. Texts
// go in and come out in their lossless form (LosslessNames.h), so a name keeps every byte.
#pragma once

#include "LosslessNames.h"

#include <QByteArray>
#include <QString>
#include <sqlite3.h>

namespace zelvorin::platform {

class Statement {
public:
    Statement(sqlite3* db, const char* sql) {
        m_code = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr);
    }
    Statement(sqlite3* db, const QByteArray& sql) : Statement(db, sql.constData()) {}
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return m_statement != nullptr; }
    int code() const { return m_code; }

    void bind(int index, const QString& text) {
        const QByteArray utf8 = losslessBytes(text);
        sqlite3_bind_text(m_statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int index, const QByteArray& bytes) {
        // constData() of an empty array is never null, so this binds an empty blob, not NULL.
        sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()),
                          SQLITE_TRANSIENT);
    }
    void bind(int index, qint64 number) { sqlite3_bind_int64(m_statement, index, number); }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step() {
        if (!m_statement)
            return m_code;
        m_code = sqlite3_step(m_statement);
        return m_code;
    }
    QString text(int column) const {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        return losslessText(QByteArray(data, sqlite3_column_bytes(m_statement, column)));
    }
    QByteArray blob(int column) const {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return QByteArray(data, sqlite3_column_bytes(m_statement, column));
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement, column); }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_code = SQLITE_OK;
};

} // namespace zelvorin::platform
