// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The one way an operation that can fail tells so: what could not be done and why, in the
// system's words (its error text) or the program's. An operation returns a Result: its
// value, or the Failure; nothing that fails is reported as done, and no failure is
// swallowed on its way to the user.
#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace zelvorin {

struct Failure {
    // What the user asked for that could not be done: "Could not show the image gallery".
    QString what;
    // Why: "No such file or directory". May be empty when `what` says it all.
    QString reason;

    // The sentence the user reads: 'Could not show the image gallery: no page of its own
    // could be shown in the preview.'
    QString message() const {
        return reason.isEmpty() ? what + QLatin1Char('.')
                                : what + QStringLiteral(": ") + reason + QLatin1Char('.');
    }
};

template <typename T = void> class Result {
public:
    Result(T value) : m_outcome(std::move(value)) {}
    Result(Failure failure) : m_outcome(std::move(failure)) {}

    bool ok() const { return m_outcome.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(m_outcome); }
    const Failure& failure() const { return std::get<1>(m_outcome); }

private:
    std::variant<T, Failure> m_outcome;
};

template <> class Result<void> {
public:
    Result() = default;
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure; }
    explicit operator bool() const { return ok(); }
    const Failure& failure() const { return *m_failure; }

private:
    std::optional<Failure> m_failure;
};

} // namespace zelvorin
