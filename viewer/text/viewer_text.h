#pragma once

#include <QString>
#include <QStringList>

// What the viewer does to a document's text, apart from any window.
namespace viewer {

// The sections of a document: on every line holding "[", the text after the first "[" up to the
// first "]" (without one, up to the line's last character but one), in alphabetical order.
QStringList sectionsOf(QStringView text);

// The lines of text in the order of the archiver's letter files, each followed by a line end.
QString sortedLines(QStringView text);

} // namespace viewer
