#include "archiver/operations/finder.h"

#include "common/text/cp1252.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

// Each file is looked for as its full path anywhere in a line, case ignored, and counted once
// per letter file that mentions it; files no line names are listed with their own case.
TEST_F(Finder, CountsEachFileOncePerLetterFileAndListsTheOthers)
{
    for (const char *name : {"PHOTO.JPG", "NOTE.TXT", "Note.txt", "partout.doc", "DANS_NOTE.TXT", "A.TXT",
                             "caf\xc3\xa9.txt", "\xe2\x82\xac uro.txt", "ab.txt"})
        touch(QString::fromUtf8(name));
    const QString p = place();
    // photo.jpg in lower case; partout.doc in three letter files and twice in one; a path only
    // in a note; A.TXT only as the start of a longer name (a substring still counts); the name
    // with "€" is stored as its Windows-1252 byte; ab.txt is named nowhere.
    write(QStringLiteral("P.MFI"), line(QStringLiteral("PHOTO"), QString(), p + QStringLiteral("photo.jpg")) +
                                       line(QStringLiteral("PARTOUT"), QString(), p + QStringLiteral("partout.doc")) +
                                       line(QStringLiteral("PARTOUT 2"), QString(), p + QStringLiteral("PARTOUT.DOC")));
    write(QStringLiteral("Q.MFI"), line(QStringLiteral("QUE"), p + QStringLiteral("partout.doc"), QString()) +
                                       line(QStringLiteral("QUI"), QStringLiteral("voir ") + p +
                                                                     QStringLiteral("dans_note.txt ici"), QString()));
    write(QStringLiteral("R.MFI"), line(QStringLiteral("R"), QString(), p + QStringLiteral("partout.docx")) +
                                       line(QStringLiteral("S"), QString(), p + QStringLiteral("A.TXT2")) +
                                       line(QStringLiteral("T"), QString(), p + QStringLiteral("CAF\u00C9.TXT")));
    write(QStringLiteral("E.MFI"), line(QStringLiteral("EURO"), QString(), p + QStringLiteral("\u20AC URO.TXT")));

    const QStringList names = finder::listFiles(p, QStringLiteral("*.*"));
    ASSERT_EQ(names.size(), 9);
    const finder::Analysis a = finder::analyse(Catalogue(path()), p, names);
    EXPECT_EQ(a.analysed, 9);
    // PHOTO 1, partout 3 (P, Q, R), DANS_NOTE 1, A.TXT 1, café 1, € uro 1.
    EXPECT_EQ(a.catalogued, 8);
    EXPECT_EQ(a.uncatalogued, (QStringList{p + QStringLiteral("NOTE.TXT"), p + QStringLiteral("Note.txt"),
                                           p + QStringLiteral("ab.txt")}));
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
