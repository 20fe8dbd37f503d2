#include "common/widgets/text_area.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace textarea {

namespace {

// Paragraph and line separators as line feeds, one character for one, so positions stay.
QString withLineFeeds(QString text)
{
    char16_t *c = reinterpret_cast<char16_t *>(text.data());
    char16_t *const end = c + text.size();
#ifdef __SSE2__
    // U+2028 and U+2029 differ in their last bit only: eight units at a time, skipping where
    // neither is.
    const __m128i mask = _mm_set1_epi16(short(0xFFFE)), separator = _mm_set1_epi16(short(0x2028));
    for (; end - c >= 8; c += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(c));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, mask), separator)) == 0) continue;
        for (int i = 0; i < 8; ++i)
            if ((c[i] & 0xFFFE) == 0x2028) c[i] = u'\n';
    }
#endif
    for (; c < end; ++c)
        if ((*c & 0xFFFE) == 0x2028) *c = u'\n';
    return text;
}

template <typename Change> void changeFormat(QTextEdit *text, Change change)
{
    QTextCharFormat format;
    change(text->currentCharFormat(), format);
    text->mergeCurrentCharFormat(format);
}

} // namespace

// The raw text keeps every character where it stands (a no-break space stays one).
QString plainText(const QTextDocument &document) { return withLineFeeds(document.toRawText()); }

QString selectedText(const QTextEdit &text) { return withLineFeeds(text.textCursor().selectedText()); }

void select(QTextEdit *text, qsizetype start, qsizetype length)
{
    QTextCursor cursor(text->document());
    cursor.setPosition(int(start));
    cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
}

void replaceSelection(QTextEdit *text, const QString &replacement)
{
    QTextCursor cursor = text->textCursor();
    const int start = cursor.selectionStart();
    cursor.insertText(replacement);
    cursor.setPosition(start);
    cursor.setPosition(start + int(replacement.size()), QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
}

void toggleBold(QTextEdit *text)
{
    changeFormat(text, [](const QTextCharFormat &now, QTextCharFormat &to) {
        to.setFontWeight(now.fontWeight() > QFont::Normal ? QFont::Normal : QFont::Bold);
    });
}

void toggleItalic(QTextEdit *text)
{
    changeFormat(text, [](const QTextCharFormat &now, QTextCharFormat &to) { to.setFontItalic(!now.fontItalic()); });
}

void toggleUnderline(QTextEdit *text)
{
    changeFormat(text, [](const QTextCharFormat &now, QTextCharFormat &to) { to.setFontUnderline(!now.fontUnderline()); });
}

} // namespace textarea
