#include "common/widgets/text_area.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace textarea {

namespace {

// Paragraph and line separators as line feeds, one character for one, so positions stay.
QString withLineFeeds(QString text)
{
    for (QChar &c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
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
