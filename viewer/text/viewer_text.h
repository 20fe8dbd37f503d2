#pragma once

#include <QString>
#include <QStringList>

// What the viewer does to a document's text, apart from any window.
namespace viewer {

// A section of a document: on a line holding "[", the text after the first "[" up to the first
// "]" (without one, up to the line's last character but one), and where that "[" is in the text.
struct Section
{
    QString name;
    qsizetype at;
};
// Every section, in alphabetical order; sections of the same name in the order of the text, so
// that the n-th of a name in the list is its n-th in the text.
QList<Section> sectionMarks(QStringView text);
// Their names alone.
QStringList sectionsOf(QStringView text);

// The lines of text in the order of the archiver's letter files, each followed by a line end.
QString sortedLines(QStringView text);

} // namespace viewer
