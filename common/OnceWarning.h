// SPDX-FileCopyrightText: 2026 The Zelvorin developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A warning given once in a run however often its cause is met, e.g. that the system's
// limit of folder watches is reached: the first time it goes to the sink (standard error
// unless one is given), never again. Whoever should give it only once shares one.
#pragma once

#include <QString>

#include <functional>

namespace zelvorin {

class OnceWarning {
public:
    explicit OnceWarning(std::function<void(const QString& text)> sink = {})
        : m_sink(std::move(sink)) {}

    void warn(const QString& text);
    bool given() const { return m_given; }

private:
    std::function<void(const QString& text)> m_sink;
    bool m_given = false;
};

} // namespace zelvorin
