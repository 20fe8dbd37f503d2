// Splitting files into lines and joining them back, and the choice of a document's encoding.
#include "common/text/cp1252.h"
#include "common/text/line_file.h"
#include "tests/fuzz/fuzz_support.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>

using fuzzsupport::sameBytes;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    const QList<QByteArray> lines = linefile::splitLines(bytes);

    // One line per line feed, plus a final line without its line end.
    const qsizetype feeds = bytes.count('\n');
    const bool unterminated = !bytes.isEmpty() && bytes.back() != '\n';
    FUZZ_CHECK(lines.size() == feeds + (unterminated ? 1 : 0));
    qsizetype total = 0;
    for (const QByteArray &l : lines) {
        FUZZ_CHECK(!l.contains('\n'));
        total += l.size();
    }
    FUZZ_CHECK(total + feeds <= bytes.size());

    // Written back with CR LF, the file splits into the same lines, and writes back the same.
    const QByteArray joined = linefile::joinLines(lines);
    FUZZ_CHECK(linefile::splitLines(joined) == lines);
    FUZZ_CHECK(linefile::joinLines(linefile::splitLines(joined)) == joined);
    FUZZ_CHECK(joined.size() == total + 2 * lines.size());

    // Without any CR, writing back only turns LF into CR LF and ends the last line.
    if (!bytes.contains('\r')) {
        QByteArray expected = bytes.toByteArray();
        expected.replace("\n", "\r\n");
        if (unterminated) expected += "\r\n";
        FUZZ_CHECK(joined == expected);
    }
    // A file already made of CR LF lines is written back as it was.
    if (!bytes.isEmpty()) {
        bool allCrLf = bytes.endsWith("\r\n");
        for (qsizetype i = 0; allCrLf && i < bytes.size(); ++i)
            if (bytes[i] == '\n') allCrLf = i > 0 && bytes[i - 1] == '\r';
        if (allCrLf) FUZZ_CHECK(sameBytes(joined, bytes));
    }

    // The decoded lines encode back to the same file body.
    QStringList decoded;
    for (const QByteArray &l : lines)
        decoded << cp1252::decode(l);
    const auto encoded = linefile::encodeLines(decoded);
    FUZZ_CHECK(encoded.has_value() && *encoded == joined);

    // A document is UTF-8 when its bytes are valid UTF-8, else Windows-1252.
    bool wasUtf8 = false;
    const QString text = linefile::decodeDocument(bytes, &wasUtf8);
    FUZZ_CHECK(wasUtf8 == linefile::isUtf8(bytes));
    if (wasUtf8) {
        // The text is the bytes as UTF-8, less a leading byte order mark.
        const bool bom = bytes.startsWith("\xEF\xBB\xBF");
        FUZZ_CHECK(sameBytes(text.toUtf8(), bom ? bytes.sliced(3) : bytes));
    }
    else FUZZ_CHECK(text == cp1252::decode(bytes));
    // Plain ASCII reads the same either way.
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) FUZZ_CHECK(wasUtf8 && text == cp1252::decode(bytes));
    return 0;
}
