#include "common/widgets/companion.h"

#include "common/widgets/apropos.h"

#include <QAction>
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
