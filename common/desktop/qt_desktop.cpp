#include "common/desktop/qt_desktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QTextDocument>

Desktop::Answer QtDesktop::message(QWidget *parent, const QString &text, const QString &title,
                                   Buttons buttons, Icon icon)
{
    QMessageBox box(parent);
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationName() : title);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

std::optional<QString> QtDesktop::inputText(QWidget *parent, const QString &prompt,
                                            const QString &title, const QString &initial)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDesktop::openFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, folder, filter);
}

QString QtDesktop::saveFileName(QWidget *parent, const QString &title, const QString &folder,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, title, folder, filter);
}

int QtDesktop::exec(QDialog *dialog) { return dialog->exec(); }

bool QtDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

bool QtDesktop::openUrl(const QUrl &url) { return QDesktopServices::openUrl(url); }

void QtDesktop::beep() { QApplication::beep(); }

void QtDesktop::setClipboardText(const QString &text) { QApplication::clipboard()->setText(text); }

bool QtDesktop::print(QWidget *parent, const QTextDocument &document, const QString &title)
{
    QPrinter printer;
    printer.setDocName(title);
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    if (dialog.exec() != QDialog::Accepted) return false;
    document.print(&printer);
    return printer.printerState() != QPrinter::Error;
}
