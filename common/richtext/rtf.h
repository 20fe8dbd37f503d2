#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

class QTextDocument;

// RTF to and from a QTextDocument: what the editor and the viewer produce (bold, italic,
// underline, strike-through, colour, font family and size, paragraph alignment, embedded PNG and
// JPEG pictures) comes back as it was written; RTF from word processors is read as far as it
// goes. Bad RTF gives text, never a crash or a hang, whatever its nesting depth.
namespace richtext {

// Replaces the content of document with the RTF in rtf.
void read(QByteArrayView rtf, QTextDocument *document);

// The document as RTF: 7-bit text, characters beyond ASCII as \'hh of the Windows code page or
// \uN when the code page has no byte for them.
QByteArray write(const QTextDocument &document);

// The same RTF handed to sink a piece at a time (about a megabyte each), in order, so that each
// piece can be saved while the next is made. Stops, false, as soon as sink returns false.
bool write(const QTextDocument &document, const std::function<bool(QByteArrayView)> &sink);

// From now on, writing document keeps the RTF of each block in the block until the block's text
// or formats change, so that the next writing remakes only the blocks changed since. With now,
// it is made and kept for every block at once.
void keep(QTextDocument *document, bool now = false);

// True when bytes begin as an RTF document does ("{\rtf").
bool looksLikeRtf(QByteArrayView bytes);

} // namespace richtext
