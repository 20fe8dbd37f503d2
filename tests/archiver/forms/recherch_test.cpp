#include "archiver/forms/recherch.h"

#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "form_fixture.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include <functional>

namespace {

const QString kHistory = QStringLiteral("rechercher.lst");

struct Recherch : FormFixture
{
    void open()
    {
        desktop.messages.clear();
        form = std::make_unique<recherch>(*session, desktop);
        form->show();
        cle = child<QComboBox>(form.get(), "Cle");
    }
    void type(const char *box, const QString &text) { child<QLineEdit>(form.get(), box)->setText(text); }
    void enter(const char *box) { QTest::keyClick(child<QWidget>(form.get(), box), Qt::Key_Return); }
    void typeKey(const QString &text)
    {
        cle->setEditText(text);
        QTest::keyClick(cle, Qt::Key_Return);
    }
    void clickRow(const char *list, int row)
    {
        auto *l = child<QListWidget>(form.get(), list);
        l->setCurrentRow(row);
        emit l->itemClicked(l->item(row));
    }
    void pick(int row)
    {
        cle->setCurrentIndex(row);
        emit cle->activated(row);
    }
    QStringList keys() const
    {
        QStringList items;
        for (int i = 0; i < cle->count(); ++i) items.append(cle->itemText(i));
        return items;
    }
    int field() const { return static_cast<int>(session->searchField); }
    bool closed() const { return !form->isVisible(); }

    std::unique_ptr<recherch> form;
    QComboBox *cle = nullptr;
};

// A mnemonic on every button and on every label that names a box, each letter once.
void expectMnemonics(const QWidget *form)
{
    QSet<QChar> seen;
    const auto check = [&seen](const QString &caption) {
        const qsizetype at = caption.indexOf(u'&');
        ASSERT_GE(at, 0) << caption.toStdString();
        ASSERT_LT(at + 1, caption.size());
        const QChar letter = caption.at(at + 1).toUpper();
        EXPECT_FALSE(seen.contains(letter)) << caption.toStdString();
        seen.insert(letter);
    };
    for (const auto *b : form->findChildren<QAbstractButton *>()) check(b->text());
    for (const auto *l : form->findChildren<QLabel *>())
        if (l->buddy()) check(l->text());
}

} // namespace

// Every criterion: what it is validated by, the search it leaves, and what it refuses.
TEST_F(Recherch, EachBoxSetsItsFieldAndTextOrRefuses)
{
    write(QStringLiteral("TALVO.CAT"), "Po\xE9sie lyrique\r\nCONTES\r\n");
    write(QStringLiteral("TALVO.SUP"), "cd 1\r\n");
    const QString unstorable = cp1252::unstorableMessage(0x4E2D);
    const struct
    {
        const char *what;
        std::function<void(Recherch &)> act;
        int field;
        QString text;
        bool closed;
        QStringList messages;
    } cases[] = {
        {"key", [](Recherch &t) { t.typeKey(QStringLiteral("rose")); }, 1, QStringLiteral("ROSE"), true, {}},
        {"key of an accented capital", [](Recherch &t) { t.typeKey(QStringLiteral("été")); }, 0, QString(), false,
         {msg(7)}},
        {"key that cannot be stored", [](Recherch &t) { t.typeKey(QStringLiteral("A\u4E2D")); }, 0, QString(), false,
         {unstorable}},
        {"empty key", [](Recherch &t) { t.typeKey(QString()); }, 0, QString(), false, {}},
        {"today's date with Enter", [](Recherch &t) { t.enter("quand"); }, 2, QStringLiteral("05-03-2004"), true, {}},
        {"partial date with Enter",
         [](Recherch &t) {
             t.type("quand", QStringLiteral("2004"));
             t.enter("quand");
         },
         2, QStringLiteral("2004"), true, {}},
        {"today's date double-clicked", [](Recherch &t) { QTest::mouseDClick(child(t.form.get(), "quand"), Qt::LeftButton); },
         2, QStringLiteral("05-03-2004"), true, {}},
        {"short date double-clicked",
         [](Recherch &t) {
             t.type("quand", QStringLiteral("2004"));
             QTest::mouseDClick(child(t.form.get(), "quand"), Qt::LeftButton);
         },
         0, QStringLiteral("2004"), false, {msg(98)}},
        {"date without a hyphen double-clicked",
         [](Recherch &t) {
             t.type("quand", QStringLiteral("05032004"));
             QTest::mouseDClick(child(t.form.get(), "quand"), Qt::LeftButton);
         },
         0, QStringLiteral("05032004"), false, {msg(98)}},
        {"support clicked", [](Recherch &t) { t.clickRow("liste_support", 0); }, 3, QStringLiteral("CD 1"), true, {}},
        {"category clicked: its exact line", [](Recherch &t) { t.clickRow("liste_cat", 1); }, 4,
         QStringLiteral("Poésie lyrique"), true, {}},
        {"category typed: capitals",
         [](Recherch &t) {
             t.type("thema", QStringLiteral("poésie lyrique"));
             t.enter("thema");
         },
         4, QStringLiteral("POÉSIE LYRIQUE"), true, {}},
        {"note",
         [](Recherch &t) {
             t.type("comm", QStringLiteral("payée"));
             t.enter("comm");
         },
         5, QStringLiteral("PAYÉE"), true, {}},
        {"target as typed",
         [](Recherch &t) {
             t.type("asso", QStringLiteral("/home/Anne/Été.txt"));
             t.enter("asso");
         },
         6, QStringLiteral("/home/Anne/Été.txt"), true, {}},
        {"target that cannot be stored",
         [](Recherch &t) {
             t.type("asso", QStringLiteral("/tmp/\u4E2D"));
             t.enter("asso");
         },
         0, QString(), false, {unstorable}},
        {"note with a control character",
         [](Recherch &t) {
             t.type("comm", QStringLiteral("A\u0007"));
             t.enter("comm");
         },
         0, QString(), false, {cp1252::unstorableMessage(0x07)}},
        {"empty category typed",
         [](Recherch &t) { t.enter("thema"); },
         0, QString(), false, {}},
        {"closed with Escape", [](Recherch &t) { QTest::keyClick(t.form.get(), Qt::Key_Escape); }, 0, QString(), true,
         {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        session->searchField = record::Field::Note;
        session->searchText = QStringLiteral("before");
        open();
        EXPECT_EQ(field(), 0);
        EXPECT_EQ(session->searchText, QString());
        c.act(*this);
        EXPECT_EQ(field(), c.field);
        EXPECT_EQ(session->searchText, c.text);
        EXPECT_EQ(closed(), c.closed);
        EXPECT_EQ(desktop.messageTexts(), c.messages);
    }
    // The lists keep the letter files' order; the supports in capitals.
    open();
    auto *cats = child<QListWidget>(form.get(), "liste_cat");
    ASSERT_EQ(cats->count(), 2);
    EXPECT_EQ(cats->item(0)->text(), QStringLiteral("CONTES"));
    EXPECT_EQ(child<QLineEdit>(form.get(), "quand")->text(), QStringLiteral("05-03-2004"));
}

// The key typed enters the history once when the dialog closes, whatever closed it.
TEST_F(Recherch, TheKeyTypedEntersTheHistoryOnce)
{
    open();
    typeKey(QStringLiteral("rose"));
    EXPECT_TRUE(closed());
    EXPECT_EQ(read(kHistory), "ROSE\r\n");

    open();
    EXPECT_EQ(keys(), QStringList{QStringLiteral("ROSE")});
    EXPECT_EQ(cle->currentText(), QString());
    typeKey(QStringLiteral("ROSE"));
    EXPECT_EQ(read(kHistory), "ROSE\r\n");

    // Another criterion validated, or the dialog closed: the key still goes in.
    open();
    cle->setEditText(QStringLiteral("jazz"));
    type("comm", QStringLiteral("live"));
    enter("comm");
    EXPECT_EQ(field(), 5);
    open();
    cle->setEditText(QStringLiteral("blues"));
    form->reject();
    EXPECT_EQ(field(), 0);
    EXPECT_EQ(read(kHistory), "ROSE\r\nJAZZ\r\nBLUES\r\n");
    EXPECT_TRUE(desktop.messages.isEmpty());

    open();
    EXPECT_EQ(keys(), (QStringList{QStringLiteral("BLUES"), QStringLiteral("JAZZ"), QStringLiteral("ROSE")}));
}

// Removing an entry rewrites the history in list order; removing the last leaves an empty file,
// and "Vider tout" deletes it.
TEST_F(Recherch, RemovingAndClearingTheHistory)
{
    write(kHistory, "ROSE\r\nJAZZ\r\nBLUES\r\n");
    open();
    auto *suppr = child<QPushButton>(form.get(), "suppr");
    EXPECT_FALSE(suppr->isEnabled());
    pick(1); // JAZZ
    EXPECT_TRUE(suppr->isEnabled());
    // Meanwhile another program adds a text: it stays.
    write(kHistory, "ROSE\r\nJAZZ\r\nBLUES\r\nSOUL\r\n");
    suppr->click();
    EXPECT_FALSE(suppr->isEnabled());
    EXPECT_EQ(cle->currentText(), QString());
    EXPECT_EQ(read(kHistory), "BLUES\r\nROSE\r\nSOUL\r\n");
    EXPECT_EQ(keys(), (QStringList{QStringLiteral("BLUES"), QStringLiteral("ROSE"), QStringLiteral("SOUL")}));

    write(kHistory, "ROSE\r\n");
    open();
    pick(0);
    click(form.get(), "suppr");
    EXPECT_TRUE(exists(kHistory));
    EXPECT_EQ(read(kHistory), QByteArray());
    form->reject();
    EXPECT_EQ(read(kHistory), QByteArray());

    write(kHistory, "ROSE\r\nJAZZ\r\n");
    open();
    cle->setEditText(QStringLiteral("RO"));
    click(form.get(), "vider");
    EXPECT_FALSE(exists(kHistory));
    EXPECT_EQ(cle->count(), 0);
    form->reject();
    EXPECT_FALSE(exists(kHistory));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

// A history that cannot be written (marked read-only, or the catalogue busy): each change is
// said and nothing is lost; the search itself is never held up by the history.
TEST_F(Recherch, AHistoryThatCannotBeWrittenIsSaidAndKeepsEverything)
{
    const QByteArray before = "ROSE\r\nJAZZ\r\n";
    const struct
    {
        const char *what;
        bool busy;
    } cases[] = {{"read-only file", false}, {"busy catalogue", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        write(kHistory, before);
        std::optional<files::FolderLock> held;
        if (c.busy) {
            qputenv("TALVO_LOCK_WAIT_MS", "50");
            held.emplace(lock());
        } else {
            ASSERT_TRUE(QFile::setPermissions(file(kHistory), QFile::ReadOwner | QFile::ReadGroup));
        }
        const QString unchanged = texts::get(texts::kHistoryUnchanged).section(u'%', 0, 0);

        open();
        pick(1); // ROSE
        click(form.get(), "suppr");
        click(form.get(), "vider");
        ASSERT_EQ(desktop.messages.size(), 2);
        for (const QString &text : desktop.messageTexts()) EXPECT_TRUE(text.startsWith(unchanged)) << text.toStdString();
        EXPECT_EQ(keys(), (QStringList{QStringLiteral("JAZZ"), QStringLiteral("ROSE")}));

        desktop.messages.clear();
        typeKey(QStringLiteral("soul"));
        EXPECT_TRUE(closed());
        EXPECT_EQ(field(), 1);
        EXPECT_EQ(session->searchText, QStringLiteral("SOUL"));
        ASSERT_EQ(desktop.messages.size(), 1);
        EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("SOUL")));
        EXPECT_EQ(read(kHistory), before);

        // A key already there needs no writing, so nothing is said.
        open();
        typeKey(QStringLiteral("jazz"));
        EXPECT_TRUE(closed());
        EXPECT_TRUE(desktop.messages.isEmpty());

        qunsetenv("TALVO_LOCK_WAIT_MS");
        QFile::setPermissions(file(kHistory), QFile::ReadOwner | QFile::WriteOwner);
    }
}

TEST_F(Recherch, SpeaksBothLanguagesWithAMnemonicOnEveryButtonAndBoxName)
{
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("RECHERCHE PAR RUBRIQUE"));
    EXPECT_EQ(child<QPushButton>(form.get(), "vider")->text(), QStringLiteral("&Vider tout"));
    expectMnemonics(form.get());
    speakEnglish();
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("SEARCH BY FIELD"));
    EXPECT_EQ(child<QLabel>(form.get(), "Label8")->text(), QStringLiteral("ENTER to confirm"));
    expectMnemonics(form.get());
}
