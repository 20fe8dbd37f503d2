// The menus of the viewer's window, one setup function per menu, in menu order.
#include "imageviewer/window/file_commands.h"
#include "imageviewer/window/form1.h"
#include "imageviewer/window/image_commands.h"

#include <QMenu>
#include <QMenuBar>

namespace pictel {

QAction *Form1::addAction(QWidget *menu, const char *name, const QString &text, void (*command)(Form1 &))
{
    auto *action = new QAction(text, menu);
    action->setObjectName(QString::fromLatin1(name));
    menu->addAction(action);
    connect(action, &QAction::triggered, this, [this, action, command] {
        if (reachable(action)) command(*this);
    });
    return action;
}

void Form1::setupFichierMenu()
{
    QMenu *fichier = menuBar()->addMenu(QStringLiteral("&Fichier"));
    fichier->setObjectName(QStringLiteral("m_fichier"));
    addAction(fichier, "m_charger", QStringLiteral("&Charger"), filecmd::m_charger);
    addAction(fichier, "m_save", QStringLiteral("&Sauver"), filecmd::m_save);
    addAction(fichier, "m_sauver", QStringLiteral("Sauver s&ous..."), filecmd::m_sauver);
}

void Form1::setupImageMenu()
{
    QMenu *image = menuBar()->addMenu(QStringLiteral("&Image"));
    image->setObjectName(QStringLiteral("m_image"));
    addAction(image, "m_taille", QStringLiteral("&Taille"), imagecmd::m_taille);
    addAction(image, "m_print", QStringLiteral("&Imprimer"), filecmd::m_print);
    addAction(image, "m_restaurer", QStringLiteral("&Restaurer"), imagecmd::m_restaurer)->setEnabled(false);
}

// The mode entry and the about entry stand in the menu bar itself.
void Form1::setupModeEntry() { addAction(menuBar(), "m_sel", QString(), imagecmd::m_sel); }

void Form1::setupInfosEntry() { addAction(menuBar(), "m_infos", QStringLiteral("I&nfos"), filecmd::m_infos); }

} // namespace pictel
