#include "archiver/forms/config.h"

#include "common/text/cp1252.h"
#include "form_fixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

namespace {

struct Config : FormFixture
{
    void open()
    {
        desktop.messages.clear();
        desktop.log.clear();
        form = std::make_unique<config>(*session, desktop);
        form->show();
    }
    QLineEdit *box(const char *name) const { return child<QLineEdit>(form.get(), name); }
    QString program(const QString &name, QFile::Permissions mode)
    {
        write(name, "#!/bin/sh\n");
        EXPECT_TRUE(QFile::setPermissions(file(name), mode));
        return file(name);
    }

    std::unique_ptr<config> form;
};

constexpr QFile::Permissions kPlain = QFile::ReadOwner | QFile::WriteOwner;
constexpr QFile::Permissions kExecutable = kPlain | QFile::ExeOwner;

} // namespace

TEST_F(Config, OpensOnTheSettingsAndSpeaksBothLanguages)
{
    session->settings.zipProgram = QStringLiteral("/usr/bin/Zip");
    session->settings.soundFolder = QStringLiteral("/home/Anne/Sons/");
    session->settings.imageFolder = QStringLiteral("/home/Anne/Images/");
    for (const bool show : {true, false}) {
        session->settings.showAssociatedFile = show;
        open();
        EXPECT_EQ(box("Texte1")->text(), QStringLiteral("/usr/bin/Zip"));
        EXPECT_EQ(box("Texte2")->text(), QStringLiteral("/home/Anne/Sons/"));
        EXPECT_EQ(box("Texte3")->text(), QStringLiteral("/home/Anne/Images/"));
        EXPECT_EQ(child<QCheckBox>(form.get(), "Coche1")->isChecked(), show);
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Configuration d' Talvo"));
    for (const bool english : {false, true}) {
        if (english) speakEnglish();
        open();
        EXPECT_FALSE(box("Texte3")->toolTip().isEmpty());
        EXPECT_FALSE(child<QCheckBox>(form.get(), "Coche1")->toolTip().isEmpty());
        QSet<QChar> seen;
        QStringList captions;
        for (const auto *b : form->findChildren<QAbstractButton *>()) captions.append(b->text());
        for (const auto *l : form->findChildren<QLabel *>())
            if (l->buddy()) captions.append(l->text());
        EXPECT_EQ(captions.size(), 5);
        for (const QString &c : captions) {
            const qsizetype at = c.indexOf(u'&');
            ASSERT_TRUE(at >= 0 && at + 1 < c.size()) << c.toStdString();
            EXPECT_FALSE(seen.contains(c.at(at + 1).toUpper())) << c.toStdString();
            seen.insert(c.at(at + 1).toUpper());
        }
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Talvo configuration"));
}

// Whatever closes the dialog takes the boxes over, tidied; a character that cannot be stored
// keeps it open with everything as typed and the settings as they were.
TEST_F(Config, ClosingTakesTheBoxesOverTidied)
{
    QDir(path()).mkdir(QStringLiteral("Outils"));
    const QString tool = program(QStringLiteral("Outils/MonZip"), kExecutable);
    const QString plain = program(QStringLiteral("Outils/notes.txt"), kPlain);
    const QString folderTool = file(QStringLiteral("Outils"));
    const struct
    {
        const char *what;
        QString zip, sounds, images;
        bool show;
        // afterwards
        QString zipSetting, soundSetting, imageSetting;
        bool zipEnabled;
        QString soundBox;
        bool closed;
        QStringList messages;
    } cases[] = {
        {"executable zip tool kept with its case", tool, QString(), QString(), true, tool, QString(), QString(), true,
         QString(), true, {}},
        {"plain file discarded", plain, QStringLiteral("/tmp"), QStringLiteral("/home/Anne/Images/"), false, QString(),
         QStringLiteral("/tmp/"), QStringLiteral("/home/Anne/Images/"), false, QStringLiteral("/tmp/"), true, {}},
        {"folder as zip tool discarded", folderTool, QStringLiteral("/"), QStringLiteral("/a"), true, QString(),
         QString(), QStringLiteral("/a/"), false, QStringLiteral("/"), true, {}},
        {"missing zip tool discarded", QStringLiteral("/nulle/part/ZIP.EXE"), QStringLiteral("a"), QStringLiteral("ab"),
         true, QString(), QString(), QStringLiteral("ab/"), false, QStringLiteral("a/"), true, {}},
        {"unstorable character refused", tool, QStringLiteral("/tmp/\u4E2D"), QString(), false,
         QStringLiteral("/old/zip"), QStringLiteral("/old/sons/"), QStringLiteral("/old/images/"), false,
         QStringLiteral("/tmp/\u4E2D"), false, {cp1252::unstorableMessage(0x4E2D)}},
        {"control character refused", tool, QString(), QStringLiteral("/tmp/\t"), false, QStringLiteral("/old/zip"),
         QStringLiteral("/old/sons/"), QStringLiteral("/old/images/"), false, QString(), false,
         {cp1252::unstorableMessage(0x09)}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        session->settings.zipProgram = QStringLiteral("/old/zip");
        session->settings.soundFolder = QStringLiteral("/old/sons/");
        session->settings.imageFolder = QStringLiteral("/old/images/");
        session->settings.showAssociatedFile = true;
        open();
        box("Texte1")->setText(c.zip);
        box("Texte2")->setText(c.sounds);
        box("Texte3")->setText(c.images);
        child<QCheckBox>(form.get(), "Coche1")->setChecked(c.show);
        QTest::keyClick(form.get(), Qt::Key_Escape);
        EXPECT_EQ(!form->isVisible(), c.closed);
        EXPECT_EQ(session->settings.zipProgram, c.zipSetting);
        EXPECT_EQ(session->settings.soundFolder, c.soundSetting);
        EXPECT_EQ(session->settings.imageFolder, c.imageSetting);
        EXPECT_EQ(session->settings.showAssociatedFile, c.closed ? c.show : true);
        EXPECT_EQ(form->zipEnabled(), c.zipEnabled);
        EXPECT_EQ(box("Texte2")->text(), c.soundBox);
        EXPECT_EQ(box("Texte1")->text(), c.zip);
        EXPECT_EQ(desktop.messageTexts(), c.messages);
    }
}

// Browsing asks with its own title; a cancelled browse changes nothing and says nothing.
TEST_F(Config, BrowsingForTheZipTool)
{
    session->settings.zipProgram = QStringLiteral("/usr/bin/Zip");
    open();
    desktop.fileNames = {QString()};
    click(form.get(), "parcourir");
    EXPECT_EQ(desktop.log, QStringList{QStringLiteral("open file: ") + msg(151)});
    EXPECT_EQ(box("Texte1")->text(), QStringLiteral("/usr/bin/Zip"));
    EXPECT_TRUE(desktop.messages.isEmpty());

    const QString tool = program(QStringLiteral("Zip Tool"), kExecutable);
    desktop.fileNames = {tool};
    click(form.get(), "parcourir");
    EXPECT_EQ(box("Texte1")->text(), tool);
    form->reject();
    EXPECT_EQ(session->settings.zipProgram, tool);
    EXPECT_TRUE(form->zipEnabled());
}
