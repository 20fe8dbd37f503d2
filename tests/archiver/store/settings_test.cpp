#include "archiver/store/language.h"
#include "archiver/store/settings.h"
#include "common/text/texts.h"

#include "tests/support/test_folder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <gtest/gtest.h>

TEST(Settings, WritesTheTwentyOneLinesByteForByte)
{
    TalvoSettings s;
    s.zipProgram = QStringLiteral("/usr/bin/zip");
    s.imageFolder = QStringLiteral("/home/anne/Images");
    s.windowWidth = 9015;
    s.showAssociatedFile = true;
    s.keyColumnWidth = 4500;
    s.noteColumnWidth = 4200;
    s.noteCounter = 41;
    s.left = -15;
    s.top = 300;
    s.lastNote = QStringLiteral("PAYÉE");
    const auto bytes = settings::compose(s);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(*bytes, "/usr/bin/zip\r\n\r\n/home/anne/Images\r\n 9015 \r\n-1 \r\n 4500 \r\n 4200 \r\n 41 \r\n"
                      "-15 \r\n 300 \r\nPAY\xC9" "E\r\n"
                      "Libre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\nLibre\r\n");
    TalvoSettings back;
    settings::apply(*bytes, back);
    EXPECT_EQ(back.zipProgram, s.zipProgram);
    EXPECT_EQ(back.noteColumnWidth, 4200);
    EXPECT_EQ(back.left, -15);
    EXPECT_EQ(back.lastNote, s.lastNote);
    EXPECT_TRUE(back.showAssociatedFile);
    s.showAssociatedFile = false;
    EXPECT_TRUE(settings::compose(s)->contains("\r\n 0 \r\n"));
}

TEST(Settings, TenLinesLibreLinesAndNonNumbers)
{
    TalvoSettings s;
    s.lastNote = QStringLiteral("KEPT");
    settings::apply("zip\r\nsons\r\nimages\r\nLibre\r\nLibre\r\n 5000 \r\nLibre\r\n 7 \r\n 30 \r\n 45 \r\n", s);
    EXPECT_EQ(s.zipProgram, QStringLiteral("zip"));
    EXPECT_EQ(s.windowWidth, TalvoSettings::kDesignedWindowWidth); // "Libre" keeps the designed width
    EXPECT_FALSE(s.showAssociatedFile);                             // "Libre" on line 5 turns it off
    EXPECT_EQ(s.keyColumnWidth, 5000);
    EXPECT_FALSE(s.noteColumnWidth.has_value());
    EXPECT_EQ(s.noteCounter, 7);
    EXPECT_EQ(s.left, 30);
    EXPECT_EQ(s.top, 45);
    EXPECT_EQ(s.lastNote, QStringLiteral("KEPT")); // no line 11

    TalvoSettings t;
    settings::apply("\r\n\r\n\r\nlarge\r\noui\r\n12abc\r\n  -3 \r\nxx\r\n99999\r\n 1.5E3 \r\nNOTE\r\n", t);
    EXPECT_EQ(t.windowWidth, 0);     // a non-number reads as 0 (the window raises it to its minimum)
    EXPECT_FALSE(t.showAssociatedFile);
    EXPECT_EQ(t.keyColumnWidth, 12);
    EXPECT_EQ(t.noteColumnWidth, -3);
    EXPECT_EQ(t.noteCounter, 0);
    EXPECT_EQ(t.left, 0);            // out of range for a position: passed over
    EXPECT_EQ(t.top, 1500);
    EXPECT_EQ(t.lastNote, QStringLiteral("NOTE"));

    TalvoSettings u;
    settings::apply("a\r\nb\r\n", u); // fewer lines than ever written: the rest keeps its defaults
    EXPECT_EQ(u.soundFolder, QStringLiteral("b"));
    EXPECT_TRUE(u.showAssociatedFile);
    EXPECT_EQ(u.keyColumnWidth, TalvoSettings::kDefaultKeyColumnWidth);
}

TEST(Settings, FileRoundTripAndLanguageSetting)
{
    TestFolder folder;
    TalvoSettings s;
    EXPECT_FALSE(settings::read(settings::settingsFile(folder.path()), s));
    s.noteCounter = 3;
    QString error;
    ASSERT_TRUE(settings::write(folder.lock(), settings::settingsFile(folder.path()), s, &error));
    TalvoSettings back;
    ASSERT_TRUE(settings::read(folder.file(QStringLiteral("TALVO.INI")), back));
    EXPECT_EQ(back.noteCounter, 3);
    EXPECT_EQ(back.windowWidth, TalvoSettings::kDesignedWindowWidth);

    EXPECT_EQ(settings::languageFileSetting(), QString());
    folder.write(QStringLiteral("Francais.LNG"), "[MSG]\r\n");
    EXPECT_EQ(settings::currentLanguageFile(folder.path()), folder.file(QStringLiteral("Francais.LNG")));
    settings::setLanguageFileSetting(folder.file(QStringLiteral("english.lng")));
    EXPECT_EQ(settings::languageFileSetting(), folder.file(QStringLiteral("english.lng")));
    EXPECT_EQ(settings::currentLanguageFile(folder.path()), folder.file(QStringLiteral("Francais.LNG")));
    folder.write(QStringLiteral("english.lng"), "[MSG]\r\n");
    EXPECT_EQ(settings::currentLanguageFile(folder.path()), folder.file(QStringLiteral("english.lng")));
    // The store honours XDG_CONFIG_HOME, which the test folder points inside itself.
    EXPECT_TRUE(folder.exists(QStringLiteral(".config/Talvo5/Talvo5.ini")));
}

// A text missing from the current file, or left empty there, comes from the shipped file of the
// same name, then from the French file built into the program; only then the caller's default.
TEST(Language, EachTextComesFromTheFileThenTheShippedOneThenTheBuiltInFrench)
{
    TestFolder user, shipped;
    shipped.write(QStringLiteral("english.lng"),
                  "[MSG]\r\n96=shipped 96\r\n97=shipped 97\r\n[Textes]\r\npas_disponible=Not yet\r\n"
                  "[Langue]\r\nLocale=en\r\n");
    user.write(QStringLiteral("english.lng"), "[MSG]\r\n96=\" found among\"\r\n98=\r\n[Talvo]\r\nForm.Caption=T\r\n");
    Language lang(user.file(QStringLiteral("english.lng")), shipped.path());
    shipped.copyShipped(QStringLiteral("francais.lng"));
    const Profile french = Profile::fromFile(shipped.file(QStringLiteral("francais.lng")));
    ASSERT_FALSE(french.value(QStringLiteral("MSG"), QStringLiteral("98"), QString()).isEmpty());

    const struct
    {
        const char *section, *key;
        QString expected;
    } cases[] = {
        {"MSG", "96", QStringLiteral(" found among")},
        {"MSG", "97", QStringLiteral("shipped 97")},
        {"MSG", "98", french.value(QStringLiteral("MSG"), QStringLiteral("98"), QString())},
        {"Saisir", "Form.Caption", french.value(QStringLiteral("Saisir"), QStringLiteral("Form.Caption"), QString())},
        {"talvo", "form.caption", QStringLiteral("T")},
        {"Nulle", "Part", QStringLiteral("défaut")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(lang.text(QLatin1String(c.section), QLatin1String(c.key), QStringLiteral("défaut")), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(lang.LireMessage(96), QStringLiteral(" found among"));
    EXPECT_EQ(lang.LireMessage(999), QString());
    EXPECT_EQ(lang.ownText(QStringLiteral("pas_disponible")), QStringLiteral("Not yet"));
    EXPECT_TRUE(lang.ownText(QStringLiteral("lancement_impossible")).isNull());
    EXPECT_EQ(lang.locale(), QStringLiteral("en"));
    EXPECT_EQ(Language().locale(), QStringLiteral("fr"));

    // The current file is read again when it changes.
    user.write(QStringLiteral("english.lng"), "[MSG]\r\n96=another, longer text\r\n");
    EXPECT_EQ(lang.LireMessage(96), QStringLiteral("another, longer text"));
}

// Installed, a language gives the programs' own texts and Qt's standard buttons its words; the
// French texts of the code answer for what it lacks.
TEST(Language, InstalledItSpeaksForTheOwnTextsAndQtsButtons)
{
    int argc = 1;
    char name[] = "settings_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TestFolder folder;
    folder.write(QStringLiteral("english.lng"), "[Textes]\r\npas_disponible=Not yet\r\n[Langue]\r\nLocale=en\r\n");
    folder.write(QStringLiteral("francais.lng"), "[Langue]\r\nLocale=fr\r\n");
    {
        Language english(folder.file(QStringLiteral("english.lng")));
        english.install();
        EXPECT_EQ(texts::get(texts::kNotYetAvailable), QStringLiteral("Not yet"));
        EXPECT_EQ(texts::get(texts::kCannotStart), QStringLiteral("Impossible de lancer « %1 »."));
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
        english.setFile(folder.file(QStringLiteral("francais.lng")));
        english.install();
        if (QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm"))) {
            EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Oui"));
        }
        EXPECT_EQ(texts::get(texts::kNotYetAvailable), QStringLiteral("Cette commande n'est pas encore disponible."));
    }
    // Gone with its language: nothing is left pointing at it.
    EXPECT_EQ(texts::get(texts::kNotYetAvailable), QStringLiteral("Cette commande n'est pas encore disponible."));
}

// Two programs of one folder, each writing back only the lines it changed: neither undoes the
// other's line, the note counter takes the greater value, and a line no version of this program
// writes (a reserved one a later version used) stays as it is.
TEST(Settings, EachWriterWritesBackOnlyTheLinesItChanged)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("TALVO.INI"));
    TalvoSettings start;
    start.noteCounter = 5;
    QByteArray first = *settings::compose(start);
    first.replace("Libre\r\nLibre\r\n", "Libre\r\nsomeone else's\r\n"); // line 13
    folder.write(QStringLiteral("TALVO.INI"), first);

    TalvoSettings baseA, baseB;
    ASSERT_TRUE(settings::read(path, baseA));
    ASSERT_TRUE(settings::read(path, baseB));
    TalvoSettings a = baseA, b = baseB;
    a.windowWidth = 12000; // window A widened
    a.noteCounter = 9;     // and handed out notes
    b.zipProgram = QStringLiteral("/usr/bin/7z"); // window B chose another zip program
    b.noteCounter = 7;
    QString error;
    ASSERT_TRUE(settings::writeChanges(folder.lock(), path, baseA, a, &error)) << error.toStdString();
    ASSERT_TRUE(settings::writeChanges(folder.lock(), path, baseB, b, &error)) << error.toStdString();

    TalvoSettings now;
    ASSERT_TRUE(settings::read(path, now));
    EXPECT_EQ(now.windowWidth, 12000);
    EXPECT_EQ(now.zipProgram, QStringLiteral("/usr/bin/7z"));
    EXPECT_EQ(now.noteCounter, 9);
    EXPECT_TRUE(folder.read(QStringLiteral("TALVO.INI")).contains("\r\nsomeone else's\r\n"));
    EXPECT_EQ(folder.read(QStringLiteral("TALVO.INI")).count("\r\n"), 21);
    EXPECT_EQ(baseB.zipProgram, QStringLiteral("/usr/bin/7z")); // what the file now holds
}
