#include "archiver/operations/finder.h"

#include "common/text/cp1252.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include <sys/stat.h>

namespace {

// A catalogue in one test folder and the folder of files to look for in another.
struct Finder : ::testing::Test, TestFolder
{
    QTemporaryDir files;
    QString place() const { return files.path() + u'/'; }
    void touch(const QString &name) const
    {
        QFile f(place() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    // Windows-1252 bytes of a line naming path.
    static QByteArray line(const QString &key, const QString &note, const QString &target)
    {
        return *cp1252::encode(key + QStringLiteral("@01-01-2001[]DIVERS#") + note + u'\u00A7' + target) + "\r\n";
    }
};

} // namespace

// A file is catalogued when a record's target is its path exactly, and counted once per letter
// file that names it; the path in another case, as the start of a longer name, in a sub-folder
// or inside a note names another file. Names outside ASCII compare as their Windows-1252 bytes.
TEST_F(Finder, CountsTheFilesWhoseExactPathIsATarget)
{
    const QString p = place();
    const struct {
        const char *name; // a file of the folder
        QStringList
            lines; // letter file, then the target ("note:" for a note), of each line naming it
        int count; // letter files counted as naming it
    } cases[] = {
        {"Photo.jpg", {"P", "Photo.jpg"}, 1},
        {"photo.JPG", {}, 0}, // Photo.jpg is another file here
        {"partout.doc",
         {"P", "partout.doc", "P", "partout.doc", "Q", "partout.doc", "R", "partout.doc"},
         3},
        {"a.txt", {"R", "a.txt.bak", "R", "A.TXT", "R", "sous/a.txt", "R", "note:a.txt"}, 0},
        {"a.txt.bak", {}, 1}, // named by a.txt's first line
        {"caf\xc3\xa9.txt", {"T", "caf\xc3\xa9.txt"}, 1},
        {"\xe2\x82\xac uro.txt", {"E", "\xe2\x82\xac uro.txt"}, 1},
        {"ab.txt", {}, 0},
    };
    std::map<QString, QByteArray> letters;
    int expected = 0;
    QStringList uncatalogued;
    for (const auto &c : cases) {
        const QString name = QString::fromUtf8(c.name);
        touch(name);
        for (qsizetype i = 0; i + 1 < c.lines.size(); i += 2) {
            const QString &what = c.lines[i + 1];
            const bool note = what.startsWith(QLatin1String("note:"));
            const QString path = p + (note ? what.mid(5) : what);
            letters[c.lines[i]] += line(QStringLiteral("K") + c.lines[i], note ? path : QString(),
                                        note ? QString() : path);
        }
        expected += c.count;
        if (c.count == 0) uncatalogued.append(p + name);
    }
    for (const auto &[letter, bytes] : letters)
        write(letter + QStringLiteral(".MFI"), bytes);

    const QStringList names = finder::listFiles(p, QStringLiteral("*.*"));
    ASSERT_EQ(names.size(), std::size(cases));
    const finder::Analysis a = finder::analyse(Catalogue(path()), p, names);
    EXPECT_EQ(a.analysed, qsizetype(std::size(cases)));
    EXPECT_EQ(a.catalogued, expected);
    std::sort(uncatalogued.begin(), uncatalogued.end());
    QStringList listed = a.uncatalogued;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, uncatalogued);
    EXPECT_TRUE(a.unreadable.isEmpty());
    EXPECT_FALSE(a.cancelled);
}

// The listing takes plain files whose names match the pattern without case; what is not a
// file is left out, and a name the catalogue cannot hold is simply uncatalogued.
TEST_F(Finder, ListsThePlainFilesThePatternMatches)
{
    for (const char *name : {"a.JPG", "b.jpg", "c.jpeg", "d.txt", "sans_point", ".cache.jpg", "ligne\nfeed.jpg",
                             "\xe6\xbc\xa2.jpg"})
        touch(QString::fromUtf8(name));
    QDir(place()).mkdir(QStringLiteral("dossier.jpg"));
    ASSERT_EQ(mkfifo(QFile::encodeName(place() + QStringLiteral("fifo.jpg")).constData(), 0600), 0);
    QFile::link(QStringLiteral("/nowhere/at/all"), place() + QStringLiteral("broken.jpg"));
    const struct
    {
        const char *pattern;
        int count;
    } cases[] = {{"*.JPG", 4}, {"*.jpg", 4}, {"*.*", 7}, {"", 7}, {"?.txt", 1}, {"*.jp?", 4}, {"nothing", 0}};
    for (const auto &c : cases)
        EXPECT_EQ(finder::listFiles(place(), QLatin1String(c.pattern)).size(), c.count) << c.pattern;

    // The catalogue names everything, yet the line feed and the character outside the code page
    // cannot be in any line.
    QByteArray all;
    for (const QString &n : finder::listFiles(place(), QStringLiteral("*.jpg"))) {
        const QByteArray latin = (place() + n).toLatin1();
        all += "X@01-01-2001[]D#\xA7" + latin + "\r\n";
    }
    write(QStringLiteral("X.MFI"), all);
    const finder::Analysis a =
        finder::analyse(Catalogue(path()), place(), finder::listFiles(place(), QStringLiteral("*.jpg")));
    EXPECT_EQ(a.catalogued, 2);
    EXPECT_EQ(a.uncatalogued.size(), 2);
}

// A letter file that cannot be read is named and passed over; a cancel leaves no result.
TEST_F(Finder, NamesAnUnreadableLetterFileAndStopsWhenCancelled)
{
    touch(QStringLiteral("F.TXT"));
    QDir(path()).mkdir(QStringLiteral("F.MFI"));
    write(QStringLiteral("G.MFI"), line(QStringLiteral("G"), QString(), place() + QStringLiteral("F.TXT")));
    const finder::Analysis a = finder::analyse(Catalogue(path()), place(), {QStringLiteral("F.TXT")});
    EXPECT_EQ(a.catalogued, 1);
    ASSERT_EQ(a.unreadable.size(), 1);
    EXPECT_TRUE(a.unreadable.front().contains(QStringLiteral("F.MFI")));

    for (const int stopAt : {0, 20, 36}) {
        int calls = 0;
        const finder::Analysis stopped = finder::analyse(Catalogue(path()), place(), {QStringLiteral("F.TXT")},
                                                         [&](int done) {
                                                             ++calls;
                                                             return done < stopAt;
                                                         });
        EXPECT_TRUE(stopped.cancelled) << stopAt;
        EXPECT_EQ(stopped.analysed, 0);
        EXPECT_TRUE(stopped.uncatalogued.isEmpty());
        EXPECT_EQ(calls, stopAt + 1);
    }
}

// Names that are not valid UTF-8 (a Latin-1 disk, stray bytes) are listed and counted as
// uncatalogued, shown with their bad bytes written out, and matched by the pattern; the tool
// prints them the same way.
TEST_F(Finder, NamesThatAreNotTextAreListedWithTheirBytes)
{
    touch(QStringLiteral("propre.jpg"));
    const QByteArray dir = QFile::encodeName(place());
    for (const QByteArray name : {QByteArray("caf\xE9.jpg"), QByteArray("\xFF\xFE.txt"), QByteArray("r\xC3\xA9sum\xE9.JPG")}) {
        const QByteArray path = dir + name;
        FILE *out = std::fopen(path.constData(), "w");
        ASSERT_TRUE(out) << path.toStdString();
        std::fclose(out);
    }
    const struct
    {
        QString pattern;
        QStringList shown;
    } cases[] = {
        {QStringLiteral("*.*"), {place() + QStringLiteral("caf\\xE9.jpg"), place() + QStringLiteral("r\u00E9sum\\xE9.JPG"),
                                 place() + QStringLiteral("\\xFF\\xFE.txt")}},
        {QStringLiteral("*.jpg"), {place() + QStringLiteral("caf\\xE9.jpg"), place() + QStringLiteral("r\u00E9sum\\xE9.JPG")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pattern.toStdString());
        const finder::Analysis a = finder::find(Catalogue(path()), place(), c.pattern);
        QStringList shown;
        for (const QByteArray &p : a.undecodable) shown.append(finder::shownBytes(p));
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(a.analysed, c.shown.size() + 1); // propre.jpg too
        EXPECT_EQ(a.uncatalogued, QStringList{place() + QStringLiteral("propre.jpg")});
        const CliRun r = runCli(*this, {QStringLiteral("uncatalogued"), place(), QStringLiteral("--pattern"), c.pattern});
        for (const QString &s : c.shown) EXPECT_TRUE(r.outText().contains(s + u'\n')) << r.outText().toStdString();
        EXPECT_TRUE(r.errText().contains(QStringLiteral("%1 fichier(s) non répertorié(s)").arg(c.shown.size() + 1)))
            << r.errText().toStdString();
    }
}
