#include "archiver/store/language.h"
#include "archiver/store/settings.h"

#include "tests/support/test_folder.h"

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

TEST(Language, MessagesComeFromTheCurrentFileAndFollowItsChanges)
{
    TestFolder folder;
    folder.write(QStringLiteral("francais.lng"), "[MSG]\r\n96= fiche(s) trouv\xE9" "e(s) sur\r\n");
    Language lang(folder.file(QStringLiteral("francais.lng")));
    EXPECT_EQ(lang.LireMessage(96), QStringLiteral("fiche(s) trouvée(s) sur"));
    EXPECT_EQ(lang.LireMessage(97), QString());
    folder.write(QStringLiteral("francais.lng"), "[MSG]\r\n96=autre texte, plus long\r\n[Talvo]\r\nForm.Caption=T\r\n");
    EXPECT_EQ(lang.LireMessage(96), QStringLiteral("autre texte, plus long"));
    EXPECT_EQ(lang.text(QStringLiteral("talvo"), QStringLiteral("form.caption"), QStringLiteral("Pas de Titre")),
              QStringLiteral("T"));
    Language none;
    EXPECT_EQ(none.LireMessage(96), QString());
    EXPECT_EQ(none.text(QStringLiteral("Talvo"), QStringLiteral("Form.Caption"), QStringLiteral("Pas de Titre")),
              QStringLiteral("Pas de Titre"));
}
