#include "common/text/texts.h"

#include <QCoreApplication>

namespace texts {

QString get(const Text &text)
{
    // The installed language answers under the section's name; a key it does not know comes
    // back as it went.
    const QString found = QCoreApplication::translate(kSection, text.key);
    if (found != QLatin1String(text.key)) return found;
    return QString::fromUtf8(text.french);
}

} // namespace texts
