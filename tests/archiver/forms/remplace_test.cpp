#include "archiver/forms/remplace.h"

#include "form_fixture.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QRadioButton>
#include <QSet>

namespace {

using record::Field;

struct RemplaceForm : FormFixture
{
    void open() { form = std::make_unique<Remplace>(*session, desktop); }
    void type(const char *box, const QString &text) { child<QLineEdit>(form.get(), box)->setText(text); }
    std::unique_ptr<Remplace> form;
};

const char *const kOptions[] = {"Option1_0", "Option1_1", "Option1_2", "Option1_3", "Option1_4", "Option1_5"};

} // namespace

// Each option puts the separators of its field around the typed texts (in capitals, except for
// every field and the target) and sets the search field for the support and the category only.
TEST_F(RemplaceForm, LancerBuildsTheTextsOfTheCheckedOption)
{
    const struct
    {
        int option; // -1: the option checked on opening
        QString t1, t2;
        QString search, replacement;
        Field field;
    } cases[] = {
        {-1, QStringLiteral("Rose"), QStringLiteral("Tulipe"), QStringLiteral("Rose"), QStringLiteral("Tulipe"), Field::Date},
        {0, QString(), QString(), QString(), QString(), Field::Date},
        {1, QString(), QStringLiteral("la tulipe"), QStringLiteral("@"), QStringLiteral("LA TULIPE@"), Field::Date},
        {2, QStringLiteral("cd 12"), QString(), QStringLiteral("[CD 12]"), QStringLiteral("[]"), Field::Support},
        {3, QStringLiteral("fleurs"), QStringLiteral("été"), QStringLiteral("]FLEURS#"), QStringLiteral("]ÉTÉ#"), Field::Category},
        {4, QStringLiteral("payee"), QStringLiteral("Réglée"), QStringLiteral("#PAYEE\u00A7"), QStringLiteral("#RÉGLÉE\u00A7"), Field::Date},
        {5, QStringLiteral("C:\\Photos\\"), QStringLiteral("d:\\images\\"), QStringLiteral("\u00A7C:\\Photos\\"),
         QStringLiteral("\u00A7d:\\images\\"), Field::Date},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.option);
        session->searchField = Field::Date;
        open();
        if (c.option >= 0) child<QRadioButton>(form.get(), kOptions[c.option])->click();
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(child<QRadioButton>(form.get(), kOptions[i])->isChecked(), i == (c.option < 0 ? 0 : c.option));
        type("Texte1", c.t1);
        type("Texte2", c.t2);
        click(form.get(), "ok");
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(session->searchText, c.search);
        EXPECT_EQ(session->replacementText, c.replacement);
        EXPECT_EQ(session->searchField, c.field);
        EXPECT_TRUE(desktop.messages.isEmpty());
    }
}

// Closing without "Lancer" builds nothing; a text a record line cannot hold is refused with a
// message and the dialog stays open with the session untouched.
TEST_F(RemplaceForm, ClosingOrARefusedTextLeavesTheSessionAsItWas)
{
    const struct
    {
        const char *box;
        QString text;
        bool viaOk;
    } cases[] = {
        {"Texte1", QStringLiteral("rose"), false},
        {"Texte1", QStringLiteral("ro\tse"), true},
        {"Texte2", QStringLiteral("tulipe\u4E2D"), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        session->searchText = QStringLiteral("AVANT");
        session->replacementText = QStringLiteral("APRES");
        session->searchField = Field::Note;
        desktop.messages.clear();
        open();
        child<QRadioButton>(form.get(), "Option1_2")->click();
        type("Texte1", QStringLiteral("cd"));
        type(c.box, c.text);
        if (c.viaOk)
            click(form.get(), "ok");
        else
            form->reject();
        EXPECT_EQ(form->result(), QDialog::Rejected);
        EXPECT_EQ(desktop.messages.size(), c.viaOk ? 1 : 0);
        EXPECT_EQ(session->searchText, QStringLiteral("AVANT"));
        EXPECT_EQ(session->replacementText, QStringLiteral("APRES"));
        EXPECT_EQ(session->searchField, Field::Note);
    }
}

TEST_F(RemplaceForm, BothLanguagesGiveEveryButtonItsOwnMnemonic)
{
    for (bool english : {false, true}) {
        SCOPED_TRACE(english);
        if (english) speakEnglish();
        open();
        EXPECT_EQ(form->windowTitle() == QStringLiteral("Remplacements multi-Fiches"), !english);
        QSet<QChar> keys;
        for (const char *name : {"Label1", "Label2", "Option1_0", "Option1_1", "Option1_2", "Option1_3", "Option1_4",
                                 "Option1_5", "ok"}) {
            const QWidget *w = form->findChild<QWidget *>(QString::fromLatin1(name));
            ASSERT_NE(w, nullptr) << name;
            const QString text = w->property("text").toString();
            const qsizetype amp = text.indexOf(u'&');
            ASSERT_GE(amp, 0) << name;
            const QChar key = text.at(amp + 1).toLower();
            EXPECT_FALSE(keys.contains(key)) << name;
            keys.insert(key);
        }
    }
}
