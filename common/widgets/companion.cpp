#include "common/widgets/companion.h"

#include "common/desktop/desktop.h"
#include "common/widgets/apropos.h"
#include "common/widgets/companion_texts.h"

#include <QAction>
#include <QFileInfo>
#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QScreen>

CompanionStart::CompanionStart(const QString &name, const QString &desktopId, const QString &iconName)
{
    QApplication::setApplicationName(name);
    QGuiApplication::setDesktopFileName(desktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(iconName, suiteIcon()));
    if (qtTexts_.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts_);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    window->move(area.left() + (area.width() - window->frameGeometry().width()) / 2,
                 area.top() + (area.height() - window->frameGeometry().height()) / 2);
}

bool reachable(const QAction *action)
{
    if (!action->isEnabled()) return false;
    for (QObject *up = action->parent(); up; up = up->parent()) {
        const auto *menu = qobject_cast<QMenu *>(up);
        if (!menu) break;
        if (!menu->menuAction()->isEnabled()) return false;
    }
    return true;
}

bool mayLeaveDocument(Desktop &desktop, QWidget *parent, bool changed, const QString &question,
                      const QString &title, const std::function<bool()> &save)
{
    if (!changed) return true;
    switch (desktop.message(parent, question, title, Desktop::Buttons::YesNoCancel, Desktop::Icon::Question,
                            Desktop::Answer::Yes)) {
    case Desktop::Answer::Yes: return save();
    case Desktop::Answer::No: return true;
    default: return false;
    }
}

bool mayWriteOver(Desktop &desktop, QWidget *parent, const QString &path, const QString &ownFile)
{
    if (!QFileInfo::exists(path) || doctext::sameFile(path, ownFile)) return true;
    return desktop.message(parent, companiontexts::rewrite(), companiontexts::fileExists(), Desktop::Buttons::YesNo,
                           Desktop::Icon::Warning, Desktop::Answer::No)
           == Desktop::Answer::Yes;
}

std::optional<QByteArray> plainTextToSave(Desktop &desktop, QWidget *parent, QStringView text,
                                          doctext::Encoding *encoding, bool crlf)
{
    QString refusal;
    if (auto bytes = doctext::encodePlainText(text, *encoding, crlf, &refusal)) return bytes;
    if (desktop.message(parent, companiontexts::keepAsUtf8(refusal), QString(), Desktop::Buttons::YesNo,
                        Desktop::Icon::Question)
        != Desktop::Answer::Yes)
        return std::nullopt;
    *encoding = doctext::Encoding::Utf8;
    return doctext::encodePlainText(text, *encoding, crlf, &refusal);
}

bool turnEncoding(Desktop &desktop, QWidget *parent, QStringView text, doctext::Encoding *encoding)
{
    if (*encoding == doctext::Encoding::Windows1252) {
        *encoding = doctext::Encoding::Utf8;
        return true;
    }
    QString refusal;
    if (!doctext::encodePlainText(text, doctext::Encoding::Windows1252, false, &refusal)) {
        desktop.message(parent, companiontexts::staysUtf8(refusal), QString(), Desktop::Buttons::Ok,
                        Desktop::Icon::Warning);
        return false;
    }
    *encoding = doctext::Encoding::Windows1252;
    return true;
}
