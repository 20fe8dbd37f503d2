#pragma once

#include <QString>

class QTextDocument;
class QTextEdit;

// What the editor and the viewer do alike to their text area. Texts come with "\n" line ends,
// and their positions are the text area's.
namespace textarea {

QString plainText(const QTextDocument &document);
QString selectedText(const QTextEdit &text);
void select(QTextEdit *text, qsizetype start, qsizetype length);
// Puts replacement in place of the selection and leaves it selected.
void replaceSelection(QTextEdit *text, const QString &replacement);
// The selection, or the caret's format, turned to the other state of its own.
void toggleBold(QTextEdit *text);
void toggleItalic(QTextEdit *text);
void toggleUnderline(QTextEdit *text);

} // namespace textarea
