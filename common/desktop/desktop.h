#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QDialog;
class QImage;
class QTextDocument;
class QWidget;

// Everything a window asks of the user or of the system goes through a Desktop: message boxes,
// input boxes, file dialogs, modal dialogs, starting programs, opening documents, the beep and
// the clipboard. The program uses QtDesktop; tests use ScriptedDesktop, which answers from a
// queue and keeps a log of what was shown and started.
class Desktop
{
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Desktop() = default;

    // A message box; an empty title gives the program's name. Enter presses defaultButton when
    // given (a question whose Yes would destroy something has No there), else the first button.
    virtual Answer message(QWidget *parent, const QString &text, const QString &title = QString(),
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
                           std::optional<Answer> defaultButton = std::nullopt) = 0;
    // A choice among items (a list the user picks one from); its index, nothing when cancelled.
    virtual std::optional<int> choose(QWidget *parent, const QString &title, const QString &label,
                                      const QStringList &items) = 0;
    // The platform's input box; nothing when cancelled.
    virtual std::optional<QString> inputText(QWidget *parent, const QString &prompt,
                                             const QString &title, const QString &initial) = 0;
    // File dialogs; an empty path when cancelled.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter) = 0;
    // folder may end with a file name, which the dialog presets. With confirmOverwrite false the
    // dialog does not ask about an existing file: the caller asks its own question.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                 const QString &filter, bool confirmOverwrite = true) = 0;
    // The platform's folder chooser, starting in folder; an empty path when cancelled.
    virtual QString folderName(QWidget *parent, const QString &title, const QString &folder) = 0;
    // Shows a dialog of ours modally and returns its result code.
    virtual int exec(QDialog *dialog) = 0;
    // Starts a program without waiting for it; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;
    // Opens a document, a web address or a "mailto:" address with the associated program.
    virtual bool openUrl(const QUrl &url) = 0;
    virtual void beep() = 0;
    virtual void setClipboardText(const QString &text) = 0;
    virtual QString clipboardText() = 0;
    // Shows the progress of a long piece of work with a cancel button: the work calls the function
    // returned with how much of it is done, and stops when it returns false (the user cancelled).
    // The progress shows until the function is destroyed.
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    virtual Progress progress(QWidget *parent, const QString &label) = 0;
    // Prints a document after the platform's print dialog; false when cancelled or failed.
    virtual bool print(QWidget *parent, const QTextDocument &document, const QString &title) = 0;
    // Prints a picture after the platform's print dialog, at the top left of the page at its size
    // on the screen (96 pixels to the inch), reduced to the page when larger; false when cancelled
    // or failed.
    virtual bool printImage(QWidget *parent, const QImage &image, const QString &title) = 0;
};
