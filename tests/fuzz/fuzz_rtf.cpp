// The RTF reader under arbitrary bytes, and the writer on whatever document they give.
//
// Whatever is read, once written and read again, gives the same text (pictures included, as their
// object characters), and that second document writes the same RTF as the first: what the writer
// says, the reader takes back as it was said.
#include "common/richtext/rtf.h"
#include "tests/fuzz/fuzz_support.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdint>

using fuzzsupport::sameBytes;

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Fonts, and so the writer's font table, need an application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication *app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    QTextDocument first;
    richtext::read(bytes, &first);
    const QByteArray rtf = richtext::write(first);
    FUZZ_CHECK(richtext::looksLikeRtf(rtf));
    for (const char c : rtf)
        FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);

    QTextDocument second;
    richtext::read(rtf, &second);
    FUZZ_CHECK(second.toRawText() == first.toRawText());
    FUZZ_CHECK(second.blockCount() == first.blockCount());
    FUZZ_CHECK(sameBytes(richtext::write(second), rtf));

    // Reading replaces the content: a document read twice holds the second reading only.
    richtext::read(bytes, &second);
    FUZZ_CHECK(second.toRawText() == first.toRawText());
    return 0;
}
