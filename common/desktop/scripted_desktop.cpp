#include "common/desktop/scripted_desktop.h"

#include "common/desktop/qt_desktop.h"

#include <memory>

#include <QDialog>
#include <QPrinter>
#include <QTextDocument>

Desktop::Answer ScriptedDesktop::message(QWidget *, const QString &text, const QString &title,
                                         Buttons buttons, Icon icon, std::optional<Answer> defaultButton)
{
    messages.append({text, title, buttons, icon, defaultButton});
    log.append(QStringLiteral("message: ") + text);
    if (!answers.isEmpty()) return answers.takeFirst();
    if (defaultButton) return *defaultButton;
    return (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) ? Answer::Yes : Answer::Ok;
}

std::optional<QString> ScriptedDesktop::inputText(QWidget *, const QString &prompt, const QString &,
                                                  const QString &)
{
    log.append(QStringLiteral("input: ") + prompt);
    return inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
}

std::optional<int> ScriptedDesktop::choose(QWidget *, const QString &title, const QString &label,
                                          const QStringList &items)
{
    log.append(QStringLiteral("choose: ") + title + QStringLiteral(" | ") + label + QStringLiteral(" | ") +
               items.join(QStringLiteral(" | ")));
    if (!choices.isEmpty()) return choices.takeFirst();
    return items.isEmpty() ? std::nullopt : std::optional<int>(0);
}

QString ScriptedDesktop::openFileName(QWidget *, const QString &title, const QString &, const QString &filter)
{
    fileFilters.append(filter);
    log.append(QStringLiteral("open file: ") + title);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedDesktop::saveFileName(QWidget *, const QString &title, const QString &folder, const QString &filter,
                                      bool)
{
    saveFolders.append(folder);
    fileFilters.append(filter);
    log.append(QStringLiteral("save file: ") + title);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedDesktop::folderName(QWidget *, const QString &title, const QString &)
{
    log.append(QStringLiteral("folder: ") + title);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

int ScriptedDesktop::exec(QDialog *dialog)
{
    dialogs.append(dialog->objectName());
    log.append(QStringLiteral("dialog: ") + dialog->objectName());
    if (dialogHandlers.isEmpty()) return otherDialogs ? otherDialogs(dialog) : int(QDialog::Rejected);
    return dialogHandlers.takeFirst()(dialog);
}

Desktop::Progress ScriptedDesktop::progress(QWidget *, const QString &label)
{
    log.append(QStringLiteral("progress: ") + label);
    auto steps = std::make_shared<int>(0);
    return [this, steps](qint64, qint64) { return cancelProgressAt < 0 || ++*steps < cancelProgressAt; };
}

bool ScriptedDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    started.append({program, arguments});
    log.append(QStringLiteral("start: ") + program + u' ' + arguments.join(u' '));
    return startSucceeds;
}

bool ScriptedDesktop::openUrl(const QUrl &url)
{
    opened.append(url);
    log.append(QStringLiteral("open: ") + url.toString());
    return true;
}

void ScriptedDesktop::beep()
{
    ++beeps;
    log.append(QStringLiteral("beep"));
}

void ScriptedDesktop::setClipboardText(const QString &text)
{
    clipboard = text;
    log.append(QStringLiteral("clipboard"));
}

QString ScriptedDesktop::clipboardText() { return clipboard; }

bool ScriptedDesktop::print(QWidget *, const QTextDocument &document, const QString &title)
{
    printed.append(document.toPlainText());
    log.append(QStringLiteral("print: ") + title);
    if (printFolder.isEmpty()) return true;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFolder + QStringLiteral("/print-%1.pdf").arg(printed.size()));
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}

bool ScriptedDesktop::printImage(QWidget *, const QImage &image, const QString &title)
{
    printedImages.append(image);
    log.append(QStringLiteral("print image: ") + title);
    if (printFolder.isEmpty()) return true;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFolder + QStringLiteral("/image-%1.pdf").arg(printedImages.size()));
    return printing::paintImage(printer, image);
}

QStringList ScriptedDesktop::messageTexts() const
{
    QStringList texts;
    for (const Shown &s : messages)
        texts.append(s.text);
    return texts;
}
