#pragma once

#include <QString>

// What the reader and the writer must agree on, so that the writer's RTF reads back into what it
// was written from.
namespace richtext::detail {

// RTF measures pictures in twips; the document in pixels of a 96 dpi screen.
inline constexpr double kTwipsPerPixel = 15.0;

// Characters a document never holds as text: controls (a tab excepted), the separators and frame
// marks QTextDocument uses for its own structure, and the object mark that only stands for a
// picture. Read, they would turn into structure; written, they would not come back.
inline bool isDroppedChar(char16_t c)
{
    return (c < 0x20 && c != u'\t') || c == 0x7F || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1
        || c == 0xFFFC;
}

// A font name as both sides keep it: without what the font table cannot hold (';' ends an
// entry), nor surrounding blanks. Idempotent, so a name written comes back the same.
inline QString fontName(QStringView raw)
{
    QString name;
    name.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c.isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) {
            name.append(c);
            name.append(raw[++i]);
        }
        else if (!c.isSurrogate() && c != u';' && c != QChar::LineSeparator
                 && !isDroppedChar(c.unicode()))
            name.append(c);
    }
    return name.trimmed();
}

} // namespace richtext::detail
