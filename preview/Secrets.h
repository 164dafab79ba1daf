// Unguessable texts: 128 random bits from the system's generator, as 32 hexadecimal
// digits. Pages never learn them, so nothing a page writes can pass for the program.
#pragma once

#include <QString>

namespace zelvorin {

QString RandomSecret();

} // namespace zelvorin
