#pragma once

#include "common/desktop/desktop.h"

#include <QImage>
#include <QList>
#include <QStringList>

#include <functional>

// The Desktop of tests. Answers come from queues filled by the test (a message box with no
// queued answer gets its default button, as Enter would, else its first: OK or Yes); every request is logged as one line, and the
// details of the message boxes are kept for reading back. Nothing real is shown or started.
class ScriptedDesktop : public Desktop
{
public:
    struct Shown
    {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        std::optional<Answer> defaultButton;
    };
    struct Started
    {
        QString program;
        QStringList arguments;
    };

    // Queues.
    QList<Answer> answers;
    QList<std::optional<QString>> inputs;
    // Answers of the choices among items; without one, the first item, as Enter takes it.
    QList<std::optional<int>> choices;
    QStringList fileNames;
    // Each modal dialog is handed to the next handler, which may fill and click it; its return
    // value is the dialog's result. Without a handler the dialog is rejected.
    QList<std::function<int(QDialog *)>> dialogHandlers;
    // Answers for the dialogs when the queue is empty; without it they are rejected.
    std::function<int(QDialog *)> otherDialogs;
    bool startSucceeds = true;
    // The progress of long work is cancelled at this step (counted from 1); never when negative.
    int cancelProgressAt = -1;
    // Where printed documents go, as PDF; empty: printing is only logged.
    QString printFolder;

    // What happened, in order.
    QStringList log;
    QList<Shown> messages;
    QList<Started> started;
    QList<QUrl> opened;
    QStringList dialogs; // objectNames of the dialogs shown
    QStringList fileFilters; // the filter of each file dialog
    QStringList saveFolders; // the folder (or preset path) of each save dialog
    int beeps = 0;
    QString clipboard;
    QStringList printed; // plain text of each printed document
    QList<QImage> printedImages;

    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Icon icon, std::optional<Answer> defaultButton = std::nullopt) override;
    std::optional<QString> inputText(QWidget *parent, const QString &prompt, const QString &title,
                                     const QString &initial) override;
    std::optional<int> choose(QWidget *parent, const QString &title, const QString &label,
                              const QStringList &items) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter, bool confirmOverwrite = true) override;
    // The folder chooser answers from fileNames too.
    QString folderName(QWidget *parent, const QString &title, const QString &folder) override;
    int exec(QDialog *dialog) override;
    Progress progress(QWidget *parent, const QString &label) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openUrl(const QUrl &url) override;
    void beep() override;
    void setClipboardText(const QString &text) override;
    QString clipboardText() override;
    bool print(QWidget *parent, const QTextDocument &document, const QString &title) override;
    // Printed pictures go to printFolder as image-N.pdf.
    bool printImage(QWidget *parent, const QImage &image, const QString &title) override;

    // The texts of the message boxes shown so far.
    QStringList messageTexts() const;
};
