#pragma once

#include "archiver/main/talvo.h"
#include "archiver/store/first_run.h"
#include "archiver/store/session.h"
#include "common/desktop/scripted_desktop.h"

#include "tests/support/test_folder.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A main window on a temporary program folder, talking to a scripted desktop, whose home folder
// is the folder's "home", as the command-line tool's is under runCli. Its catalogue holds four
// picture records under the home folder: two in Images, one with a support, one in the folder of
// the page ma_page.
struct CommandWindow : TestFolder
{
    CommandWindow()
    {
        copyShipped(QStringLiteral("francais.lng"));
        copyShipped(QStringLiteral("english.lng"));
        copyShipped(QStringLiteral("back.gif")); // the parchment of the pages
        QString error;
        EXPECT_TRUE(firstrun::InitialiserFichiers(lock(), QStringLiteral("07-12-2026"), &error))
            << error.toStdString();
        firstrun::ensureSubFolders(path(), [](const QString &) {});
        QDir().mkpath(home());
        const auto record = [this](const char *key, const char *support, const char *target) {
            return QByteArray(key) + "@01-01-2001[" + support + "]PHOTOS#\xA7" +
                   (home() + u'/').toUtf8() + target + "\r\n";
        };
        write(QStringLiteral("P.MFI"), record("PHOTO CD", "CD 1", "Images/cd.jpg") +
                                           record("PHOTO DEDANS", "", "ma_page/dedans.jpg") +
                                           record("PHOTO DEUX", "", "Images/Vacances.JPG") +
                                           record("PHOTO UN", "", "Images/photo.jpg"));
        session = std::make_unique<ArchiverSession>(path(), QStringLiteral("07-12-2026"));
        session->homeFolder = home();
        window = std::make_unique<Talvo>(*session, desktop);
        EXPECT_TRUE(window->Form_Load());
        window->show();
    }

    QString home() const { return path() + QStringLiteral("home"); }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
    void search(const QString &text)
    {
        auto *large = window->findChild<QLineEdit *>(QStringLiteral("large"));
        large->clear();
        QTest::keyClicks(large, text);
        QTest::keyClick(large, Qt::Key_Return);
    }
    // A dialog handler that clicks the named button and answers with the dialog's result.
    static std::function<int(QDialog *)> clicking(const char *button)
    {
        return [button](QDialog *d) {
            d->findChild<QAbstractButton *>(QLatin1String(button))->click();
            return d->result();
        };
    }
    // A handler that picks the rows of the list List1 in order, then clicks ok.
    static std::function<int(QDialog *)> picking(const QList<int> &rows)
    {
        return [rows](QDialog *d) {
            auto *list = d->findChild<QListWidget *>(QStringLiteral("List1"));
            for (const int row : rows) {
                list->setCurrentRow(row);
                emit list->itemClicked(list->item(row));
            }
            d->findChild<QAbstractButton *>(QStringLiteral("ok"))->click();
            return d->result();
        };
    }

    ScriptedDesktop desktop;
    std::unique_ptr<ArchiverSession> session;
    std::unique_ptr<Talvo> window;
};
