#pragma once

#include <QString>
#include <QTranslator>

class QAction;
class QWidget;

// What the companion programs (editor, viewer, image viewer) share in their windows.

// Sets the program's name, its desktop entry and icon, and puts Qt's own buttons and dialogs in
// French, the programs' only language; lives as long as the application.
class CompanionStart
{
public:
    CompanionStart(const QString &name, const QString &desktopId, const QString &iconName);

private:
    QTranslator qtTexts_;
};

// Puts a window in the middle of its screen's free area.
void centreOnScreen(QWidget *window);

// Whether an action can be used now: it and every menu above it are enabled, so that a shortcut
// does not run a command its menu has disabled.
bool reachable(const QAction *action);
