#include "archiver/forms/categorie.h"

#include "form_fixture.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>

namespace {

struct Categorie : FormFixture
{
    void open()
    {
        form = std::make_unique<categorie>(*session, desktop);
        list = child<QListWidget>(form.get(), "Liste1");
    }
    QStringList items() const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out.append(list->item(i)->text());
        return out;
    }
    void clickRow(int row) const
    {
        list->setCurrentRow(row);
        emit list->itemClicked(list->item(row));
    }
    std::unique_ptr<categorie> form;
    QListWidget *list = nullptr;
};

const QString kTitle = QStringLiteral("AJOUTER UNE CATEGORIE");

} // namespace

// A new name goes to the end of the file in capitals and to its sorted place in the list; a name
// already there, an empty answer or a cancelled box change nothing and say so. A missing list
// file is created by the first addition.
TEST_F(Categorie, AddsANewCategoryOnce)
{
    const struct
    {
        std::optional<QString> typed;
        QString said; // empty: added
    } answers[] = {
        {QStringLiteral("voyages"), QString()},
        {QStringLiteral("VOYAGES"), QStringLiteral("Cette Catégorie existe déjà...")},
        {QString(), QStringLiteral("Abandon...")},
        {std::nullopt, QStringLiteral("Abandon...")},
    };
    for (const bool missing : {false, true}) {
        SCOPED_TRACE(missing);
        if (missing) QFile::remove(file(QStringLiteral("TALVO.CAT")));
        const QByteArray before = missing ? QByteArray() : read(QStringLiteral("TALVO.CAT"));
        open();
        for (const auto &a : answers) {
            SCOPED_TRACE(a.typed.value_or(QStringLiteral("<cancelled>")).toStdString());
            desktop.messages.clear();
            desktop.inputs = {a.typed};
            click(form.get(), "Command1");
            EXPECT_EQ(read(QStringLiteral("TALVO.CAT")), before + "VOYAGES\r\n");
            if (a.said.isEmpty()) {
                EXPECT_TRUE(desktop.messages.isEmpty());
            } else {
                ASSERT_EQ(desktop.messages.size(), 1);
                EXPECT_EQ(desktop.messages[0].text, a.said);
                EXPECT_EQ(desktop.messages[0].title, kTitle);
            }
        }
        EXPECT_TRUE(desktop.log.contains(QStringLiteral("input: Laquelle ?")));
        const QStringList sorted =
            missing ? QStringList{QStringLiteral("VOYAGES")}
                    : QStringList{QStringLiteral("CARNET D'ADRESSES"), QStringLiteral("E-MAIL"), QStringLiteral("IMAGES"),
                                  QStringLiteral("SONS"),              QStringLiteral("TEXTES"), QStringLiteral("VOYAGES"),
                                  QStringLiteral("WEB")};
        EXPECT_EQ(items(), sorted);
        EXPECT_FALSE(form->result() == QDialog::Accepted);
    }
}

// Every line is a choice, an empty one too, at the top of the sorted list; a click makes it the
// current record's category and closes; closing otherwise keeps the category. The texts are fixed
// whatever the language.
TEST_F(Categorie, AClickChoosesEvenTheEmptyLine)
{
    write(QStringLiteral("talvo.cat"), "sons\r\n\r\nIMAGES\r\n");
    QFile::remove(file(QStringLiteral("TALVO.CAT")));
    speakEnglish();
    session->current.record.category = QStringLiteral("AVANT");
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("CATEGORIES"));
    EXPECT_EQ(items(), (QStringList{QString(), QStringLiteral("IMAGES"), QStringLiteral("sons")}));
    form->reject();
    EXPECT_EQ(session->current.record.category, QStringLiteral("AVANT"));

    open();
    clickRow(2);
    EXPECT_EQ(session->current.record.category, QStringLiteral("sons"));
    EXPECT_EQ(form->result(), QDialog::Accepted);
    open();
    clickRow(0);
    EXPECT_EQ(session->current.record.category, QString());
    EXPECT_EQ(form->result(), QDialog::Accepted);
}

TEST_F(Categorie, AFailedAdditionSaysWhy)
{
    qputenv("TALVO_LOCK_WAIT_MS", "50");
    const QByteArray before = read(QStringLiteral("TALVO.CAT"));
    open();
    {
        const auto held = lock();
        desktop.inputs = {QStringLiteral("voyages")};
        click(form.get(), "Command1");
    }
    desktop.inputs = {QStringLiteral("voy\u4E2Dages")};
    click(form.get(), "Command1");
    qunsetenv("TALVO_LOCK_WAIT_MS");
    ASSERT_EQ(desktop.messages.size(), 2);
    EXPECT_TRUE(desktop.messages[0].text.contains(path())) << desktop.messages[0].text.toStdString();
    EXPECT_TRUE(desktop.messages[1].text.contains(QStringLiteral("U+4E2D"))) << desktop.messages[1].text.toStdString();
    EXPECT_EQ(read(QStringLiteral("TALVO.CAT")), before);
    EXPECT_FALSE(items().contains(QStringLiteral("VOYAGES")));
}
