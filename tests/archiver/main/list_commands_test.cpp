#include "command_window.h"

// Escape or closing either print dialog gives the print up: no list is written and the editor
// is not started. A list made is headed by the search that filled the grid, whatever text a
// dialog has since left in the session.
TEST(PrintCommand, GivesUpWhenADialogIsClosedAndNamesTheGridsSearch)
{
    const struct {
        const char *name;
        QList<std::function<int(QDialog *)>> dialogs;
        bool printed;
    } cases[] = {
        {"layout closed", {[](QDialog *) { return int(QDialog::Rejected); }}, false},
        {"fields closed",
         {CommandWindow::clicking("Picture2"), [](QDialog *) { return int(QDialog::Rejected); }},
         false},
        {"both chosen",
         {CommandWindow::clicking("Picture1"), CommandWindow::picking({0, 4})},
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CommandWindow w;
        w.search(QStringLiteral("PHOTO"));
        ASSERT_EQ(w.window->gridModel().rowCount(), 4);
        w.session->searchText = QStringLiteral("AUTRE");
        w.desktop.dialogHandlers = c.dialogs;
        w.desktop.answers = {Desktop::Answer::No}; // no dashes
        w.action(QStringLiteral("m_imprimer"))->trigger();
        EXPECT_EQ(w.exists(QStringLiteral("liste.txt")), c.printed);
        EXPECT_EQ(w.desktop.started.size(), c.printed ? 1 : 0);
        EXPECT_EQ(w.action(QStringLiteral("m_editer_liste"))->isEnabled(), c.printed);
        if (c.printed) {
            EXPECT_TRUE(
                w.read(QStringLiteral("liste.txt"))
                    .startsWith("PHOTO , 07-12-2026 ,  4 fiche(s)\r\n\r\nPHOTO CD     PHOTOS\r\n"))
                << w.read(QStringLiteral("liste.txt")).toStdString();
        }
    }
}
