#include "common/files/atomic_file.h"
#include "common/text/cp1252.h"
#include "common/text/document_text.h"
#include "editor/text/editor_settings.h"
#include "tests/support/test_folder.h"

#include <QFile>
#include <QRandomGenerator>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace doctext;
using namespace editor;

TEST(EditorText, CommandLinePathAndDocumentKind)
{
    struct Case { QStringList args; QString path; bool rtf; };
    const Case cases[] = {
        {{}, QString(), false},
        {{QStringLiteral("/home/a/lettre.txt")}, QStringLiteral("/home/a/lettre.txt"), false},
        {{QStringLiteral("\"/home/a/mes"), QStringLiteral("notes.rtf\"")}, QStringLiteral("/home/a/mes notes.rtf"), true},
        {{QStringLiteral("/home/DOCS.RTF/lisez moi")}, QStringLiteral("/home/DOCS.RTF/lisez moi"), false},
        {{QStringLiteral("/home/notes.rtf.d/todo.txt")}, QStringLiteral("/home/notes.rtf.d/todo.txt"), false},
        {{QStringLiteral("/home/Lettre.RtF")}, QStringLiteral("/home/Lettre.RtF"), true},
        {{QStringLiteral("\"")}, QString(), false},
        {{QStringLiteral("a\"b\"c")}, QStringLiteral("\"b\""), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(commandLinePath(c.args), c.path) << c.args.join(u'|').toStdString();
        EXPECT_EQ(hasRtfExtension(c.path), c.rtf) << c.path.toStdString();
    }
    EXPECT_EQ(openedAs(QStringLiteral(".RTF")), OpenedAs::Rtf);
    EXPECT_EQ(openedAs(QStringLiteral(".SHTML")), OpenedAs::Html);
    EXPECT_EQ(openedAs(QStringLiteral(".HTM")), OpenedAs::Html);
    EXPECT_EQ(openedAs(QStringLiteral(".Rtf")), OpenedAs::Text); // the caller gives capitals
    EXPECT_EQ(openedAs(QString()), OpenedAs::Text);
    EXPECT_TRUE(holdsHtml(QStringLiteral("x<HTML>y")));
    EXPECT_FALSE(holdsHtml(QStringLiteral("<htm>")));
}

TEST(EditorText, ReplaceAllResumesAfterTheInsertedTextAndMatchesAPlainLoop)
{
    struct Case { QString text, word, replacement, result; qsizetype count; };
    const Case cases[] = {
        {QStringLiteral("banana"), QStringLiteral("a"), QStringLiteral("aa"), QStringLiteral("baanaanaa"), 3},
        {QStringLiteral("Le chat, le chien, LE loup"), QStringLiteral("Le"), QStringLiteral("un"),
         QStringLiteral("un chat, un chien, un loup"), 3},
        {QStringLiteral("été ÉTÉ"), QStringLiteral("été"), QStringLiteral("hiver"), QStringLiteral("hiver hiver"), 2},
        {QStringLiteral("aaaa"), QStringLiteral("aa"), QStringLiteral("b"), QStringLiteral("bb"), 2},
        {QStringLiteral("rien"), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("rien"), 0},
        {QStringLiteral("abc"), QString(), QStringLiteral("y"), QStringLiteral("abc"), 0},
    };
    for (const Case &c : cases) {
        QString text = c.text;
        EXPECT_EQ(replaceAllIgnoringCase(&text, c.word, c.replacement), c.count) << c.text.toStdString();
        EXPECT_EQ(text, c.result);
    }

    // The one-pass replacement gives what rebuilding the text at each occurrence gives.
    QRandomGenerator random(7);
    const QString letters = QStringLiteral("abAB é");
    for (int round = 0; round < 300; ++round) {
        auto pick = [&](int length) {
            QString s;
            for (int i = 0; i < length; ++i) s += letters[random.bounded(letters.size())];
            return s;
        };
        const QString original = pick(random.bounded(40));
        const QString word = pick(1 + random.bounded(3));
        const QString replacement = pick(1 + random.bounded(3));
        QString slow = original;
        qsizetype position = 0, slowCount = 0, slowEnd = 0;
        while ((position = slow.indexOf(word, position, Qt::CaseInsensitive)) >= 0) {
            slow = slow.left(position) + replacement + slow.mid(position + word.size());
            position += replacement.size();
            slowEnd = position;
            ++slowCount;
        }
        QString fast = original;
        qsizetype fastEnd = 0;
        ASSERT_EQ(replaceAllIgnoringCase(&fast, word, replacement, &fastEnd), slowCount);
        ASSERT_EQ(fast, slow) << original.toStdString() << " / " << word.toStdString();
        if (slowCount) ASSERT_EQ(fastEnd, slowEnd);
    }
    EXPECT_EQ(findIgnoringCase(QStringLiteral("Un mot, un MOT"), QStringLiteral("mot"), 4), 11);
    EXPECT_EQ(findIgnoringCase(QStringLiteral("mot"), QStringLiteral("mot"), 1), -1);
    EXPECT_EQ(findIgnoringCase(QStringLiteral("mot"), QStringLiteral("mot"), 99), -1);
}

TEST(EditorText, CaseIgnoringSearchFindsWhatQStringFindsInLongMixedTexts)
{
    // Letters with several cases (ſ and the Kelvin sign fold to s and k, µ to μ), accents, and
    // characters beyond the first 65,536 (surrogate pairs), in texts long enough for the
    // vector scan.
    QStringList units;
    for (const QChar c : QStringLiteral("rRoOsSeEkKſ\u212Aµμ\u039CéÉàÀßİı ")) units << QString(c);
    units << QString::fromUcs4(U"\U0001F600") << QString::fromUcs4(U"\U00010400") << QString::fromUcs4(U"\U00010428");
    QRandomGenerator random(11);
    auto pick = [&](int length, int choices) {
        QString s;
        for (int i = 0; i < length; ++i) s += units[random.bounded(choices)];
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        // One text in four holds surrogates; the words hold them one time in eight.
        const int textChoices = round % 4 == 0 ? int(units.size()) : int(units.size()) - 3;
        const int wordChoices = round % 8 == 0 ? int(units.size()) : int(units.size()) - 3;
        const QString text = pick(random.bounded(300), textChoices);
        const QString word = pick(1 + random.bounded(3), wordChoices);
        const qsizetype from = random.bounded(int(text.size()) + 1);
        ASSERT_EQ(findIgnoringCase(text, word, from), QStringView(text).indexOf(word, from, Qt::CaseInsensitive))
            << text.toStdString() << " / " << word.toStdString() << " from " << from;

        QString slow = text;
        qsizetype position = 0, slowCount = 0;
        while ((position = slow.indexOf(word, position, Qt::CaseInsensitive)) >= 0) {
            slow.replace(position, word.size(), QStringLiteral("x"));
            position += 1;
            ++slowCount;
        }
        QString fast = text;
        ASSERT_EQ(replaceAllIgnoringCase(&fast, word, QStringLiteral("x")), slowCount) << text.toStdString();
        ASSERT_EQ(fast, slow) << text.toStdString() << " / " << word.toStdString();
    }
    EXPECT_TRUE(holdsHtml(QString(5000, u'a') + QStringLiteral("<HtMl>")));
    EXPECT_FALSE(holdsHtml(QString(5000, u'a') + QStringLiteral("<html")));
}

TEST(EditorText, DocumentsKeepTheirEncodingAndLineEnds)
{
    TestFolder folder;
    struct Case { QByteArray bytes; Encoding encoding; bool crlf; QString text; };
    const Case cases[] = {
        {QByteArray("caf\xc3\xa9\n\xe2\x82\xac\n"), Encoding::Utf8, false, QStringLiteral("café\n€\n")},
        {QByteArray("caf\xe9\r\nd\x80j\xe0\r\n"), Encoding::Windows1252, true, QStringLiteral("café\nd€jà\n")},
        {QByteArray(), Encoding::Utf8, false, QString()},
    };
    for (const Case &c : cases) {
        folder.write(QStringLiteral("doc.txt"), c.bytes);
        QString error;
        const auto bytes = readDocumentFile(folder.file(QStringLiteral("doc.txt")), &error);
        ASSERT_TRUE(bytes) << error.toStdString();
        const auto plain = decodePlainText(*bytes, QStringLiteral("doc.txt"), &error);
        ASSERT_TRUE(plain);
        EXPECT_EQ(plain->text, c.text);
        EXPECT_EQ(plain->encoding, c.encoding);
        EXPECT_EQ(plain->crlf, c.crlf);
        EXPECT_EQ(encodePlainText(plain->text, plain->encoding, plain->crlf, &error), c.bytes);
    }

    // A character the old code page has no byte for is refused by name, never turned into "?".
    QString error;
    EXPECT_FALSE(encodePlainText(QStringLiteral("prix → 3 ł"), Encoding::Windows1252, false, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("→"))) << error.toStdString();
    EXPECT_EQ(encodePlainText(QStringLiteral("→"), Encoding::Utf8, false, &error), QByteArray("\xe2\x86\x92"));
}

TEST(EditorText, HostileDocumentFilesAreRefusedWithAMessage)
{
    TestFolder folder;
    folder.write(QStringLiteral("binaire.txt"), QByteArray("\x7f" "ELF\x02\x01\x00\x00", 8));
    QString error;
    const auto binary = readDocumentFile(folder.file(QStringLiteral("binaire.txt")), &error);
    ASSERT_TRUE(binary);
    EXPECT_FALSE(decodePlainText(*binary, QStringLiteral("binaire.txt"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("binaire.txt")));

    // A file over the limit is refused from its size, without reading it.
    const QString big = folder.file(QStringLiteral("grand.txt"));
    {
        QFile file(big);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(200LL * 1024 * 1024)); // sparse: nothing is written
    }
    error.clear();
    EXPECT_FALSE(readDocumentFile(big, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("200 Mo"))) << error.toStdString();

    const QString fifo = folder.file(QStringLiteral("fifo.txt"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    error.clear();
    EXPECT_FALSE(readDocumentFile(fifo, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(readDocumentFile(folder.file(QStringLiteral("absent.txt")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(EditorSettings, TheLineTableRoundTripsAndBadFilesKeepTheDefaults)
{
    EditorSettings settings;
    settings.fontName = QStringLiteral("DejaVu Sans");
    settings.fontSize = 12.5;
    settings.bold = true;
    settings.signature = QStringLiteral("Jean Dupré");
    settings.closing = QStringLiteral("Bien à vous,");
    settings.lastFolder = QStringLiteral("/home/jean/lettres/");
    settings.spellChecker = QStringLiteral("/usr/bin/verif");
    settings.recent = {QStringLiteral("/a.txt"), QStringLiteral("/b.rtf")};
    const QStringList lines = settingsLines(settings);
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[0], QStringLiteral("Libre"));
    EXPECT_EQ(lines[2], QStringLiteral(" 12.5"));
    EXPECT_EQ(lines[3], QStringLiteral("True"));
    EXPECT_EQ(lines[6], QStringLiteral("Libre"));
    EXPECT_EQ(lines[14], QStringLiteral("Libre"));
    EXPECT_EQ(lines[15], QStringLiteral(" 2"));
    const EditorSettings back = parseSettings(lines);
    EXPECT_EQ(settingsLines(back), lines);

    // Short files, garbage numbers and a count beyond the lines present.
    struct Case { QStringList lines; QString font; double size; bool bold; QStringList recent; };
    const Case cases[] = {
        {{}, QStringLiteral("Courier New"), 10, false, {}},
        {{QStringLiteral("Libre"), QStringLiteral("Arial")}, QStringLiteral("Arial"), 10, false, {}},
        {{QStringLiteral("Libre"), QStringLiteral("Arial"), QStringLiteral("abc"), QStringLiteral("vrai?")},
         QStringLiteral("Arial"), 0, false, {}},
        {{QStringLiteral("L"), QStringLiteral("F"), QStringLiteral(" 1e308x"), QStringLiteral("-1")}, QStringLiteral("F"), 0, true, {}},
        {QStringList(15, QStringLiteral("x")) << QStringLiteral(" 99") << QStringLiteral("/un.txt"),
         QStringLiteral("x"), 0, false, {QStringLiteral("/un.txt")}},
        {QStringList(15, QStringLiteral("x")) << QStringLiteral("-4") << QStringLiteral("/un.txt"),
         QStringLiteral("x"), 0, false, {}},
    };
    for (const Case &c : cases) {
        const EditorSettings read = parseSettings(c.lines);
        EXPECT_EQ(read.fontName, c.font) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(read.fontSize, c.size) << c.lines.join(u'|').toStdString();
        EXPECT_EQ(read.bold, c.bold);
        EXPECT_EQ(read.recent, c.recent);
    }

    // On disk: Windows-1252 when it fits, UTF-8 when a path needs it; both read back.
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("redig.ini"));
    QString error;
    ASSERT_TRUE(saveSettings(path, settings, &error)) << error.toStdString();
    EXPECT_TRUE(folder.read(QStringLiteral("redig.ini")).contains("Dupr\xe9\r\n"));
    EXPECT_EQ(settingsLines(readSettings(path)), lines);
    settings.recent.append(QStringLiteral("/home/jean/Документ.txt"));
    ASSERT_TRUE(saveSettings(path, settings, &error));
    EXPECT_EQ(readSettings(path).recent, settings.recent);
    EXPECT_EQ(readSettings(folder.file(QStringLiteral("absent.ini"))).fontName, QStringLiteral("Courier New"));
}

TEST(EditorSettings, RecentFilesHoldFourteenWithoutCaseDuplicates)
{
    EditorSettings settings;
    for (int i = 1; i <= 15; ++i) EXPECT_TRUE(addRecent(&settings, QStringLiteral("/docs/f%1.txt").arg(i)));
    ASSERT_EQ(settings.recent.size(), kMaxRecentFiles);
    EXPECT_EQ(settings.recent.first(), QStringLiteral("/docs/f2.txt"));
    EXPECT_EQ(settings.recent.last(), QStringLiteral("/docs/f15.txt"));
    EXPECT_FALSE(addRecent(&settings, QStringLiteral("/DOCS/F7.TXT")));
    EXPECT_EQ(settings.recent.size(), kMaxRecentFiles);
    EXPECT_EQ(settings.lastFolder, QStringLiteral("/DOCS/"));
}
