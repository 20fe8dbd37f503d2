#include "archiver/store/autorun.h"
#include "archiver/store/backup.h"
#include "archiver/store/undo.h"

#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(Autorun, WritesReadsBackAndRemovesTheAutostartEntry)
{
    TestFolder folder;
    EXPECT_EQ(autorun::LireAutorun(), QLatin1String(autorun::kNone));
    EXPECT_TRUE(autorun::entryFile().startsWith(folder.path() + QStringLiteral(".config/autostart/")));
    ASSERT_TRUE(autorun::EcrireAutorun({QStringLiteral("env"), QStringLiteral("TALVO5_HOME=/data/100% moi/"),
                                        QStringLiteral("/opt/mes programmes/talvo5")}));
    EXPECT_EQ(autorun::LireAutorun(), QStringLiteral("env TALVO5_HOME=/data/100% moi/ /opt/mes programmes/talvo5"));
    EXPECT_TRUE(folder.read(QStringLiteral(".config/autostart/talvo5.desktop"))
                    .contains("Exec=env \"TALVO5_HOME=/data/100%% moi/\" \"/opt/mes programmes/talvo5\"\n"));
    // An entry switched off on the desktop's side counts as no autorun.
    folder.write(QStringLiteral(".config/autostart/talvo5.desktop"),
                 "[Desktop Entry]\nExec=/opt/talvo5\nHidden=true\n");
    EXPECT_EQ(autorun::LireAutorun(), QLatin1String(autorun::kNone));
    EXPECT_TRUE(autorun::EffacerAutorun());
    EXPECT_EQ(autorun::LireAutorun(QStringLiteral("none")), QStringLiteral("none"));
    EXPECT_TRUE(autorun::EffacerAutorun()); // removing what is not there is fine
}

TEST(Autorun, AFolderThatCannotBeMadeChangesNothing)
{
    TestFolder folder;
    folder.write(QStringLiteral(".config/autostart"), "a file where the folder should be");
    QString error;
    EXPECT_FALSE(autorun::EcrireAutorun({QStringLiteral("/x/talvo5")}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(autorun::LireAutorun(), QLatin1String(autorun::kNone));
}

// Each backup is a dated folder of its own, listed newest first with its record count; a restore
// puts back exactly what a backup holds (a letter file it lacks becomes empty), keeps the
// catalogue it replaces as a backup of its own, and is undone like any operation; only the last
// ones are kept, the backup being restored never among those removed.
TEST(Backup, EachBackupIsWholeAndARestoreKeepsWhatItReplaces)
{
    TestFolder folder;
    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\n");
    folder.write(QStringLiteral("b.mfi"), "BOIS@1[]#\xA7\r\nBOUT@1[]#\xA7\r\n");
    folder.write(QStringLiteral("TALVO.CAT"), "TEXTES\r\n");
    folder.write(QStringLiteral("TALVO.SUP"), "CD 1\r\n");
    const auto catalogue = [&] {
        return folder.read(QStringLiteral("A.MFI")) + '|' + folder.read(QStringLiteral("b.mfi")) + '|' +
               folder.read(QStringLiteral("C.MFI")) + '|' + folder.read(QStringLiteral("TALVO.CAT"));
    };
    EXPECT_FALSE(backup::exists(folder.path()));
    QString error;
    const auto first = backup::makeBackup(folder.lock(), &error);
    ASSERT_TRUE(first) << error.toStdString();
    EXPECT_EQ(first->records, 3);
    const QByteArray state1 = catalogue();

    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\nAJOUT@2[]#\xA7\r\n");
    folder.write(QStringLiteral("C.MFI"), "CAP@1[]#\xA7\r\n"); // not there at the first backup
    folder.write(QStringLiteral("TALVO.CAT"), "TEXTES\r\nNOUVELLE\r\n");
    const QByteArray state2 = catalogue();
    const auto second = backup::makeBackup(folder.lock(), &error);
    ASSERT_TRUE(second) << error.toStdString();
    EXPECT_EQ(second->records, 5);
    const QList<backup::Backup> listed = backup::list(folder.path());
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0].id, second->id);
    EXPECT_EQ(listed[1].id, first->id);

    ASSERT_TRUE(backup::restore(folder.lock(), listed[1], &error)) << error.toStdString();
    EXPECT_EQ(catalogue(), state1);
    EXPECT_EQ(folder.read(QStringLiteral("C.MFI")), "");
    EXPECT_FALSE(folder.exists(QStringLiteral("B.MFI"))); // the file of its own spelling
    const QList<backup::Backup> after = backup::list(folder.path());
    ASSERT_EQ(after.size(), 3); // the catalogue replaced, kept as the newest backup
    EXPECT_EQ(after[0].records, 5);
    QString title;
    ASSERT_TRUE(undo::undoLast(folder.lock(), folder.path(), &title, &error)) << error.toStdString();
    EXPECT_EQ(catalogue(), state2);

    for (int i = 0; i < 4; ++i) ASSERT_TRUE(backup::makeBackup(folder.lock(), &error, 2)) << error.toStdString();
    EXPECT_EQ(backup::list(folder.path()).size(), 2);
    const backup::Backup oldest = backup::list(folder.path()).back();
    ASSERT_TRUE(backup::restore(folder.lock(), oldest, &error, 2)) << error.toStdString();
    EXPECT_EQ(backup::list(folder.path()).back().id, oldest.id); // kept, though beyond the two

    // A backup spoilt since (a copy removed): no longer listed, and not restored.
    const backup::Backup spoilt = backup::list(folder.path()).front();
    QFile::remove(spoilt.folder + QStringLiteral("A.mfi"));
    EXPECT_NE(backup::list(folder.path()).front().id, spoilt.id);
    const QByteArray before = catalogue();
    EXPECT_FALSE(backup::restore(folder.lock(), spoilt, &error));
    EXPECT_EQ(catalogue(), before);
}

// A backup that cannot be made says why and leaves the catalogue and the earlier backups as
// they were; copies of the earlier single-generation form are listed, last, and restorable.
TEST(Backup, AFailedBackupChangesNothingAndTheEarlierFormIsKept)
{
    TestFolder folder;
    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\n");
    folder.write(QStringLiteral("BACKUP"), "a file where the folder should be");
    QString error;
    EXPECT_FALSE(backup::makeBackup(folder.lock(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "ABRI@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("BACKUP")), "a file where the folder should be");

    QFile::remove(folder.file(QStringLiteral("BACKUP")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("BACKUP")));
    folder.write(QStringLiteral("BACKUP/A.mfi"), "ANCIEN@1[]#\xA7\r\n");
    ASSERT_TRUE(backup::makeBackup(folder.lock(), &error)) << error.toStdString();
    const QList<backup::Backup> listed = backup::list(folder.path());
    ASSERT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed.back().legacy);
    EXPECT_EQ(listed.back().records, 1);
    ASSERT_TRUE(backup::restore(folder.lock(), listed.back(), &error)) << error.toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "ANCIEN@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("BACKUP/A.mfi")), "ANCIEN@1[]#\xA7\r\n");
}
