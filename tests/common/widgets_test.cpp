#include "common/desktop/scripted_desktop.h"
#include "common/profile/profile.h"
#include "common/widgets/apropos.h"
#include "common/widgets/cinput.h"
#include "common/widgets/remplace.h"
#include "common/widgets/translate.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

TEST(Cinput, EnterConfirmsAndClosingGivesTheEmptyText)
{
    ScriptedDesktop desktop;
    desktop.dialogHandlers.append([](QDialog *d) {
        auto *box = d->findChild<QLineEdit *>(QStringLiteral("saisie"));
        EXPECT_EQ(box->text(), QStringLiteral("départ"));
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Titre"));
        EXPECT_EQ(d->findChild<QLabel *>(QStringLiteral("mess"))->text(), QStringLiteral("Quel nom ?"));
        box->setText(QStringLiteral("vacances à l'île"));
        QTest::keyClick(box, Qt::Key_Return);
        return d->result();
    });
    EXPECT_EQ(SaisieTexte(desktop, nullptr, QStringLiteral("Quel nom ?"), QStringLiteral("Titre"),
                          QStringLiteral("départ"), true),
              QStringLiteral("VACANCES À L'ÎLE"));
    EXPECT_EQ(desktop.dialogs, QStringList{QStringLiteral("Cinput")});

    desktop.dialogHandlers.append([](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("saisie"))->setText(QStringLiteral("typed"));
        d->close(); // the window's close button
        return d->result();
    });
    EXPECT_EQ(SaisieTexte(desktop, nullptr, QString(), QString(), QString(), false), QString());

    desktop.dialogHandlers.append([](QDialog *d) {
        QTest::keyClick(d->findChild<QLineEdit *>(QStringLiteral("saisie")), Qt::Key_Enter);
        return d->result();
    });
    EXPECT_EQ(SaisieTexte(desktop, nullptr, QString(), QString(), QStringLiteral("kept"), false), QStringLiteral("kept"));
}

TEST(Apropos, ShowsTheProgramFileAndOpensItsLinks)
{
    ScriptedDesktop desktop;
    apropos box(desktop);
    box.fill(QCoreApplication::applicationFilePath(), QStringLiteral("L'archiveur"));
    const QFileInfo self(QCoreApplication::applicationFilePath());
    EXPECT_EQ(box.labelText("nom"), self.fileName());
    EXPECT_EQ(box.labelText("taille"), QString::number(self.size() / 1024) + QStringLiteral(" Ko"));
    EXPECT_EQ(box.labelText("version"),
              QStringLiteral("Version ") + self.lastModified().toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(box.labelText("description"), QStringLiteral("L'archiveur"));
    QTest::mouseClick(box.findChild<QLabel *>(QStringLiteral("Etiquette2")), Qt::LeftButton);
    QTest::mouseClick(box.findChild<QLabel *>(QStringLiteral("Etiquette3")), Qt::LeftButton);
    ASSERT_EQ(desktop.opened.size(), 2);
    EXPECT_EQ(desktop.opened[0].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(desktop.opened[0].path(), box.labelText("Etiquette2"));
    EXPECT_EQ(desktop.opened[1], QUrl(box.labelText("Etiquette3")));
}

TEST(TraduireFeuille, TranslatesControlsMenusAndArrayElementsByName)
{
    QMainWindow form;
    form.setObjectName(QStringLiteral("Talvo"));
    auto *central = new QWidget(&form);
    form.setCentralWidget(central);
    auto *button = new QPushButton(QStringLiteral("Ajout direct"), central);
    button->setObjectName(QStringLiteral("ajouter_cle"));
    button->setToolTip(QStringLiteral("designed tip"));
    auto *box = new QLineEdit(central);
    box->setObjectName(QStringLiteral("large"));
    auto *menu = form.menuBar()->addMenu(QStringLiteral("Données"));
    menu->setObjectName(QStringLiteral("m_fichiers"));
    auto *backup = menu->addAction(QStringLiteral("Backup"));
    backup->setObjectName(QStringLiteral("m_backup"));
    auto *lang = menu->addAction(QStringLiteral("francais"));
    lang->setObjectName(QStringLiteral("m_langues(0)"));
    auto *untouched = menu->addAction(QStringLiteral("Restauration"));
    untouched->setObjectName(QStringLiteral("m_restaure"));

    const Profile p = Profile::fromBytes("[talvo]\r\n"
                                         "Form.Caption=ARCHIVER\r\n"
                                         "ajouter_cle.Caption=Direct add\r\n"
                                         "LARGE.ToolTipText=Type a key, then Enter\r\n"
                                         "m_fichiers.Caption=Data\r\n"
                                         "m_backup.Caption=Back up\r\n"
                                         "m_langues(0).Caption=French\r\n");
    TraduireFeuille(&form, p);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("ARCHIVER"));
    EXPECT_EQ(button->text(), QStringLiteral("Direct add"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("designed tip"));
    EXPECT_EQ(box->toolTip(), QStringLiteral("Type a key, then Enter"));
    EXPECT_EQ(menu->title(), QStringLiteral("Data"));
    EXPECT_EQ(backup->text(), QStringLiteral("Back up"));
    EXPECT_EQ(lang->text(), QStringLiteral("French"));
    EXPECT_EQ(untouched->text(), QStringLiteral("Restauration"));

    // Without a caption key the form is untitled; a missing file changes nothing else.
    TraduireFeuille(&form, Profile::fromBytes("[MSG]\r\n1=x\r\n"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Pas de Titre"));
    EXPECT_EQ(button->text(), QStringLiteral("Direct add"));
}

TEST(ScriptedDesktop, PrintsToPdfAndAnswersFromItsQueues)
{
    QTemporaryDir dir;
    ScriptedDesktop desktop;
    desktop.printFolder = dir.path();
    QTextDocument doc(QStringLiteral("FICHE : UN EXEMPLE"));
    EXPECT_TRUE(desktop.print(nullptr, doc, QStringLiteral("Fiche")));
    EXPECT_EQ(desktop.printed, QStringList{QStringLiteral("FICHE : UN EXEMPLE")});
    QFile pdf(dir.filePath(QStringLiteral("print-1.pdf")));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");

    desktop.answers = {Desktop::Answer::No};
    Desktop &asked = desktop;
    EXPECT_EQ(asked.message(nullptr, QStringLiteral("?"), QString(), Desktop::Buttons::YesNo), Desktop::Answer::No);
    EXPECT_EQ(asked.message(nullptr, QStringLiteral("?"), QString(), Desktop::Buttons::YesNo), Desktop::Answer::Yes);
    desktop.inputs = {QStringLiteral("typed")};
    EXPECT_EQ(desktop.inputText(nullptr, QStringLiteral("p"), QString(), QString()), QStringLiteral("typed"));
    EXPECT_FALSE(desktop.inputText(nullptr, QStringLiteral("p"), QString(), QString()).has_value());
}

TEST(Remplace, OkHandsBothTextsOverAndClosingKeepsTheOldOnes)
{
    ScriptedDesktop desktop;
    QString word = QStringLiteral("avant"), replacement = QStringLiteral("après");
    {
        remplace dialog(word, replacement);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("REMPLACER"));
        // The boxes start empty whatever the words were.
        EXPECT_TRUE(dialog.findChild<QLineEdit *>(QStringLiteral("cible"))->text().isEmpty());
        dialog.findChild<QLineEdit *>(QStringLiteral("cible"))->setText(QStringLiteral("chat"));
        dialog.findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(QStringLiteral("chien"));
        dialog.close();
        EXPECT_EQ(word, QStringLiteral("avant"));
        EXPECT_EQ(replacement, QStringLiteral("après"));
    }
    remplace dialog(word, replacement);
    dialog.findChild<QLineEdit *>(QStringLiteral("cible"))->setText(QStringLiteral("chat"));
    dialog.findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(QStringLiteral("chien"));
    dialog.show();
    QTest::keyClick(dialog.findChild<QLineEdit *>(QStringLiteral("Texte1")), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(word, QStringLiteral("chat"));
    EXPECT_EQ(replacement, QStringLiteral("chien"));
}
