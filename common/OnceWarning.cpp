#include "OnceWarning.h"

#include <QtGlobal>

namespace zelvorin {

void OnceWarning::warn(const QString& text) {
    if (m_given)
        return;
    m_given = true;
    if (m_sink)
        m_sink(text);
    else
        qWarning("%s", qPrintable(text));
}

} // namespace zelvorin
