#include "archiver/store/autorun.h"
#include "archiver/store/backup.h"

#include "tests/support/test_folder.h"

#include <QDir>

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

TEST(Backup, CopiesTheCatalogueAndRestoresItWhole)
{
    TestFolder folder;
    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\n");
    folder.write(QStringLiteral("b.mfi"), "BOIS@1[]#\xA7\r\n");
    folder.write(QStringLiteral("TALVO.CAT"), "TEXTES\r\n");
    folder.write(QStringLiteral("TALVO.SUP"), "CD 1\r\n");
    EXPECT_FALSE(backup::exists(folder.path()));
    EXPECT_TRUE(backup::restore(folder.lock()).isEmpty()); // without a backup: nothing at all
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "ABRI@1[]#\xA7\r\n");

    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("BACKUP")));
    EXPECT_EQ(backup::makeBackup(folder.lock()), QStringList());
    EXPECT_TRUE(backup::exists(folder.path()));
    EXPECT_EQ(folder.read(QStringLiteral("BACKUP/A.mfi")), "ABRI@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("BACKUP/B.mfi")), "BOIS@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("BACKUP/TALVO.SUP")), "CD 1\r\n");
    EXPECT_FALSE(folder.exists(QStringLiteral("BACKUP/C.mfi"))); // missing files are passed over

    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\nAJOUT@2[]#\xA7\r\n");
    folder.write(QStringLiteral("b.mfi"), "");
    folder.write(QStringLiteral("TALVO.CAT"), "TEXTES\r\nNOUVELLE\r\n");
    EXPECT_EQ(backup::restore(folder.lock()), QStringList());
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "ABRI@1[]#\xA7\r\n");
    EXPECT_EQ(folder.read(QStringLiteral("b.mfi")), "BOIS@1[]#\xA7\r\n");
    EXPECT_FALSE(folder.exists(QStringLiteral("B.MFI")));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.CAT")), "TEXTES\r\n");
}

TEST(Backup, ReportsEachCopyThatFails)
{
    TestFolder folder;
    folder.write(QStringLiteral("A.MFI"), "ABRI@1[]#\xA7\r\n");
    folder.write(QStringLiteral("BACKUP"), "a file where the folder should be");
    const QStringList errors = backup::makeBackup(folder.lock());
    ASSERT_FALSE(errors.isEmpty());
    EXPECT_EQ(folder.read(QStringLiteral("A.MFI")), "ABRI@1[]#\xA7\r\n");
}
