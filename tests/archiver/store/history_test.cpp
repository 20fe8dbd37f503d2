#include "archiver/store/history.h"

#include "tests/support/test_folder.h"

#include <QFile>

#include <gtest/gtest.h>

using lists::AddOutcome;

// Texts join the history once each, compared exactly (case included), at the end of the file,
// whose other bytes stay as they were; a text that cannot be stored leaves the file untouched.
TEST(History, AddsEachTextOnceAtTheEndKeepingTheFile)
{
    TestFolder folder;
    const QString path = history::file(folder.path());
    EXPECT_EQ(path, folder.file(QStringLiteral("rechercher.lst")));
    const struct
    {
        QString text;
        AddOutcome outcome;
        QByteArray file; // afterwards
    } steps[] = {
        {QStringLiteral("ROSE"), AddOutcome::Added, "ROSE\r\n"},
        {QStringLiteral("ROSE"), AddOutcome::AlreadyPresent, "ROSE\r\n"},
        {QStringLiteral("ÉTÉ"), AddOutcome::Added, "ROSE\r\n\xC9T\xC9\r\n"},
        {QStringLiteral("rose"), AddOutcome::Added, "ROSE\r\n\xC9T\xC9\r\nrose\r\n"},
        {QString(), AddOutcome::Empty, "ROSE\r\n\xC9T\xC9\r\nrose\r\n"},
        {QStringLiteral("A\nB"), AddOutcome::Failed, "ROSE\r\n\xC9T\xC9\r\nrose\r\n"},
        {QStringLiteral("CAF\u20AC\u4E2D"), AddOutcome::Failed, "ROSE\r\n\xC9T\xC9\r\nrose\r\n"},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.text.toStdString());
        QString error;
        EXPECT_EQ(history::add(folder.lock(), path, s.text, &error), s.outcome);
        EXPECT_EQ(error.isEmpty(), s.outcome != AddOutcome::Failed) << error.toStdString();
        EXPECT_EQ(folder.read(QStringLiteral("rechercher.lst")), s.file);
    }
    EXPECT_EQ(history::load(path), (QStringList{QStringLiteral("ROSE"), QStringLiteral("ÉTÉ"), QStringLiteral("rose")}));

    // A file written elsewhere: found without case, its LF lines and blank line kept byte for byte.
    TestFolder other;
    other.write(QStringLiteral("RECHERCHER.LST"), "JAZZ\n\nBLUES");
    const QString found = history::file(other.path());
    EXPECT_EQ(found, other.file(QStringLiteral("RECHERCHER.LST")));
    EXPECT_EQ(history::load(found), (QStringList{QStringLiteral("JAZZ"), QStringLiteral("BLUES")}));
    EXPECT_EQ(history::add(other.lock(), found, QStringLiteral("BLUES"), nullptr), AddOutcome::AlreadyPresent);
    EXPECT_EQ(history::add(other.lock(), found, QStringLiteral("SOUL"), nullptr), AddOutcome::Added);
    EXPECT_EQ(other.read(QStringLiteral("RECHERCHER.LST")), "JAZZ\r\n\r\nBLUES\r\nSOUL\r\n");
    EXPECT_FALSE(other.exists(QStringLiteral("rechercher.lst")));
}

// Rewriting and clearing: no line leaves an empty file, clearing deletes it, a missing file is
// already clear, and a file marked read-only is neither rewritten nor deleted (even by root).
TEST(History, RewritesAndClearsUnlessTheFileIsReadOnly)
{
    TestFolder folder;
    const QString path = history::file(folder.path());
    const QString name = QStringLiteral("rechercher.lst");
    QString error;
    ASSERT_TRUE(history::rewrite(folder.lock(), path, {QStringLiteral("JAZZ"), QStringLiteral("ÉTÉ")}, &error));
    EXPECT_EQ(folder.read(name), "JAZZ\r\n\xC9T\xC9\r\n");
    ASSERT_TRUE(history::rewrite(folder.lock(), path, {}, &error));
    EXPECT_TRUE(folder.exists(name));
    EXPECT_EQ(folder.read(name), QByteArray());
    ASSERT_TRUE(history::clear(folder.lock(), path, &error));
    EXPECT_FALSE(folder.exists(name));
    EXPECT_TRUE(history::clear(folder.lock(), path, &error));

    folder.write(name, "ROSE\r\n");
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    error.clear();
    EXPECT_FALSE(history::rewrite(folder.lock(), path, {QStringLiteral("JAZZ")}, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    error.clear();
    EXPECT_FALSE(history::clear(folder.lock(), path, &error));
    EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_EQ(history::add(folder.lock(), path, QStringLiteral("JAZZ"), &error), AddOutcome::Failed);
    EXPECT_EQ(folder.read(name), "ROSE\r\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    // The lock of another folder lets nothing be changed here.
    TestFolder elsewhere;
    error.clear();
    EXPECT_FALSE(history::clear(elsewhere.lock(), path, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(folder.exists(name));
}
