#pragma once

#include "common/desktop/desktop.h"

// The Desktop of the running program: Qt's dialogs, processes and services.
class QtDesktop : public Desktop
{
public:
    Answer message(QWidget *parent, const QString &text, const QString &title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> inputText(QWidget *parent, const QString &prompt, const QString &title,
                                     const QString &initial) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                         const QString &filter) override;
    int exec(QDialog *dialog) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    bool openUrl(const QUrl &url) override;
    void beep() override;
    void setClipboardText(const QString &text) override;
    bool print(QWidget *parent, const QTextDocument &document, const QString &title) override;
};
