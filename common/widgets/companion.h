#pragma once

#include "common/text/document_text.h"

#include <QString>
#include <QTranslator>

#include <functional>
#include <optional>

class Desktop;
class QAction;
class QWidget;

// What the companion programs (editor, viewer, image viewer) share in their windows.

// Sets the program's name, its desktop entry and icon, and puts Qt's own buttons and dialogs in
// French, the programs' only language; lives as long as the application.
class CompanionStart
{
public:
    CompanionStart(const QString &name, const QString &desktopId, const QString &iconName);

private:
    QTranslator qtTexts_;
};

// Puts a window in the middle of its screen's free area.
void centreOnScreen(QWidget *window);

// Whether an action can be used now: it and every menu above it are enabled, so that a shortcut
// does not run a command its menu has disabled.
bool reachable(const QAction *action);

// The one rule before a document is replaced or closed. With changes, question is asked with
// Yes, No and Cancel: Yes runs save and lets the document go only when it was written, No lets
// it go unsaved, Cancel keeps it as it is. Without changes nothing is asked. True when the
// document may go.
bool mayLeaveDocument(Desktop &desktop, QWidget *parent, bool changed, const QString &question,
                      const QString &title, const std::function<bool()> &save);

// Whether a document may be written to path: an existing file there that is not the document's
// own file (the one it was read from or last written to) is replaced only after a Yes, No being
// the default.
bool mayWriteOver(Desktop &desktop, QWidget *parent, const QString &path, const QString &ownFile);

// The bytes of a plain-text document to save in *encoding. When the encoding lacks one of its
// characters, the user is asked, the character named, whether to keep the document as UTF-8
// instead: Yes sets *encoding to UTF-8; No gives nothing, and the document is not saved.
std::optional<QByteArray> plainTextToSave(Desktop &desktop, QWidget *parent, QStringView text,
                                          doctext::Encoding *encoding, bool crlf);

// The other of the two encodings a plain-text document is saved in, for the menu that turns it:
// to Windows-1252 only when every character fits (else the refusal is shown and nothing changes).
// True when *encoding changed.
bool turnEncoding(Desktop &desktop, QWidget *parent, QStringView text, doctext::Encoding *encoding);
