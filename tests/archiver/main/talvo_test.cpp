#include "archiver/main/talvo.h"
#include "archiver/store/undo.h"
#include "archiver/store/backup.h"
#include "archiver/store/first_run.h"
#include "archiver/store/language.h"
#include "archiver/store/record.h"
#include "archiver/store/session.h"
#include "archiver/store/settings.h"
#include "common/desktop/scripted_desktop.h"
#include "common/profile/profile.h"
#include "common/text/texts.h"
#include "common/widgets/cinput.h"

#include "tests/support/test_folder.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QKeyEvent>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QDialog>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QListWidget>
#include <QAbstractButton>
#include <QPushButton>
#include <QTableView>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

namespace {

// A main window on a temporary program folder, talking to a scripted desktop.
struct Window : TestFolder
{
    explicit Window(bool withCatalogue = true)
    {
        copyShipped(QStringLiteral("francais.lng"));
        copyShipped(QStringLiteral("english.lng"));
        if (withCatalogue) {
            QString error;
            EXPECT_TRUE(firstrun::InitialiserFichiers(lock(), QStringLiteral("07-12-2026"), &error));
            firstrun::ensureSubFolders(path(), [](const QString &) {});
        }
        french.setFile(file(QStringLiteral("francais.lng")));
        session = std::make_unique<ArchiverSession>(path(), QStringLiteral("07-12-2026"));
        talvo = std::make_unique<Talvo>(*session, desktop);
        // The dialogs are tested on their own: here only which one opened, and for what.
        desktop.otherDialogs = [this](QDialog *dialog) {
            if (dialog->objectName() == QLatin1String("Saisir")) entryForms.append(session->searchText);
            if (dialog->objectName() == QLatin1String("Fiche")) {
                cards.append(session->current.record.key);
                if (card) card(*talvo);
            }
            return int(QDialog::Rejected);
        };
    }

    QString msg(int n) const
    {
        const QString m = french.LireMessage(n);
        EXPECT_FALSE(m.isEmpty()) << "message " << n;
        return m;
    }
    QLineEdit *large() const { return talvo->findChild<QLineEdit *>(QStringLiteral("large")); }
    QAction *action(const char *name) const { return talvo->findChild<QAction *>(QString::fromUtf8(name)); }
    // Types text into the key box as keys would, accented letters included.
    void type(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(large(), &press);
        }
    }
    void enter(const QString &text)
    {
        large()->clear();
        type(text);
        QTest::keyClick(large(), Qt::Key_Return);
    }
    bool load()
    {
        const bool ok = talvo->Form_Load();
        if (ok) talvo->show();
        return ok;
    }

    Language french;
    ScriptedDesktop desktop;
    std::unique_ptr<ArchiverSession> session;
    std::unique_ptr<Talvo> talvo;
    QStringList entryForms, cards;
    std::function<void(Talvo &)> card;
};

} // namespace

TEST(MainWindow, FirstStartInAnEmptyFolderAnsweredYes)
{
    Window w(false);
    w.desktop.answers = {Desktop::Answer::Yes};
    ASSERT_TRUE(w.load());
    const QStringList shown = w.desktop.messageTexts();
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0], QStringLiteral("Créer les Fichiers de Travail ?"));
    EXPECT_EQ(w.desktop.messages[0].title, QStringLiteral("Initialisation d' TALVO"));
    EXPECT_EQ(w.desktop.messages[0].buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(shown[1].contains(QStringLiteral("NOTES")));
    EXPECT_TRUE(shown[2].contains(QStringLiteral("BACKUP")));
    EXPECT_TRUE(w.exists(QStringLiteral("A.MFI")));
    EXPECT_EQ(w.read(QStringLiteral("U.MFI")).count('\n'), 6);
    // Translated from the language file the first run chose.
    EXPECT_EQ(w.talvo->windowTitle(), w.french.text(QStringLiteral("Talvo"), QStringLiteral("Form.Caption"), QString()));
    EXPECT_FALSE(w.talvo->windowTitle().isEmpty());
    // The language menu lists the language files in lower case and alphabetical order, each
    // with its first letter as its key.
    EXPECT_EQ(w.action("m_langues(0)")->text(), QStringLiteral("&english"));
    EXPECT_EQ(w.action("m_langues(1)")->text(), QStringLiteral("&francais"));
    EXPECT_TRUE(w.action("m_autorun")->isEnabled());
    EXPECT_FALSE(w.action("m_kill_Autorun")->isEnabled());
    EXPECT_FALSE(w.action("m_find")->isEnabled());
    EXPECT_FALSE(w.talvo->findChild<QMenu *>(QStringLiteral("m3"))->isEnabled());
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kMinHeightTwips);
    EXPECT_EQ(w.talvo->gridModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), w.msg(106));
}

TEST(MainWindow, FirstStartRefusedEndsWithoutCreatingAnything)
{
    Window w(false);
    w.desktop.answers = {Desktop::Answer::No};
    EXPECT_FALSE(w.load());
    ASSERT_EQ(w.desktop.messages.size(), 2);
    EXPECT_EQ(w.desktop.messages[1].text, QStringLiteral("ABANDON : Talvo ne peut fonctionner sans Fichiers de Travail !"));
    EXPECT_EQ(w.entries(), (QStringList{QStringLiteral(".config"), QStringLiteral("english.lng"),
                                        QStringLiteral("francais.lng")}));
}

TEST(MainWindow, KeyChecksRefuseBadKeysBeforeAnySearch)
{
    Window w;
    ASSERT_TRUE(w.load());
    const QString title = w.talvo->windowTitle();
    const struct
    {
        QString key;
        int message;
    } cases[] = {{QStringLiteral("A@B"), 1}, {QStringLiteral("A[B"), 2}, {QStringLiteral("A]B"), 3},
                 {QStringLiteral("A#B"), 4}, {QStringLiteral("A§B"), 5}, {QStringLiteral("Été"), 7}};
    for (const auto &c : cases) {
        w.enter(c.key);
        ASSERT_FALSE(w.desktop.messages.isEmpty());
        EXPECT_EQ(w.desktop.messages.last().text, w.msg(c.message)) << c.key.toStdString();
    }
    EXPECT_EQ(w.talvo->windowTitle(), title);
    EXPECT_EQ(w.large()->text(), QStringLiteral("Été")); // left for correction
    const int shown = int(w.desktop.messages.size());
    w.enter(QString());
    EXPECT_EQ(w.desktop.messages.size(), shown); // Enter on an empty box does nothing
    EXPECT_TRUE(w.entryForms.isEmpty());

    // The buttons follow the box; a character the catalogue cannot hold is refused as typed.
    auto *ajouter = w.talvo->findChild<QPushButton *>(QStringLiteral("ajouter_cle"));
    w.large()->clear();
    EXPECT_FALSE(ajouter->isEnabled());
    w.type(QStringLiteral("WROCŁAW"));
    EXPECT_TRUE(ajouter->isEnabled());
    EXPECT_EQ(w.large()->text(), QStringLiteral("WROCAW"));
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("Ł")));
    QTest::mouseClick(w.talvo->findChild<QPushButton *>(QStringLiteral("vider")), Qt::LeftButton);
    EXPECT_TRUE(w.large()->text().isEmpty());
}

TEST(MainWindow, SearchOutcomesByCount)
{
    Window w;
    ASSERT_TRUE(w.load());

    w.enter(QStringLiteral("rien de tel"));
    EXPECT_EQ(w.entryForms, QStringList{QStringLiteral("RIEN DE TEL")});
    EXPECT_EQ(w.session->current.letterFile, w.file(QStringLiteral("R.MFI")));
    EXPECT_EQ(w.talvo->windowTitle(), QStringLiteral(" 0") + w.msg(96) + QStringLiteral(" 6") + w.msg(97));

    w.enter(QStringLiteral("bach"));
    EXPECT_EQ(w.cards, QStringList{QStringLiteral("UN EXEMPLE DE SON : BACH")});
    EXPECT_EQ(w.session->current.letterFile, w.file(QStringLiteral("U.MFI")));
    EXPECT_EQ(w.session->current.record.category, QStringLiteral("SONS"));
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kOneResultHeightTwips);

    w.enter(QStringLiteral("exemple"));
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 6);
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kResultsHeightTwips);
    EXPECT_TRUE(w.talvo->findChild<QMenu *>(QStringLiteral("m3"))->isEnabled());
    EXPECT_EQ(w.talvo->windowTitle(), QStringLiteral(" 6") + w.msg(96) + QStringLiteral(" 6") + w.msg(97));
    EXPECT_EQ(w.talvo->gridModel().cell(1, 0), QStringLiteral("UN EXEMPLE DE SON : BACH"));
    EXPECT_EQ(w.talvo->gridModel().cell(1, 4), QStringLiteral("SONS"));
    EXPECT_EQ(w.talvo->gridModel().cell(1, 2), QStringLiteral("07-12-2026"));

    // The next search empties the grid first.
    w.enter(QStringLiteral("auteur"));
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 1);
    EXPECT_FALSE(w.talvo->findChild<QMenu *>(QStringLiteral("m3"))->isEnabled());
    EXPECT_EQ(w.cards.size(), 2);
}

TEST(MainWindow, ACardThatDeletesOrModifiesItsRow)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.enter(QStringLiteral("exemple"));
    QTableView *grid = w.talvo->grid();

    // A real click on the third row opens its card; the card deletes the record.
    w.card = [](Talvo &t) { t.session().current.deleted = true; };
    const QModelIndex third = w.talvo->gridModel().index(2, 0);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(third).center());
    EXPECT_EQ(w.cards, QStringList{QStringLiteral("UN EXEMPLE DE TEXTE : LISEZ-MOI")});
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 5);
    EXPECT_EQ(w.talvo->foundCount(), 5);
    EXPECT_EQ(w.talvo->windowTitle(), w.msg(11) + QStringLiteral("EXEMPLE") + w.msg(12));
    EXPECT_FALSE(w.session->current.deleted);

    w.card = [](Talvo &t) {
        t.session().current.record.note = QStringLiteral("NOTE CHANGÉE");
        t.session().current.modified = true;
    };
    w.talvo->grille1_click(0);
    EXPECT_EQ(w.talvo->gridModel().cell(0, 1), QStringLiteral("NOTE CHANGÉE"));
    EXPECT_EQ(w.talvo->gridModel().cell(0, 0), QStringLiteral("UN EXEMPLE D'IMAGE : VERDURE"));
    EXPECT_EQ(w.talvo->windowTitle(), w.msg(13));
    EXPECT_FALSE(w.session->current.modified);

    w.card = nullptr; // closed without a change
    const QString before = w.talvo->gridModel().cell(1, 1);
    w.talvo->setWindowTitle(QStringLiteral("unchanged"));
    w.talvo->grille1_click(1);
    EXPECT_EQ(w.talvo->gridModel().cell(1, 1), before);
    EXPECT_EQ(w.talvo->windowTitle(), QStringLiteral("unchanged"));
    w.talvo->grille1_click(99); // no such row: nothing opens
    EXPECT_EQ(w.cards.size(), 3);

    // A row added outside a search shows at once, with its count in the title.
    w.talvo->AjouterLigneGrille("AJOUT@01-01-2001[]TEXTES#\xA7");
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 6);
    EXPECT_EQ(w.talvo->gridModel().cell(5, 4), QStringLiteral("TEXTES"));
    EXPECT_EQ(w.talvo->windowTitle(), QStringLiteral(" 6") + w.msg(9));

    // The column buttons scroll the grid so that their column comes first.
    for (int c = 0; c < 6; ++c)
        grid->setColumnWidth(c, 300);
    w.talvo->V_Note_Click();
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 300);
    w.talvo->V_cat_Click(); // as far as the last column lets it go
    EXPECT_EQ(grid->horizontalScrollBar()->value(), std::min(1200, grid->horizontalScrollBar()->maximum()));
    EXPECT_GT(grid->horizontalScrollBar()->value(), 300);
}

TEST(MainWindow, AMalformedLineIsShownWholeAfterItsMessage)
{
    Window w;
    w.write(QStringLiteral("M.MFI"), "MALFORME SANS SEPARATEUR\r\nMALFORME@1[]#\xA7\r\n");
    ASSERT_TRUE(w.load());
    w.enter(QStringLiteral("malforme"));
    ASSERT_EQ(w.desktop.messages.size(), 1);
    EXPECT_EQ(w.desktop.messages[0].text, w.msg(8));
    EXPECT_EQ(w.desktop.messages[0].title, QStringLiteral("MALFORME SANS SEPARATEUR"));
    EXPECT_EQ(w.desktop.messages[0].icon, Desktop::Icon::Critical);
    EXPECT_EQ(w.talvo->gridModel().cell(0, 0), QStringLiteral("MALFORME SANS SEPARATEUR"));
    // The card gets the line exactly as stored, to find it again in its file.
    w.talvo->grille1_click(0);
    EXPECT_EQ(w.session->current.workLine, QStringLiteral("MALFORME SANS SEPARATEUR"));
    EXPECT_EQ(w.talvo->gridModel().cell(0, 2), QString());
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 2);
}

TEST(MainWindow, LanguageSwitchAndTheLanguageAlreadyActive)
{
    Window w;
    ASSERT_TRUE(w.load());
    const Language english(w.file(QStringLiteral("english.lng")));
    w.talvo->m_langues_Click(0);
    EXPECT_EQ(w.session->language.file(), w.file(QStringLiteral("english.lng")));
    EXPECT_EQ(settings::languageFileSetting(), w.file(QStringLiteral("english.lng")));
    EXPECT_EQ(w.talvo->windowTitle(), english.text(QStringLiteral("Talvo"), QStringLiteral("Form.Caption"), QString()));
    EXPECT_EQ(w.action("m_backup")->text(), english.text(QStringLiteral("Talvo"), QStringLiteral("m_backup.Caption"), QString()));
    EXPECT_EQ(w.action("m_langues(1)")->text(), QStringLiteral("&francais"));

    settings::setLanguageFileSetting(QStringLiteral("marker"));
    w.talvo->m_langues_Click(0);
    EXPECT_EQ(w.desktop.messages.last().text, w.file(QStringLiteral("english.lng")) + english.LireMessage(153));
    EXPECT_EQ(settings::languageFileSetting(), QStringLiteral("marker"));

    w.talvo->m_traduc_Click();
    EXPECT_EQ(w.desktop.messages.last().icon, Desktop::Icon::Information);
    ASSERT_FALSE(w.desktop.started.isEmpty());
    EXPECT_TRUE(w.desktop.started.last().program.endsWith(QStringLiteral("/redig5")));
    EXPECT_EQ(w.desktop.started.last().arguments, QStringList{w.file(QStringLiteral("english.lng"))});
}

// Whichever language is chosen, the window's own boxes and Qt's standard buttons speak it; with no
// language file at all, the built-in French answers, so no box is ever empty.
TEST(MainWindow, OwnTextsAndStandardButtonsFollowTheLanguage)
{
    Window w;
    ASSERT_TRUE(w.load());
    const Profile english = Profile::fromFile(w.file(QStringLiteral("english.lng")));
    const QString cannotStartEnglish =
        english.value(QStringLiteral("Textes"), QStringLiteral("lancement_impossible"), QString());
    ASSERT_FALSE(cannotStartEnglish.isEmpty());
    const bool qtFrench =
        QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm"));
    const struct
    {
        int entry;
        QString cannotStart, yes;
    } cases[] = {
        {0, cannotStartEnglish, QStringLiteral("&Yes")},
        {1, QStringLiteral("Impossible de lancer « %1 »."), qtFrench ? QStringLiteral("&Oui") : QStringLiteral("&Yes")},
    };
    w.desktop.startSucceeds = false;
    for (const auto &c : cases) {
        w.talvo->m_langues_Click(c.entry);
        w.action("m_texte")->trigger();
        ASSERT_FALSE(w.desktop.messages.isEmpty());
        EXPECT_EQ(w.desktop.messages.last().text, c.cannotStart.arg(w.desktop.started.last().program)) << c.entry;
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), c.yes) << c.entry;
    }

    Window bare(false);
    QFile::remove(bare.file(QStringLiteral("francais.lng")));
    QFile::remove(bare.file(QStringLiteral("english.lng")));
    bare.desktop.answers = {Desktop::Answer::Yes};
    ASSERT_TRUE(bare.load());
    EXPECT_TRUE(bare.exists(QStringLiteral("A.MFI")));
    EXPECT_EQ(bare.talvo->windowTitle(), w.french.text(QStringLiteral("Talvo"), QStringLiteral("Form.Caption"), QString()));
    EXPECT_EQ(bare.talvo->gridModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), w.msg(103));
}

namespace {

// The key of a caption: the character after its one "&" ("&&" stands for "&"), or none.
QStringList mnemonics(const QString &caption)
{
    QStringList keys;
    for (qsizetype i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == u'&') {
            if (caption[i + 1] != u'&') keys.append(caption[i + 1].toLower());
            ++i;
        }
    return keys;
}

} // namespace

// In each language every menu, every menu entry and every button of the window has exactly one
// key of its own among its neighbours: the menus with the buttons (all reached with Alt from the
// key box), and the entries of each menu among themselves.
TEST(MainWindow, EveryMenuEntryAndButtonHasAKeyOfItsOwnInEachLanguage)
{
    Window w;
    ASSERT_TRUE(w.load());
    // The headings of the tools menu are labels that nothing can choose.
    const QStringList headings{QStringLiteral("m11"), QStringLiteral("m12"), QStringLiteral("m15")};
    const struct
    {
        int entry;
        QString file;
    } languages[] = {{0, QStringLiteral("english.lng")}, {1, QStringLiteral("francais.lng")}};
    for (const auto &language : languages) {
        w.talvo->m_langues_Click(language.entry);
        const Language file(w.file(language.file));
        ASSERT_EQ(w.session->language.file(), file.file());

        // Each group: its name and the (object name, caption) of its members.
        QList<std::pair<QString, QList<std::pair<QString, QString>>>> groups;
        QList<std::pair<QString, QString>> top;
        for (const QAction *a : w.talvo->menuBar()->actions())
            top.append({a->menu() ? a->menu()->objectName() : a->objectName(), a->text()});
        for (const QPushButton *b : w.talvo->findChildren<QPushButton *>())
            top.append({b->objectName(), b->text()});
        groups.append({QStringLiteral("menu bar and buttons"), top});
        for (const QMenu *menu : w.talvo->menuBar()->findChildren<QMenu *>()) {
            if (menu->objectName().isEmpty() || menu->objectName().startsWith(QLatin1String("qt_"))) continue;
            QList<std::pair<QString, QString>> entries;
            for (const QAction *a : menu->actions())
                if (!a->isSeparator() && !headings.contains(a->objectName()))
                    entries.append({a->menu() ? a->menu()->objectName() : a->objectName(), a->text()});
            groups.append({menu->objectName(), entries});
        }
        ASSERT_EQ(groups.size(), 7) << "the menu bar and six menus";

        for (const auto &[group, members] : groups) {
            QStringList keys;
            for (const auto &[name, caption] : members) {
                const std::string where = (language.file + u' ' + group + u' ' + name + u' ' + caption).toStdString();
                // The caption comes from the language file, but for the language entries that
                // the menu makes from the files' names.
                if (!name.startsWith(QLatin1String("m_langues("))) {
                    EXPECT_EQ(caption, file.text(QStringLiteral("Talvo"), name + QStringLiteral(".Caption"), QString()))
                        << where;
                }
                const QStringList own = mnemonics(caption);
                EXPECT_EQ(own.size(), 1) << where;
                if (own.size() != 1) continue;
                EXPECT_TRUE(own[0][0].isLetterOrNumber()) << where;
                EXPECT_FALSE(keys.contains(own[0])) << where << " has a key taken before it in its menu";
                keys.append(own[0]);
            }
        }
    }
}

// The menus answer the keyboard: F10 opens the first one, Alt with a menu's key opens that
// menu, and Alt with a key that nothing takes types nothing in the key box.
TEST(MainWindow, TheKeyboardOpensTheMenus)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.talvo->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.talvo.get()));
    w.large()->setFocus();
    auto *first = w.talvo->findChild<QMenu *>(QStringLiteral("m_Bureau"));
    auto *data = w.talvo->findChild<QMenu *>(QStringLiteral("m_fichiers"));
    const struct
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        QMenu *opened;
    } cases[] = {{Qt::Key_F10, Qt::NoModifier, first}, {Qt::Key_D, Qt::AltModifier, data}, {Qt::Key_K, Qt::AltModifier, nullptr}};
    for (const auto &c : cases) {
        QTest::keyClick(w.large(), Qt::Key(c.key), c.modifiers);
        for (QMenu *menu : {first, data})
            EXPECT_EQ(menu->isVisible(), menu == c.opened) << menu->objectName().toStdString() << " after key " << c.key;
        if (c.opened) { EXPECT_EQ(w.talvo->menuBar()->activeAction(), c.opened->menuAction()); }
        EXPECT_TRUE(w.large()->text().isEmpty()) << w.large()->text().toStdString();
        if (c.opened) c.opened->close();
    }
}

// The language menu shows which language is current, after a start and after each switch; the
// grid's headers follow the switch.
TEST(MainWindow, TheLanguageMenuChecksTheCurrentLanguage)
{
    Window w;
    ASSERT_TRUE(w.load());
    auto checked = [&w] {
        QStringList names;
        for (int i = 0; QAction *a = w.action(qPrintable(QStringLiteral("m_langues(%1)").arg(i))); ++i) {
            EXPECT_TRUE(a->isCheckable());
            if (a->isChecked()) names.append(a->text());
        }
        return names;
    };
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&francais")});
    w.action("m_langues(0)")->trigger();
    EXPECT_EQ(w.session->language.file(), w.file(QStringLiteral("english.lng")));
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&english")});
    const Language english(w.file(QStringLiteral("english.lng")));
    for (const auto &[column, message] : {std::pair{0, 103}, std::pair{1, 106}, std::pair{5, 107}})
        EXPECT_EQ(w.talvo->gridModel().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                  english.LireMessage(message));
    w.action("m_langues(0)")->trigger(); // already the current one: it stays checked
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&english")});
    w.action("m_langues(1)")->trigger();
    EXPECT_EQ(checked(), QStringList{QStringLiteral("&francais")});
}

// Each button is as wide as its caption asks in the language shown, and back in the first
// language it has its first width again; the buttons stand side by side without overlapping.
TEST(MainWindow, ButtonsFitTheirCaptionsAfterALanguageSwitchAndBack)
{
    Window w;
    ASSERT_TRUE(w.load());
    const QStringList names{QStringLiteral("ajouter_cle"), QStringLiteral("V_Note"), QStringLiteral("V_date"),
                            QStringLiteral("V_supp"), QStringLiteral("V_cat"), QStringLiteral("v_fichier")};
    auto widths = [&](const char *language) {
        QList<int> out;
        const QPushButton *before = nullptr;
        for (const QString &name : names) {
            const auto *b = w.talvo->findChild<QPushButton *>(name);
            EXPECT_GE(b->width(), b->sizeHint().width()) << language << ' ' << b->text().toStdString();
            if (before && before->y() == b->y()) { EXPECT_GT(b->x(), before->geometry().right()) << language; }
            before = b;
            out.append(b->width());
        }
        return out;
    };
    const QList<int> french = widths("francais");
    w.talvo->m_langues_Click(0);
    const QList<int> english = widths("english");
    EXPECT_NE(english, french);
    w.talvo->m_langues_Click(1);
    EXPECT_EQ(widths("francais again"), french);
}

// The column buttons bring their column to the left edge, the last one too; the next search
// starts again at the key column.
TEST(MainWindow, ColumnJumpsReachEveryColumnAndANewSearchStartsAtTheKey)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.enter(QStringLiteral("exemple"));
    QTableView *grid = w.talvo->grid();
    for (int c = 0; c < 6; ++c)
        grid->setColumnWidth(c, 150);
    QCoreApplication::processEvents(); // the view takes the new widths
    // The last column starts further right than a table scrolled to its end shows.
    ASSERT_GT(grid->columnViewportPosition(5), grid->horizontalHeader()->length() - grid->viewport()->width());
    const struct
    {
        const char *button;
        int column;
    } jumps[] = {{"V_Note", 1}, {"V_date", 2}, {"V_supp", 3}, {"V_cat", 4}, {"v_fichier", 5}};
    for (const auto &j : jumps) {
        auto *button = w.talvo->findChild<QPushButton *>(QLatin1String(j.button));
        ASSERT_TRUE(button->isVisible()) << j.button;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(grid->columnViewportPosition(j.column), 0) << j.button;
        EXPECT_EQ(grid->columnAt(0), j.column) << j.button;
        EXPECT_EQ(grid->horizontalHeader()->logicalIndexAt(0), j.column) << j.button; // the header follows
    }
    w.enter(QStringLiteral("exemple"));
    EXPECT_EQ(grid->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(grid->columnAt(0), 0);
}

// The restore lists the backups by their dates, newest first; cancelling the list changes
// nothing; the one chosen comes back, and the catalogue it replaced is kept as a backup.
TEST(MainWindow, BackupThenRestoreWithCancelAndWithAChoice)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.talvo->m_restaure_Click(); // no backup yet: silently nothing
    EXPECT_TRUE(w.desktop.messages.isEmpty());
    EXPECT_TRUE(w.desktop.log.filter(QStringLiteral("choose:")).isEmpty());

    w.talvo->m_backup_Click();
    EXPECT_EQ(w.talvo->windowTitle(), w.msg(32));
    const QByteArray original = w.read(QStringLiteral("U.MFI"));
    w.write(QStringLiteral("U.MFI"), "UNE FICHE AJOUTEE@1[]#\xA7\r\n");
    w.talvo->m_backup_Click();
    const QList<backup::Backup> two = backup::list(w.path());
    ASSERT_EQ(two.size(), 2);

    w.desktop.choices = {std::nullopt};
    w.talvo->m_restaure_Click();
    const QStringList asked = w.desktop.log.filter(QStringLiteral("choose:"));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].indexOf(two[0].id) < asked[0].indexOf(two[1].id)) << asked[0].toStdString();
    EXPECT_EQ(w.read(QStringLiteral("U.MFI")), "UNE FICHE AJOUTEE@1[]#\xA7\r\n");

    w.desktop.choices = {1};
    w.talvo->m_restaure_Click();
    EXPECT_EQ(w.read(QStringLiteral("U.MFI")), original);
    EXPECT_EQ(w.talvo->windowTitle(), w.msg(86));
    EXPECT_EQ(backup::list(w.path()).size(), 3);
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("(6 fiche(s))"))) << w.desktop.messages.last().text.toStdString();
}

TEST(MainWindow, AutorunEntriesFollowWhatCanBeReadBack)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.talvo->m_autorun_Click();
    EXPECT_EQ(w.desktop.messages.last().text, w.msg(27));
    EXPECT_FALSE(w.action("m_autorun")->isEnabled());
    EXPECT_TRUE(w.action("m_kill_Autorun")->isEnabled());
    EXPECT_TRUE(w.exists(QStringLiteral(".config/autostart/talvo5.desktop")));

    w.talvo->m_kill_Autorun_Click();
    EXPECT_EQ(w.desktop.messages.last().text, w.msg(Talvo::kAutorunRemovedMessage));
    EXPECT_TRUE(w.action("m_autorun")->isEnabled());
    EXPECT_FALSE(w.action("m_kill_Autorun")->isEnabled());

    // An autostart folder that cannot be written: no message, entries unchanged.
    ASSERT_TRUE(QDir(w.file(QStringLiteral(".config/autostart"))).removeRecursively());
    w.write(QStringLiteral(".config/autostart"), "not a folder");
    const int shown = int(w.desktop.messages.size());
    w.talvo->m_autorun_Click();
    EXPECT_EQ(w.desktop.messages.size(), shown);
    EXPECT_TRUE(w.action("m_autorun")->isEnabled());
}

TEST(MainWindow, ClosingWritesTheSettingsFile)
{
    Window w;
    w.write(QStringLiteral("TALVO.INI"), "/usr/bin/zip\r\n\r\n\r\n 12000 \r\n 0 \r\n 4500 \r\n 3000 \r\n 41 \r\n 150 \r\n 300 \r\nDERNIERE\r\n");
    ASSERT_TRUE(w.load());
    EXPECT_EQ(w.talvo->widthTwips(), 12000);
    EXPECT_EQ(w.talvo->grid()->columnWidth(1), 200);
    w.talvo->grid()->setColumnWidth(0, 400);
    const QString scratch = w.session->scratchFile(QStringLiteral("temp.txt"));
    QFile(scratch).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::exists(scratch));
    // Meanwhile another program of the folder handed out note files: the counter never goes back.
    QByteArray ini = w.read(QStringLiteral("TALVO.INI"));
    w.write(QStringLiteral("TALVO.INI"), ini.replace(" 41 ", " 57 "));
    w.talvo->close();
    EXPECT_FALSE(QFile::exists(scratch));
    const QList<QByteArray> lines = w.read(QStringLiteral("TALVO.INI")).split('\n');
    ASSERT_EQ(lines.size(), 22); // 21 lines and what follows the last line end
    EXPECT_EQ(lines[0], "/usr/bin/zip\r");
    EXPECT_EQ(lines[3], " 12000 \r");
    EXPECT_EQ(lines[4], " 0 \r");
    EXPECT_EQ(lines[5], " 6000 \r");
    EXPECT_EQ(lines[6], " 3000 \r");
    EXPECT_EQ(lines[7], " 57 \r");
    EXPECT_EQ(lines[10], "DERNIERE\r");
    for (int i = 11; i < 21; ++i)
        EXPECT_EQ(lines[i], "Libre\r") << i;
}

// The search form's choice runs the search on its field; one that finds nothing only says so,
// whatever the key box held; the configuration enables the zip command when it accepted a zip
// tool.
TEST(MainWindow, TheSearchFormAndTheConfigurationOpenFromTheirMenus)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.desktop.dialogHandlers = {[&](QDialog *) {
        w.session->searchField = record::Field::Note;
        w.session->searchText = QStringLiteral("clic");
        return int(QDialog::Accepted);
    }};
    w.action("m_recherche")->trigger();
    EXPECT_EQ(w.desktop.dialogs, QStringList{QStringLiteral("recherch")});
    EXPECT_EQ(w.talvo->foundCount(), 5); // the notes of five examples hold it; their keys do not
    const qint64 found = w.talvo->foundCount();

    w.desktop.dialogHandlers = {[](QDialog *) { return int(QDialog::Rejected); }};
    w.action("m_recherche")->trigger(); // closed without a choice: the grid stays
    EXPECT_EQ(w.talvo->foundCount(), found);

    w.large()->setText(QStringLiteral("typed earlier"));
    w.desktop.dialogHandlers = {[&](QDialog *) {
        w.session->searchField = record::Field::Date;
        w.session->searchText = QStringLiteral("31-12-1899");
        return int(QDialog::Accepted);
    }};
    w.action("m_recherche")->trigger();
    EXPECT_EQ(w.talvo->foundCount(), 0);
    EXPECT_TRUE(w.entryForms.isEmpty()); // no record offered for a key nobody typed

    w.action("m_zip")->setEnabled(false);
    w.action("m_config")->trigger();
    EXPECT_EQ(w.desktop.dialogs.last(), QStringLiteral("config"));
    EXPECT_FALSE(w.action("m_zip")->isEnabled());
}

TEST(MainWindow, ASettingsFileThatCannotBeWrittenKeepsTheWindowOpenUnlessTheUserSaysSo)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.write(QStringLiteral("TALVO.INI"), "ANCIEN\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(w.file(QStringLiteral("TALVO.INI"))).constData(), 0444), 0);
    w.desktop.answers = {Desktop::Answer::No};
    EXPECT_FALSE(w.talvo->close());
    EXPECT_TRUE(w.talvo->isVisible());
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("TALVO.INI")));
    w.desktop.answers = {Desktop::Answer::Yes};
    EXPECT_TRUE(w.talvo->close());
    EXPECT_EQ(w.read(QStringLiteral("TALVO.INI")), "ANCIEN\r\n");
}

TEST(MainWindow, SizeRulesAndWindowCommands)
{
    Window w;
    w.write(QStringLiteral("TALVO.INI"), "\r\n\r\n\r\n 3000 \r\n-1 \r\n");
    w.write(QStringLiteral("talvo5-chercheur"), "#!/bin/sh\n");
    ASSERT_TRUE(w.load());
    EXPECT_EQ(w.talvo->widthTwips(), Talvo::kMinWidthTwips); // a stored width below the minimum is raised
    w.talvo->setHeightTwips(300);
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kMinHeightTwips);
    // Installing one outside tool enables exactly its entry.
    EXPECT_TRUE(w.action("m_find")->isEnabled());
    EXPECT_FALSE(w.action("m_sys")->isEnabled());
    w.action("m_find")->trigger();
    EXPECT_EQ(w.desktop.started.last().program, w.file(QStringLiteral("talvo5-chercheur")));

    const bool importer = w.action("m_importer")->isEnabled();
    w.talvo->Image1_Click();
    EXPECT_NE(w.action("m_importer")->isEnabled(), importer);
    w.talvo->Image1_Click();
    EXPECT_EQ(w.action("m_importer")->isEnabled(), importer);
    EXPECT_EQ(w.desktop.beeps, 2);

    w.talvo->m_dessus_Click();
    EXPECT_TRUE(w.action("m_dessus")->isChecked());
    EXPECT_TRUE(w.talvo->windowFlags() & Qt::WindowStaysOnTopHint);
    w.talvo->m_dessus_Click();
    EXPECT_FALSE(w.action("m_dessus")->isChecked());
    EXPECT_FALSE(w.talvo->windowFlags() & Qt::WindowStaysOnTopHint);

    w.talvo->Picture1_Click();
    EXPECT_EQ(w.desktop.started.last().arguments, QStringList{w.file(QStringLiteral("FALCON.TXT"))});

    w.desktop.dialogHandlers.append([](QDialog *d) {
        EXPECT_EQ(d->objectName(), QStringLiteral("apropos"));
        return 0;
    });
    w.talvo->m_infos_Click();
    EXPECT_EQ(w.desktop.dialogs, QStringList{QStringLiteral("apropos")});
}

TEST(MainWindow, ManyMalformedLinesOfferToStopTheirBoxesAndTheSearchGoesOn)
{
    Window w;
    QByteArray lines;
    for (int i = 0; i < 30; ++i)
        lines += "MALFORME " + QByteArray::number(100 + i) + "\r\n";
    w.write(QStringLiteral("M.MFI"), lines);
    ASSERT_TRUE(w.load());
    w.desktop.answers = {Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok,
                         Desktop::Answer::Yes};
    w.enter(QStringLiteral("malforme"));
    ASSERT_EQ(w.desktop.messages.size(), 5);
    EXPECT_EQ(w.desktop.messages[3].buttons, Desktop::Buttons::Ok);
    EXPECT_EQ(w.desktop.messages[4].buttons, Desktop::Buttons::YesNo);
    EXPECT_TRUE(w.desktop.messages[4].text.startsWith(w.msg(8)));
    EXPECT_EQ(w.talvo->gridModel().rowCount(), 30);
    EXPECT_EQ(w.talvo->foundCount(), 30);

    // The next search asks again; after a No the boxes keep coming, until the next question.
    w.desktop.messages.clear();
    w.desktop.answers = {Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok,
                         Desktop::Answer::No};
    w.enter(QStringLiteral("malforme 1"));
    ASSERT_EQ(w.desktop.messages.size(), 10); // the tenth, unanswered, takes its first button: Yes
    EXPECT_EQ(w.desktop.messages[9].buttons, Desktop::Buttons::YesNo);
    EXPECT_EQ(w.talvo->foundCount(), 30);
}

TEST(MainWindow, LetterFilesThatCannotBeReadAreNamedOnceAfterTheSearch)
{
    Window w;
    QFile::remove(w.file(QStringLiteral("B.MFI")));
    QFile::remove(w.file(QStringLiteral("C.MFI")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(w.file(QStringLiteral("B.MFI"))).constData(), 0644), 0);
    ASSERT_TRUE(QDir(w.path()).mkdir(QStringLiteral("C.MFI")));
    ASSERT_TRUE(w.load());
    w.enter(QStringLiteral("exemple"));
    ASSERT_EQ(w.desktop.messages.size(), 1);
    EXPECT_TRUE(w.desktop.messages[0].text.contains(w.file(QStringLiteral("B.MFI"))) &&
                w.desktop.messages[0].text.contains(w.file(QStringLiteral("C.MFI"))))
        << w.desktop.messages[0].text.toStdString();
    EXPECT_EQ(w.talvo->foundCount(), 6);
}

TEST(MainWindow, StartsWhateverStandsInPlaceOfItsSettingsAndSubFolders)
{
    Window w;
    QFile::remove(w.file(QStringLiteral("TALVO.INI")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(w.file(QStringLiteral("TALVO.INI"))).constData(), 0644), 0);
    QDir(w.path()).rmdir(QStringLiteral("NOTES"));
    w.write(QStringLiteral("NOTES"), "a plain file");
    ASSERT_TRUE(w.load());
    const QStringList texts = w.desktop.messageTexts();
    auto shown = [&](const QString &part) {
        return std::any_of(texts.cbegin(), texts.cend(), [&](const QString &t) { return t.contains(part); });
    };
    EXPECT_TRUE(shown(w.file(QStringLiteral("TALVO.INI")))) << texts.join(u'\n').toStdString();
    EXPECT_TRUE(shown(QStringLiteral("NOTES n'a pas pu être créé"))) << texts.join(u'\n').toStdString();
    EXPECT_EQ(w.read(QStringLiteral("NOTES")), "a plain file");
}

TEST(MainWindow, BackupWhileAnotherProgramChangesTheCatalogueSaysItIsBusy)
{
    Window w;
    ASSERT_TRUE(w.load());
    qputenv("TALVO_LOCK_WAIT_MS", "50");
    {
        const files::FolderLock held = w.lock();
        w.talvo->m_backup_Click();
    }
    qunsetenv("TALVO_LOCK_WAIT_MS");
    ASSERT_FALSE(w.desktop.messages.isEmpty());
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("occupé")));
    EXPECT_FALSE(w.exists(QStringLiteral("BACKUP/A.mfi")));
}

// Printing the result list: the layout and the fields chosen in their dialogs, each column as wide
// as its widest text when no width is typed, the list written to liste.txt and opened in the
// editor, which the last-list command then reopens.
TEST(MainWindow, ThePrintedListIsWrittenAndOpenedInTheEditor)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.write(QStringLiteral("R.MFI"), "ROSE ALBA@1[]FLEURS#BLANCHE\xA7\r\nROSE@2[]FLEURS#ROUGE\xA7\r\n");
    w.enter(QStringLiteral("rose"));
    ASSERT_EQ(w.talvo->gridModel().rowCount(), 2);
    w.desktop.dialogHandlers = {
        [](QDialog *layout) {
            layout->findChild<QAbstractButton *>(QStringLiteral("Picture1"))->click();
            return layout->result();
        },
        [](QDialog *fields) {
            auto *list = fields->findChild<QListWidget *>(QStringLiteral("List1"));
            for (const int row : {0, 1, 0}) {
                list->setCurrentRow(row);
                emit list->itemClicked(list->item(row));
            }
            fields->findChild<QLineEdit *>(QStringLiteral("car"))->setText(QStringLiteral(".-"));
            fields->findChild<QPushButton *>(QStringLiteral("ok"))->click();
            return fields->result();
        }};
    w.desktop.answers = {Desktop::Answer::No}; // no dashes
    w.desktop.messages.clear();
    w.action("m_imprimer")->trigger();
    EXPECT_EQ(w.desktop.dialogs.mid(0, 2), (QStringList{QStringLiteral("impr1"), QStringLiteral("impr2")}));
    EXPECT_EQ(w.read(QStringLiteral("liste.txt")),
              QByteArray("ROSE , 07-12-2026 ,  2 fiche(s)\r\n\r\nROSE ALBA BLANCHE ROSE ALBA\r\nROSE..... ROUGE.. ROSE.....\r\n"));
    ASSERT_EQ(w.desktop.messages.size(), 2);
    EXPECT_EQ(w.desktop.messages[1].text, w.msg(18));
    ASSERT_FALSE(w.desktop.started.isEmpty());
    EXPECT_EQ(w.desktop.started.last().arguments, QStringList{w.file(QStringLiteral("liste.txt"))});
    EXPECT_TRUE(w.action("m_editer_liste")->isEnabled());
}

namespace {

const QByteArray kRoses = "RIVE@1[CD1]A#ROME\xA7\r\nROME@1[]A#\xA7\r\nROME@2[CD10]A#\xA7\r\nRUE@1[CD2]A#ROME\xA7\r\n";

// The scripted answer of a dialog that only hands texts back through the session.
std::function<int(QDialog *)> filling(ArchiverSession &session, QString search, QString replacement = {},
                                     record::Field field = record::Field::All)
{
    return [&session, search, replacement, field](QDialog *) {
        session.searchText = search;
        session.replacementText = replacement;
        session.searchField = field;
        return int(QDialog::Accepted);
    };
}

// The input boxes answered with texts, one each; an empty text closes the box.
QList<std::function<int(QDialog *)>> typing(const QStringList &texts)
{
    QList<std::function<int(QDialog *)>> handlers;
    for (const QString &text : texts)
        handlers.append([text](QDialog *dialog) {
            auto *box = qobject_cast<Cinput *>(dialog);
            EXPECT_TRUE(box);
            if (!box || text.isEmpty()) return int(QDialog::Rejected);
            box->setText(text);
            return int(QDialog::Accepted);
        });
    return handlers;
}

// The grid's rows and the lines that its search finds in the files now.
void expectGridAsOnDisk(Window &w)
{
    QStringList onDisk, shown;
    RechercheGlobale(w.session->catalogue, w.talvo->gridSearchText(), record::Field::All,
                     [&](QByteArrayView line) { onDisk.append(QString::fromLatin1(line)); });
    for (int row = 0; row < w.talvo->gridModel().rowCount(); ++row)
        shown.append(QString::fromLatin1(w.talvo->gridModel().lineBytes(row)));
    EXPECT_EQ(shown, onDisk);
}

} // namespace

// Each command that changes many records says first how many it will change and where, changes
// exactly those, reports the count, runs the analysis, and is put back whole by the undo entry,
// the lists the analysis completed included; after each, the grid shows the records as they are.
TEST(MainWindow, BatchCommandsAskThenChangeThenUndo)
{
    const struct
    {
        const char *command;
        QString search;                         // typed in the key box first, when not empty
        QStringList inputs;                     // the input boxes
        QString replaceBy;                      // the replace dialog's texts, when the command shows it
        QByteArray after;
        QString report;                         // the box after the change; empty: none
        int count;
    } cases[] = {
        {"m_supp", {}, {QStringLiteral("ROME"), QStringLiteral("cd3")}, {},
         "RIVE@1[CD1]A#ROME\xA7\r\nROME@1[CD3]A#\xA7\r\nROME@2[CD10]A#\xA7\r\nRUE@1[CD2]A#ROME\xA7\r\n",
         QStringLiteral("OK !  1"), 1},
        {"m_kill_support", {}, {QStringLiteral("cd1")}, {},
         "RIVE@1[]A#ROME\xA7\r\nROME@1[]A#\xA7\r\nROME@2[CD10]A#\xA7\r\nRUE@1[CD2]A#ROME\xA7\r\n",
         QStringLiteral("OK !  1"), 1},
        {"m_remplacer", {}, {}, QStringLiteral("ROMA"),
         "RIVE@1[CD1]A#ROMA\xA7\r\nROMA@1[]A#\xA7\r\nROMA@2[CD10]A#\xA7\r\nRUE@1[CD2]A#ROMA\xA7\r\n",
         QStringLiteral("OK ! 4"), 4},
        {"m_suppr", QStringLiteral("cd1"), {}, {}, "ROME@1[]A#\xA7\r\nRUE@1[CD2]A#ROME\xA7\r\n", {}, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command);
        Window w;
        ASSERT_TRUE(w.load());
        w.write(QStringLiteral("R.MFI"), kRoses);
        const QByteArray lists = w.read(QStringLiteral("TALVO.CAT")) + '|' + w.read(QStringLiteral("TALVO.SUP"));
        w.enter(c.search.isEmpty() ? QStringLiteral("r") : c.search);
        w.desktop.dialogHandlers = typing(c.inputs);
        if (!c.replaceBy.isEmpty()) w.desktop.dialogHandlers = {filling(*w.session, QStringLiteral("ROME"), c.replaceBy)};
        w.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Yes, Desktop::Answer::No};
        w.desktop.messages.clear();
        w.action(c.command)->trigger();

        EXPECT_EQ(w.read(QStringLiteral("R.MFI")), c.after);
        const QStringList shown = w.desktop.messageTexts();
        EXPECT_TRUE(shown.contains(QStringLiteral("%1 fiche(s) vont être modifiées dans 1 fichier(s) du catalogue. Continuer\u00a0?")
                                       .arg(c.count)))
            << shown.join(u'|').toStdString();
        if (!c.report.isEmpty()) {
            EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const QString &t) { return t.startsWith(c.report); }))
                << shown.join(u'|').toStdString();
        }
        EXPECT_TRUE(w.exists(QStringLiteral("bilan.txt"))); // the analysis followed
        EXPECT_EQ(w.desktop.messages.last().title, w.msg(65));
        if (QLatin1String(c.command) != QLatin1String("m_suppr")) expectGridAsOnDisk(w);
        else EXPECT_EQ(w.talvo->gridModel().rowCount(), 0);

        w.desktop.answers = {Desktop::Answer::Yes};
        w.action("m_annuler")->trigger();
        EXPECT_EQ(w.read(QStringLiteral("R.MFI")), kRoses);
        EXPECT_EQ(w.read(QStringLiteral("TALVO.CAT")) + '|' + w.read(QStringLiteral("TALVO.SUP")), lists);
        expectGridAsOnDisk(w);
        const QString title = w.action(c.command)->text().remove(u'&');
        EXPECT_TRUE(w.desktop.messageTexts().contains(QStringLiteral("L'opération « %1 » est annulée.").arg(title)));
    }
}

// A replacement that would make records unreadable is refused before anything changes, by the
// window's dialog and by the tool alike, naming the character: a separator it brings or takes
// away, a control character, a character the letter files cannot hold; and one that would make a
// record longer than 256 characters. A separator the text to find holds at the same rank is
// kept, so the fields stay where they are.
TEST(MainWindow, HostileReplacementsAreRefusedAndChangeNoByte)
{
    const struct
    {
        QString find, by;
        QString named; // a piece of the refusal; empty: accepted
    } cases[] = {
        {QStringLiteral("ROME"), QStringLiteral("RO#ME"), QStringLiteral("« # »")},
        {QStringLiteral("ROME"), QStringLiteral("R@"), QStringLiteral("« @ »")},
        {QStringLiteral("ROME"), QStringLiteral("[R"), QStringLiteral("« [ »")},
        {QStringLiteral("ROME"), QStringLiteral("R]"), QStringLiteral("« ] »")},
        {QStringLiteral("ROME"), QStringLiteral("§"), QStringLiteral("« § »")},
        {QStringLiteral("A#"), QStringLiteral("B"), QStringLiteral("« # »")},
        {QStringLiteral("ROME"), QStringLiteral("R"), QStringLiteral("U+0007")},
        {QStringLiteral("ROME"), QStringLiteral("RΩ"), QStringLiteral("U+03A9")},
        {QStringLiteral("ROME"), QString(250, u'R'), QStringLiteral("256")},
        {QStringLiteral("A#ROME"), QStringLiteral("B#ROMA"), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.find + QStringLiteral(" -> ") + c.by).toStdString());
        Window w;
        ASSERT_TRUE(w.load());
        w.write(QStringLiteral("R.MFI"), kRoses);
        const QStringList before = w.entries();
        const QByteArray roses = w.read(QStringLiteral("R.MFI"));
        w.desktop.dialogHandlers = {[&c](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("Texte1"))->setText(c.find);
            d->findChild<QLineEdit *>(QStringLiteral("Texte2"))->setText(c.by);
            d->findChild<QAbstractButton *>(QStringLiteral("ok"))->click();
            return d->result();
        }};
        w.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Ok, Desktop::Answer::No};
        w.action("m_remplacer")->trigger();
        const CliRun cli = runCli(w, {QStringLiteral("replace-all"), c.find, c.by, QStringLiteral("--dry-run")});
        if (c.named.isEmpty()) {
            EXPECT_EQ(w.read(QStringLiteral("R.MFI")), "RIVE@1[CD1]B#ROMA\xA7\r\nROME@1[]A#\xA7\r\nROME@2[CD10]A#\xA7\r\n"
                                                      "RUE@1[CD2]B#ROMA\xA7\r\n");
            EXPECT_EQ(cli.exitCode, 0) << cli.errText().toStdString();
            continue;
        }
        ASSERT_FALSE(w.desktop.messages.isEmpty());
        EXPECT_TRUE(w.desktop.messages.last().text.contains(c.named)) << w.desktop.messages.last().text.toStdString();
        EXPECT_EQ(w.read(QStringLiteral("R.MFI")), roses);
        EXPECT_EQ(w.entries(), before); // no operation kept, no report written
        const CliRun applied = runCli(w, {QStringLiteral("replace-all"), c.find, c.by});
        EXPECT_EQ(applied.exitCode, 1);
        EXPECT_TRUE(applied.errText().contains(c.named)) << applied.errText().toStdString();
        EXPECT_EQ(w.read(QStringLiteral("R.MFI")), roses);
        EXPECT_FALSE(undo::last(w.path()).has_value());
    }
    // A support given or taken away is a whole field: no separator at all.
    Window w;
    ASSERT_TRUE(w.load());
    w.write(QStringLiteral("R.MFI"), kRoses);
    for (const QStringList &args : {QStringList{QStringLiteral("support-add"), QStringLiteral("ROME"), QStringLiteral("CD]1")},
                                    QStringList{QStringLiteral("support-remove"), QStringLiteral("CD#1")}}) {
        const CliRun r = runCli(w, args);
        EXPECT_EQ(r.exitCode, 1) << r.errText().toStdString();
    }
    w.desktop.dialogHandlers = typing({QStringLiteral("ROME"), QStringLiteral("CD]3")});
    w.action("m_supp")->trigger();
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("« ] »")));
    EXPECT_EQ(w.read(QStringLiteral("R.MFI")), kRoses);
}

// A record edited or deleted in its card is undone like the operations of many records: from the
// menu, by Ctrl+Z once the key box has nothing to take back, and by "talvo5-cli undo", whose
// history is the same; the question names what it undoes. A record the tool stored since is
// never undone with them.
TEST(MainWindow, ChangesByHandAreUndoneLikeTheOthers)
{
    Window w;
    ASSERT_TRUE(w.load());
    const QByteArray gas = "FACTURE GAZ@01-02-2003[]FACTURES#PAYEE\xA7\r\n";
    w.write(QStringLiteral("F.MFI"), gas);
    auto inCard = [&w](std::function<void(QDialog *)> act) {
        w.desktop.dialogHandlers = {[act](QDialog *d) {
            act(d);
            return d->result();
        }};
        w.enter(QStringLiteral("facture gaz"));
    };
    w.talvo->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.talvo.get()));
    auto undoByKeys = [&w](const QString &title) {
        w.large()->setFocus();
        w.large()->setText(QString()); // nothing left to take back in the box
        w.desktop.messages.clear();
        w.desktop.answers = {Desktop::Answer::Yes};
        QTest::keyClick(w.large(), Qt::Key_Z, Qt::ControlModifier);
        ASSERT_FALSE(w.desktop.messages.isEmpty());
        EXPECT_TRUE(w.desktop.messages.first().text.contains(QStringLiteral("« %1 »").arg(title)))
            << w.desktop.messages.first().text.toStdString();
    };

    w.desktop.answers = {Desktop::Answer::Yes};
    inCard([](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Texte3"))->setText(QStringLiteral("DUE"));
        d->reject();
    });
    EXPECT_EQ(w.read(QStringLiteral("F.MFI")), "FACTURE GAZ@01-02-2003[]FACTURES#DUE\xA7\r\n");
    undoByKeys(texts::get(texts::kEditRecordTitle).arg(QStringLiteral("FACTURE GAZ")));
    EXPECT_EQ(w.read(QStringLiteral("F.MFI")), gas);
    expectGridAsOnDisk(w);

    w.desktop.answers = {Desktop::Answer::Yes};
    inCard([](QDialog *d) { d->findChild<QAbstractButton *>(QStringLiteral("supprimer"))->click(); });
    EXPECT_EQ(w.read(QStringLiteral("F.MFI")), "");
    undoByKeys(texts::get(texts::kDeleteRecordTitle).arg(QStringLiteral("FACTURE GAZ")));
    EXPECT_EQ(w.read(QStringLiteral("F.MFI")), gas);

    // Ctrl+Z in a key box that can take its typing back does that first.
    w.large()->setText(QString());
    w.type(QStringLiteral("x"));
    w.desktop.messages.clear();
    QTest::keyClick(w.large(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.large()->text(), QString());
    EXPECT_TRUE(w.desktop.messages.isEmpty());

    // Edited in the window, then a record added to the same letter file by the tool: the tool's
    // undo refuses the window's edit, naming the file, and both records stay.
    w.desktop.answers = {Desktop::Answer::Yes};
    inCard([](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Texte3"))->setText(QStringLiteral("DUE"));
        d->reject();
    });
    CliRun r = runCli(w, {QStringLiteral("add"), QStringLiteral("--key"), QStringLiteral("FACTURE EAU"),
                          QStringLiteral("--category"), QStringLiteral("FACTURES")});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    r = runCli(w, {QStringLiteral("undo")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errText().contains(QStringLiteral("F.MFI"))) << r.errText().toStdString();
    const QByteArray f = w.read(QStringLiteral("F.MFI"));
    EXPECT_TRUE(f.contains("FACTURE EAU@") && f.contains("#DUE\xA7")) << f.toStdString();
}

// Saying No to the count, cancelling the progress or typing nothing changes no byte and leaves
// nothing to undo; an undo refuses a file changed since, and names it.
TEST(MainWindow, BatchCommandsRefusedOrCancelledChangeNothing)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.write(QStringLiteral("R.MFI"), kRoses);
    const QString nothing = w.msg(73);

    w.desktop.dialogHandlers = typing({QStringLiteral("ROME"), QStringLiteral("CD3")});
    w.desktop.answers = {Desktop::Answer::No};
    w.action("m_supp")->trigger();
    w.desktop.dialogHandlers = typing({QString()});
    w.action("m_kill_support")->trigger();
    EXPECT_EQ(w.desktop.messages.last().text, nothing);
    w.desktop.dialogHandlers = typing({QStringLiteral("CD1")});
    w.desktop.answers = {Desktop::Answer::Yes};
    w.desktop.cancelProgressAt = 1;
    w.action("m_kill_support")->trigger();
    EXPECT_EQ(w.desktop.messages.last().text, nothing);
    // The replace dialog's texts for a key option with both boxes empty: "@" by itself, which
    // changes no byte, so no record.
    w.desktop.dialogHandlers = {filling(*w.session, QStringLiteral("@"), QStringLiteral("@"))};
    w.action("m_remplacer")->trigger();
    EXPECT_EQ(w.desktop.messages.last().text, QStringLiteral("OK ! 0") + w.msg(80));
    EXPECT_EQ(w.read(QStringLiteral("R.MFI")), kRoses);
    EXPECT_FALSE(w.exists(QStringLiteral("bilan.txt")));
    w.desktop.messages.clear();
    w.action("m_annuler")->trigger();
    EXPECT_EQ(w.desktop.messageTexts(), QStringList{QStringLiteral("Aucune opération à annuler.")});

    w.desktop.cancelProgressAt = -1;
    w.desktop.dialogHandlers = typing({QStringLiteral("CD1")});
    w.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::No};
    w.action("m_kill_support")->trigger();
    const QByteArray changed = w.read(QStringLiteral("R.MFI"));
    ASSERT_NE(changed, kRoses);
    w.write(QStringLiteral("R.MFI"), changed + "RUSSE@1[]A#\xA7\r\n"); // another program wrote meanwhile
    w.desktop.answers = {Desktop::Answer::Yes};
    w.action("m_annuler")->trigger();
    EXPECT_TRUE(w.desktop.messages.last().text.contains(QStringLiteral("R.MFI")));
    EXPECT_EQ(w.read(QStringLiteral("R.MFI")), changed + "RUSSE@1[]A#\xA7\r\n");

    // An operation stopped half-way (its program killed) is put back at the next start, before
    // anything else, and said.
    Window next;
    next.write(QStringLiteral("R.MFI"), kRoses);
    {
        QString error;
        const auto lock = next.lock();
        auto op = undo::Operation::begin(lock, next.path(), QStringLiteral("Remplacements multiples"), &error);
        ASSERT_TRUE(op && op->keep(next.file(QStringLiteral("R.MFI")), &error)) << error.toStdString();
    }
    QFile::remove(next.file(QStringLiteral("R.MFI"))); // replaced as the operation's saves replace files
    next.write(QStringLiteral("R.MFI"), "RIVE@1[CD1]A#ROME\xA7\r\n");
    ASSERT_TRUE(next.load());
    ASSERT_FALSE(next.desktop.messages.isEmpty());
    EXPECT_TRUE(next.desktop.messages.last().text.contains(QStringLiteral("« Remplacements multiples »")));
    EXPECT_TRUE(next.desktop.messages.last().text.endsWith(QStringLiteral(": R.MFI")));
    EXPECT_EQ(next.read(QStringLiteral("R.MFI")), kRoses);
    EXPECT_FALSE(undo::last(next.path()).has_value());
}

// Both imports and the export, through their file dialogs: three unreadable lines abandon an
// import with what was read before them; a list is filed under the category chosen; an export
// to a folder that cannot be written says so and does not claim it saved.
TEST(MainWindow, ImportAndExportThroughTheirDialogs)
{
    Window w;
    ASSERT_TRUE(w.load());
    ASSERT_TRUE(QDir().mkpath(w.file(QStringLiteral("in"))));
    w.write(QStringLiteral("in/empty.MFI"), "\r\n\r\n\r\nROSE@1[]A#\xA7\r\n");
    w.write(QStringLiteral("in/good.MFI"), "ZEBRE@2[]ANIMAUX#\xA7\r\nZEBRE@3[]ANIMAUX#\xA7\r\nZ2@1[]A#\xA7\r\n");
    w.write(QStringLiteral("in/list.txt"), "LIVRE ROUGE#un roman\r\nLIVRE BLEU#\r\n");
    const QByteArray zBefore = w.read(QStringLiteral("Z.MFI"));

    w.desktop.fileNames = {w.file(QStringLiteral("in/empty.MFI"))};
    w.action("m_import")->trigger();
    QStringList shown = w.desktop.messageTexts();
    EXPECT_TRUE(shown.contains(QStringLiteral("ABANDON ! Trop d'erreurs dans ce Fichier...")));
    // The result names each rejected line, with its number and why.
    EXPECT_TRUE(shown.last().startsWith(w.msg(68) + QStringLiteral("\r\n 3") + w.msg(69) + QStringLiteral("\r\n\r\n")))
        << shown.last().toStdString();
    for (int n = 1; n <= 3; ++n)
        EXPECT_TRUE(shown.last().contains(texts::get(texts::kRejectedLine).arg(n).arg(QString(), texts::get(texts::kRejectEmpty))));
    EXPECT_FALSE(w.read(QStringLiteral("R.MFI")).contains("ROSE@1[]A#"));

    w.desktop.fileNames = {w.file(QStringLiteral("in/good.MFI"))};
    w.desktop.answers = {Desktop::Answer::Yes, Desktop::Answer::Ok, Desktop::Answer::No};
    w.action("m_import")->trigger();
    const QByteArray z = w.read(QStringLiteral("Z.MFI"));
    EXPECT_TRUE(z.contains("ZEBRE@2[]ANIMAUX#\xA7\r\n") && z.contains("Z2@1[]A#\xA7\r\n"));
    EXPECT_EQ(z.size(), zBefore.size() + 51);
    EXPECT_TRUE(w.exists(QStringLiteral("bilan.txt")));

    w.desktop.fileNames = {w.file(QStringLiteral("in/list.txt"))};
    w.desktop.dialogHandlers = {[&w](QDialog *dialog) {
        EXPECT_EQ(dialog->objectName(), QStringLiteral("categorie"));
        w.session->current.record.category = QStringLiteral("LIVRES");
        return int(QDialog::Accepted);
    }};
    w.desktop.answers = {Desktop::Answer::Yes};
    w.action("m_importer")->trigger();
    EXPECT_TRUE(w.read(QStringLiteral("L.MFI")).contains("LIVRE ROUGE@07-12-2026[]LIVRES#UN ROMAN\xA7\r\n"));
    EXPECT_EQ(w.desktop.messages.last().text, QStringLiteral("OK ! 2") + w.msg(75));
    EXPECT_EQ(w.talvo->windowTitle(), QStringLiteral(" 2") + w.msg(75)); // what was done, not "Abandon"

    w.enter(QStringLiteral("zebre"));
    ASSERT_EQ(w.talvo->gridModel().rowCount(), 2);
    w.desktop.messages.clear();
    w.desktop.fileNames = {w.file(QStringLiteral("out/export.MFI"))};
    ASSERT_TRUE(QDir().mkpath(w.file(QStringLiteral("out"))));
    w.action("m_sauver")->trigger();
    EXPECT_EQ(w.read(QStringLiteral("out/export.MFI")), QByteArray("ZEBRE@2[]ANIMAUX#\xA7\r\nZEBRE@3[]ANIMAUX#\xA7\r\n"));
    EXPECT_EQ(w.desktop.messages.last().text, w.msg(89) + QStringLiteral("\r\n") + w.file(QStringLiteral("out/export.MFI")));

    // A plain file where the folder should be: no user, root included, can write there.
    w.desktop.fileNames = {w.file(QStringLiteral("out/export.MFI/again.MFI"))};
    w.action("m_sauver")->trigger();
    EXPECT_EQ(w.desktop.messages.last().icon, Desktop::Icon::Warning);
    EXPECT_FALSE(w.desktop.messages.last().text.startsWith(w.msg(89)));
    EXPECT_EQ(w.read(QStringLiteral("out/export.MFI")), QByteArray("ZEBRE@2[]ANIMAUX#\xA7\r\nZEBRE@3[]ANIMAUX#\xA7\r\n"));
}

// The analysis from the menu: a box per broken line until the user stops them, the report, its
// caption with the seconds, and the editor on the report after Yes.
TEST(MainWindow, TheAnalysisShowsItsBoxesThenOffersItsReport)
{
    Window w;
    ASSERT_TRUE(w.load());
    QByteArray broken;
    for (char c = 'A'; c <= 'G'; ++c) broken += QByteArray("B") + c + "@1[]A\r\n"; // no "#" nor the target mark
    w.write(QStringLiteral("B.MFI"), broken);
    w.desktop.answers = {Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok, Desktop::Answer::Ok,
                         Desktop::Answer::Yes /* stop showing them */, Desktop::Answer::Yes /* open the report */};
    w.desktop.messages.clear();
    w.action("m_bilan")->trigger();
    ASSERT_EQ(w.desktop.messages.size(), 6);
    EXPECT_EQ(w.desktop.messages[0].text, QStringLiteral("BA@1[]A"));
    EXPECT_EQ(w.desktop.messages[0].title, w.msg(36) + QStringLiteral("B.MFI"));
    EXPECT_EQ(w.desktop.messages.last().title, w.msg(65));
    EXPECT_TRUE(w.read(QStringLiteral("bilan.txt")).contains("BG@1[]A"));
    EXPECT_TRUE(w.talvo->windowTitle().startsWith(w.msg(64)));
    EXPECT_TRUE(w.talvo->windowTitle().endsWith(QStringLiteral(" sec")));
    ASSERT_FALSE(w.desktop.started.isEmpty());
    EXPECT_TRUE(w.desktop.started.last().program.endsWith(QStringLiteral("/redig5")));
    EXPECT_EQ(w.desktop.started.last().arguments, QStringList{w.file(QStringLiteral("bilan.txt"))});
}

// Refining the grid by a field: the rows kept and the counts in the caption; one row left opens
// its card; none says so; no field chosen leaves the grid as it was.
TEST(MainWindow, RefineNarrowsTheGridByAField)
{
    const struct
    {
        record::Field field;
        QString text;
        int kept;
        bool listEnabled;
    } cases[] = {
        {record::Field::Note, QStringLiteral("rose"), 3, true},
        {record::Field::Support, QStringLiteral("CD9"), 1, false},
        {record::Field::Key, QStringLiteral("TULIPE"), 0, false},
        {record::Field::All, QString(), 12, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        Window w;
        ASSERT_TRUE(w.load());
        QByteArray lines;
        for (int i = 0; i < 12; ++i)
            lines += "FLEUR " + QByteArray::number(10 + i) + "@1[" + (i == 4 ? "CD9" : "CD1") + "]A#" +
                     (i % 4 == 1 ? "rose" : "Rose") + "\xA7\r\n";
        w.write(QStringLiteral("F.MFI"), lines);
        w.enter(QStringLiteral("fleur"));
        ASSERT_EQ(w.talvo->gridModel().rowCount(), 12);
        w.desktop.dialogHandlers = {filling(*w.session, c.text, {}, c.field)};
        w.desktop.messages.clear();
        w.action("m_affiner")->trigger();
        EXPECT_EQ(w.talvo->gridModel().rowCount(), c.kept);
        EXPECT_EQ(w.talvo->findChild<QMenu *>(QStringLiteral("m3"))->isEnabled(), c.listEnabled);
        if (c.field == record::Field::All) {
            EXPECT_EQ(w.desktop.messageTexts(), QStringList{w.msg(22)});
            continue;
        }
        EXPECT_EQ(w.talvo->windowTitle(),
                  u' ' + QString::number(c.kept) + w.msg(23) + QStringLiteral(" 12") + w.msg(24));
        EXPECT_EQ(w.read(QStringLiteral("sel.txt")), lines);
        EXPECT_EQ(w.cards, c.kept == 1 ? QStringList{QStringLiteral("FLEUR 14")} : QStringList{});
        if (c.kept == 0) { EXPECT_EQ(w.desktop.messageTexts(), QStringList{c.text + w.msg(25)}); }
    }
}

// The Tools menu: an outside tool's entry follows its file, and the image browser gets the
// favourite folder when one is set; the target list goes to the zip tool as one file, the
// keyword list of an empty catalogue is an empty file that still opens, the help page and the
// settings folder open with their associated programs.
TEST(MainWindow, ToolsMenuStartsEachProgramWithItsArgument)
{
    Window w;
    w.write(QStringLiteral("talvo5-images"), "");
    w.write(QStringLiteral("talvo5-zip"), "");
    w.write(QStringLiteral("R.MFI"), "ROSE@01-01-2001[]FLEURS#\xA7/photos/Rose \"1\".jpg\r\n"
                                     "ROSIER@01-01-2001[]FLEURS#\xA7\r\n");
    ASSERT_TRUE(w.load());
    EXPECT_TRUE(w.action("m_viewer")->isEnabled());
    EXPECT_FALSE(w.action("m_sons")->isEnabled());
    EXPECT_TRUE(w.action("m_sauver_alb")->isEnabled());

    for (const QString &favourite : {QString(), QStringLiteral("/data/MES PHOTOS")}) {
        w.session->settings.imageFolder = favourite;
        w.action("m_viewer")->trigger();
        EXPECT_EQ(w.desktop.started.last().program, w.file(QStringLiteral("talvo5-images")));
        EXPECT_EQ(w.desktop.started.last().arguments, favourite.isEmpty() ? QStringList() : QStringList{favourite});
    }

    // Without a list its menu is greyed, and its shortcut does nothing.
    w.action("m_sauver_alb")->trigger();
    EXPECT_TRUE(w.desktop.started.size() == 2 && w.desktop.messages.isEmpty());
    w.enter(QStringLiteral("ROS"));
    w.action("m_sauver_alb")->trigger();
    EXPECT_EQ(w.desktop.started.last().program, w.file(QStringLiteral("talvo5-zip")));
    ASSERT_EQ(w.desktop.started.last().arguments.size(), 1);
    QFile list(w.desktop.started.last().arguments.front());
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), QByteArray("/photos/Rose \"1\".jpg\n"));

    for (const QString &name : QDir(w.path()).entryList({QStringLiteral("*.MFI")})) w.write(name, "");
    w.action("m_lister_clés")->trigger();
    EXPECT_EQ(w.desktop.started.last().arguments, QStringList{w.file(QStringLiteral("Mots_Cles.txt"))});
    EXPECT_TRUE(w.exists(QStringLiteral("Mots_Cles.txt")));
    EXPECT_TRUE(w.read(QStringLiteral("Mots_Cles.txt")).isEmpty());
    EXPECT_EQ(w.talvo->windowTitle(), w.msg(134));

    w.desktop.opened.clear();
    w.copyShipped(QStringLiteral("menu_doc.htm"));
    w.action("m_editer_aide")->trigger();
    w.action("m_regedit")->trigger();
    // The settings folder is the one of the per-user settings file, made when missing.
    const QString settingsFolder = settings::userSettingsFolder();
    EXPECT_TRUE(QFileInfo(settingsFolder).isDir());
    EXPECT_EQ(w.desktop.opened, (QList<QUrl>{QUrl::fromLocalFile(w.file(QStringLiteral("menu_doc.htm"))),
                                             QUrl::fromLocalFile(settingsFolder)}));

    w.action("m_oublies")->trigger();
    EXPECT_EQ(w.desktop.dialogs.last(), QStringLiteral("oublies"));

    // Without a notification area the window stays, saying why; with one it hides behind its icon.
    ASSERT_TRUE(w.talvo->isVisible());
    w.action("m_systray")->trigger();
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_FALSE(w.talvo->isVisible());
    } else {
        EXPECT_TRUE(w.talvo->isVisible());
        EXPECT_EQ(w.desktop.messages.last().text, texts::get(texts::kNoTrayArea));
    }
}

// The pictures of the list: the album hands the local pictures to the thumbnail tool in a list
// file; the page dialog refuses an empty name, then makes the page under the home folder and
// opens it.
TEST(MainWindow, PicturePagesOfTheList)
{
    Window w;
    QTemporaryDir pictures, home;
    w.session->homeFolder = home.path();
    QByteArray lines;
    for (const char *name : {"un.jpg", "deux.JPG", "trois.gif.jpg"}) {
        const QString path = pictures.filePath(QLatin1String(name));
        QImage image(12, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(path, "JPEG"));
        lines += "PHOTO " + QByteArray(name).toUpper() + "@01-01-2001[]PHOTOS#\xA7" + path.toUtf8() + "\r\n";
    }
    lines += "PHOTO CD@01-01-2001[CD 1]PHOTOS#\xA7/cd/loin.bmp\r\n";
    w.write(QStringLiteral("P.MFI"), lines);
    w.write(QStringLiteral("talvo5-vignettes"), "");
    ASSERT_TRUE(w.load());
    ASSERT_TRUE(w.action("m_album")->isEnabled());
    w.action("m_album")->trigger(); // no list yet: its menu is greyed
    EXPECT_TRUE(w.desktop.started.isEmpty() && w.desktop.messages.isEmpty());

    w.enter(QStringLiteral("PHOTO"));
    ASSERT_EQ(w.talvo->gridModel().rowCount(), 4);
    w.action("m_album")->trigger();
    EXPECT_EQ(w.desktop.started.last().program, w.file(QStringLiteral("talvo5-vignettes")));
    QFile list(w.desktop.started.last().arguments.value(0));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll().split('\n').size(), 3); // the BMP on a support is left out

    const auto fill = [](const QString &name) {
        return [name](QDialog *d) {
            EXPECT_EQ(d->objectName(), QStringLiteral("htm"));
            d->findChild<QLineEdit *>(QStringLiteral("nom"))->setText(name);
            d->findChild<QLineEdit *>(QStringLiteral("colonnes"))->setText(QStringLiteral("2"));
            d->findChild<QPushButton *>(QStringLiteral("Commande1"))->click();
            return d->result();
        };
    };
    w.desktop.dialogHandlers = {fill(QString())};
    w.action("m_html")->trigger();
    EXPECT_EQ(w.desktop.messages.last().text, w.msg(125));
    w.desktop.opened.clear();
    w.desktop.dialogHandlers = {fill(QStringLiteral("album"))};
    w.action("m_html")->trigger();
    const QString page = home.filePath(QStringLiteral("album/album.htm"));
    EXPECT_EQ(w.desktop.opened, QList<QUrl>{QUrl::fromLocalFile(page)});
    QFile made(page);
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    const QByteArray text = made.readAll();
    EXPECT_EQ(text.count("<TR "), 2);
    EXPECT_EQ(text.count("Width=\"12\" Height=\"8\""), 3);
}

// The height the user gives the window over a list of results is the next list's, a search with
// one result between them.
TEST(MainWindow, TheGridKeepsTheHeightTheUserGaveIt)
{
    Window w;
    ASSERT_TRUE(w.load());
    w.write(QStringLiteral("F.MFI"), "FLEUR 1@1[]A#\xA7\r\nFLEUR 2@1[]A#\xA7\r\nFLEUR 3@1[]A#\xA7\r\n");
    w.enter(QStringLiteral("fleur"));
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kResultsHeightTwips);
    w.talvo->setHeightTwips(8010);
    w.enter(QStringLiteral("fleur"));
    EXPECT_EQ(w.talvo->heightTwips(), 8010);
    w.enter(QStringLiteral("fleur 1")); // one result: the card's height
    EXPECT_EQ(w.talvo->heightTwips(), Talvo::kOneResultHeightTwips);
    w.enter(QStringLiteral("fleur"));
    EXPECT_EQ(w.talvo->heightTwips(), 8010);
}

// Two windows on one folder, each closed after changing a setting of its own: the file keeps
// both changes, and the note counter the greater value.
TEST(MainWindow, TwoWindowsClosingKeepEachOthersSettings)
{
    Window a;
    ASSERT_TRUE(a.load());
    ArchiverSession second(a.path(), QStringLiteral("07-12-2026"));
    ScriptedDesktop desktop;
    Talvo b(second, desktop);
    ASSERT_TRUE(b.Form_Load());
    a.session->settings.zipProgram = QStringLiteral("/usr/bin/7z");
    a.session->settings.noteCounter = 12;
    second.settings.showAssociatedFile = false;
    second.settings.noteCounter = 4;
    a.talvo->close();
    b.close();
    TalvoSettings stored;
    ASSERT_TRUE(settings::read(settings::settingsFile(a.path()), stored));
    EXPECT_EQ(stored.zipProgram, QStringLiteral("/usr/bin/7z"));
    EXPECT_FALSE(stored.showAssociatedFile);
    EXPECT_EQ(stored.noteCounter, 12);
}
