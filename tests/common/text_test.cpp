#include "common/text/cp1252.h"
#include "common/text/line_file.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text[0x80], QChar(0x20AC)); // €
    EXPECT_EQ(text[0x81], QChar(0x0081)); // undefined byte kept as its C1 control
    EXPECT_EQ(text[0x9C], QChar(0x0153)); // œ
    EXPECT_EQ(text[0x9F], QChar(0x0178)); // Ÿ
    EXPECT_EQ(text[0xA7], QChar(0x00A7)); // §
    const auto back = cp1252::encode(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, RefusesCharactersOutsideTheCodePageAndNamesThem)
{
    char32_t bad = 0;
    EXPECT_FALSE(cp1252::encode(QStringLiteral("ŁÓDŹ"), &bad).has_value());
    EXPECT_EQ(bad, U'Ł');
    const QString withEmoji = QStringLiteral("ROSE ") + QString::fromUcs4(U"\U0001F339");
    EXPECT_EQ(cp1252::firstUnencodable(withEmoji), U'\U0001F339');
    EXPECT_EQ(cp1252::firstUnencodable(QStringLiteral("Œuvre déjà vue €")), 0u);
    const QString message = cp1252::unencodableMessage(U'Ł');
    EXPECT_TRUE(message.contains(QStringLiteral("Ł")));
    EXPECT_TRUE(message.contains(QStringLiteral("U+0141")));
}

TEST(Cp1252, CaseStaysInsideTheCodePage)
{
    EXPECT_EQ(cp1252::toUpper(QStringLiteral("éèàçœÿšž abc")), QStringLiteral("ÉÈÀÇŒŸŠŽ ABC"));
    EXPECT_EQ(cp1252::toLower(QStringLiteral("ÉŒŸ")), QStringLiteral("éœÿ"));
    // ß and µ have no capital in the code page: they stay as they are rather than growing or
    // turning into a character the files cannot hold.
    EXPECT_EQ(cp1252::toUpper(QStringLiteral("ßµ")), QStringLiteral("ßµ"));
    const auto &up = cp1252::upperTable();
    EXPECT_EQ(up[0xFF], 0x9F);
    EXPECT_EQ(up[0x9C], 0x8C);
    EXPECT_EQ(up[0xF7], 0xF7); // ÷ is not a letter
}

TEST(Cp1252, PrintedFormIsUtf8WithControlsShownWhateverTheRunsAndOffsets)
{
    // Printable runs of every length around the sixteen-byte steps, broken by each kind of byte
    // (controls, DEL, bytes of two and three UTF-8 bytes, undefined bytes), read from every
    // offset: the same as decoding then showing the controls, and never past the promised room.
    const QByteArray breakers("\x00\x0a\x1f\x7f\x80\x81\x9d\xa7\xe9\xff", 10);
    QByteArray input;
    for (int run = 0; run < 40; ++run)
        input += QByteArray(run, char('a' + run % 26)) + breakers[run % breakers.size()];
    for (qsizetype from = 0; from < 20; ++from)
        for (qsizetype length : {qsizetype(0), qsizetype(1), qsizetype(15), qsizetype(16), qsizetype(17),
                                 input.size() - from}) {
            const QByteArrayView part = QByteArrayView(input).sliced(from, length);
            const QByteArray expected = cp1252::withControlsShown(cp1252::decode(part), false).toUtf8();
            QByteArray out(part.size() * cp1252::kMaxShownPerByte + 1, '\x55');
            const char *end = cp1252::writeShownUtf8(part, out.data());
            ASSERT_EQ(QByteArray(out.constData(), end - out.constData()), expected) << from << " " << length;
            EXPECT_EQ(out.back(), '\x55') << "wrote past its room";
        }
}

TEST(LineFile, ReadsCrLfAndLfAndWritesCrLf)
{
    const auto lines = linefile::splitLines("un\r\ndeux\ntrois\r\n\r\nquatre");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "un");
    EXPECT_EQ(lines[1], "deux");
    EXPECT_EQ(lines[2], "trois");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "quatre");
    EXPECT_EQ(linefile::joinLines({"a", "b"}), "a\r\nb\r\n");
    EXPECT_TRUE(linefile::splitLines("").isEmpty());
    EXPECT_EQ(linefile::splitLines("seule\r\n").size(), 1);
}

TEST(LineFile, TellsUtf8FromWindows1252)
{
    bool utf8 = false;
    EXPECT_EQ(linefile::decodeDocument("caf\xC3\xA9", &utf8), QStringLiteral("café"));
    EXPECT_TRUE(utf8);
    EXPECT_EQ(linefile::decodeDocument("caf\xE9", &utf8), QStringLiteral("café"));
    EXPECT_FALSE(utf8);
    EXPECT_TRUE(linefile::isUtf8("plain ascii"));
}
