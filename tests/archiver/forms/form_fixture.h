#pragma once

#include "archiver/store/first_run.h"
#include "archiver/store/session.h"
#include "common/desktop/scripted_desktop.h"

#include "tests/support/test_folder.h"

#include <QAbstractButton>
#include <QDialog>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

// A program folder with the work files of a first run and both language files, a session on it
// speaking French, and a scripted desktop: what a dialog needs to be built on its own.
struct FormFixture : ::testing::Test, TestFolder
{
    explicit FormFixture(const QString &today = QStringLiteral("05-03-2004"))
    {
        copyShipped(QStringLiteral("francais.lng"));
        copyShipped(QStringLiteral("english.lng"));
        QString error;
        EXPECT_TRUE(firstrun::InitialiserFichiers(lock(), today, &error)) << error.toStdString();
        firstrun::ensureSubFolders(path(), [](const QString &) {});
        session = std::make_unique<ArchiverSession>(path(), today);
        session->language.setFile(file(QStringLiteral("francais.lng")));
    }

    void speakEnglish() { session->language.setFile(file(QStringLiteral("english.lng"))); }
    QString msg(int n) const { return session->language.LireMessage(n); }

    template <typename T = QWidget>
    static T *child(const QWidget *form, const char *name)
    {
        T *w = form->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void click(const QWidget *form, const char *name) { child<QAbstractButton>(form, name)->click(); }

    ScriptedDesktop desktop;
    std::unique_ptr<ArchiverSession> session;
};
