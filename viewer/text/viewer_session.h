#pragma once

#include "common/text/document_text.h"

#include <QString>

// What one run of the viewer keeps: the document shown and how it was read, and the words of
// its search and of its replace dialog. Whether the document changed is the document's own state.
struct ViewerSession
{
    explicit ViewerSession(QString programFolder) : folder(std::move(programFolder)) {}

    static QString untitled() { return QStringLiteral("Sansnom.rtf"); }

    QString folder;
    QString currentFile = untitled(); // the file the document was read from or last written to
    bool plainText = false;
    doctext::Encoding encoding = doctext::Encoding::Utf8;
    bool crlf = false;
    QString searchTerm;
    qint32 searchPosition = 1; // 1-based
    QString replaceWord;
    QString replacement;
};
