#include "archiver/store/first_run.h"
#include "archiver/store/record.h"
#include "archiver/store/settings.h"

#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

TEST(FirstRun, CreatesTheWorkFiles)
{
    TestFolder folder;
    EXPECT_FALSE(firstrun::workFilesExist(folder.path()));
    QString error;
    ASSERT_TRUE(firstrun::InitialiserFichiers(folder.lock(), QStringLiteral("07-12-2026"), &error))
        << error.toStdString();
    EXPECT_TRUE(firstrun::workFilesExist(folder.path()));
    for (const char c : QByteArray(record::kLetterList)) {
        const QString name = QString(QLatin1Char(c)) + QStringLiteral(".MFI");
        EXPECT_TRUE(folder.exists(name)) << name.toStdString();
        if (c != 'U') {
            EXPECT_TRUE(folder.read(name).isEmpty());
        }
    }
    const QList<QByteArray> examples = folder.read(QStringLiteral("U.MFI")).split('\n');
    ASSERT_EQ(examples.size(), 7); // six lines and the empty rest after the last line end
    EXPECT_TRUE(examples[0].startsWith("UN EXEMPLE D'IMAGE : VERDURE@07-12-2026[]IMAGES#"));
    EXPECT_TRUE(examples[0].endsWith("\xA7" + QFile::encodeName(folder.path()) + "FORET.BMP\r"));
    EXPECT_TRUE(examples[1].startsWith("UN EXEMPLE DE SON : BACH@07-12-2026[]SONS#"));
    EXPECT_TRUE(examples[2].startsWith("UN EXEMPLE DE TEXTE : LISEZ-MOI@"));
    EXPECT_TRUE(examples[3].startsWith("UN EXEMPLE D'ADRESSE : "));
    EXPECT_TRUE(examples[4].startsWith("UN EXEMPLE D'ADRESSE E-MAIL : L'AUTEUR@07-12-2026[]E-MAIL#"));
    EXPECT_TRUE(examples[5].startsWith("UN EXEMPLE DE SITE WEB : "));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(record::parse(QString::fromLatin1(examples[i].chopped(1))).has_value());
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), "TEXTES\r\nSONS\r\nIMAGES\r\nCARNET D'ADRESSES\r\nWEB\r\nE-MAIL\r\n");
    EXPECT_TRUE(folder.exists(QStringLiteral("TALVO.SUP")));
    EXPECT_TRUE(folder.read(QStringLiteral("TALVO.SUP")).isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("bloc_not.rtf")), "[Premiere utilisation] d'Talvo : \r\n07-12-2026\r\n");
    EXPECT_EQ(settings::languageFileSetting(), folder.file(QStringLiteral("francais.lng")));
}

TEST(FirstRun, NeverEmptiesFilesThatAlreadyHoldData)
{
    TestFolder folder;
    folder.write(QStringLiteral("B.MFI"), "BIJOU@1[]#\xA7\r\n");
    folder.write(QStringLiteral("U.MFI"), "UNIQUE@1[]#\xA7\r\n");
    folder.write(QStringLiteral("TALVO.CAT"), "FACTURES\r\nWEB\r\n");
    folder.write(QStringLiteral("TALVO.SUP"), "CD 1\r\n");
    QString error;
    ASSERT_TRUE(firstrun::InitialiserFichiers(folder.lock(), QStringLiteral("01-01-2027"), &error));
    EXPECT_EQ(folder.read(QStringLiteral("B.MFI")), "BIJOU@1[]#\xA7\r\n");
    EXPECT_TRUE(folder.read(QStringLiteral("U.MFI")).startsWith("UNIQUE@1[]#\xA7\r\nUN EXEMPLE D'IMAGE"));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")),
              "FACTURES\r\nWEB\r\nTEXTES\r\nSONS\r\nIMAGES\r\nCARNET D'ADRESSES\r\nE-MAIL\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.SUP")), "CD 1\r\n");
}

TEST(FirstRun, SubFoldersAreCreatedAfterTheirMessagesInOrder)
{
    TestFolder folder;
    QStringList shown;
    firstrun::ensureSubFolders(folder.path(), [&](const QString &m) { shown.append(m); });
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("NOTES")));
    EXPECT_TRUE(shown[1].contains(QStringLiteral("BACKUP")));
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("NOTES"))).exists());
    EXPECT_TRUE(QDir(folder.file(QStringLiteral("BACKUP"))).exists());
    shown.clear();
    firstrun::ensureSubFolders(folder.path(), [&](const QString &m) { shown.append(m); });
    EXPECT_TRUE(shown.isEmpty());

    TestFolder other;
    QDir(other.path()).mkdir(QStringLiteral("Notes")); // a folder copied from elsewhere
    firstrun::ensureSubFolders(other.path(), [&](const QString &m) { shown.append(m); });
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("BACKUP")));
}

// Every start gives the program folder the shipped files it lacks, and never replaces one that is
// there, whatever its spelling: a translation the user edited stays his.
TEST(FirstRun, ShippedFilesAreCopiedWhenMissingAndNeverReplaced)
{
    TestFolder shipped, folder;
    shipped.write(QStringLiteral("english.lng"), "[MSG]\r\n1=shipped\r\n");
    shipped.write(QStringLiteral("FORET.BMP"), "BM picture");
    QDir(shipped.path()).mkpath(QStringLiteral("aide"));
    shipped.write(QStringLiteral("aide/menu_doc.htm"), "<p>aide</p>");
    folder.write(QStringLiteral("English.lng"), "[MSG]\r\n1=mine\r\n");
    const QStringList names{QStringLiteral("english.lng"), QStringLiteral("FORET.BMP"),
                            QStringLiteral("aide/menu_doc.htm"), QStringLiteral("absent.txt")};

    EXPECT_EQ(firstrun::copyShippedFiles(folder.lock(), shipped.path(), names), QStringList());
    EXPECT_EQ(folder.read(QStringLiteral("English.lng")), QByteArray("[MSG]\r\n1=mine\r\n"));
    EXPECT_FALSE(folder.exists(QStringLiteral("english.lng")));
    EXPECT_EQ(folder.read(QStringLiteral("FORET.BMP")), QByteArray("BM picture"));
    EXPECT_EQ(folder.read(QStringLiteral("aide/menu_doc.htm")), QByteArray("<p>aide</p>"));
    EXPECT_FALSE(folder.exists(QStringLiteral("absent.txt")));

    // A second start changes nothing, and a folder that is the shipped one is left alone.
    folder.write(QStringLiteral("FORET.BMP"), "edited");
    EXPECT_EQ(firstrun::copyShippedFiles(folder.lock(), shipped.path(), names), QStringList());
    EXPECT_EQ(folder.read(QStringLiteral("FORET.BMP")), QByteArray("edited"));
    EXPECT_EQ(firstrun::copyShippedFiles(shipped.lock(), shipped.path(), names), QStringList());

    // The build's list holds every shipped file, and a folder that cannot take them says so.
    const QStringList all = firstrun::copyShippedFiles(folder.lock(), shippedFolder());
    EXPECT_EQ(all, QStringList());
    for (const char *name : {"francais.lng", "LISEZMOI.TXT", "BACH.MID"})
        EXPECT_TRUE(folder.exists(QLatin1String(name))) << name;
    TestFolder blocked;
    blocked.write(QStringLiteral("AIDE"), "a file where the shipped folder goes");
    const QStringList failures = firstrun::copyShippedFiles(blocked.lock(), shipped.path(), names);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures.front().contains(blocked.file(QStringLiteral("AIDE")))) << failures.front().toStdString();
    EXPECT_TRUE(blocked.exists(QStringLiteral("FORET.BMP")));
}
