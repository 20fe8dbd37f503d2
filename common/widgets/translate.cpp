#include "common/widgets/translate.h"

#include "common/profile/profile.h"
#include "common/text/texts.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

namespace {

template <typename Get, typename Set>
void translateText(const TextLookup &lang, const QString &section, const QString &key, Get get, Set set)
{
    const QString current = get();
    const QString text = lang(section, key, current);
    if (text != current) set(text);
}

} // namespace

void TraduireFeuille(QWidget *form, const TextLookup &lang)
{
    const QString section = form->objectName();
    form->setWindowTitle(lang(section, QStringLiteral("Form.Caption"), texts::get(texts::kNoTitle)));

    for (QObject *o : form->findChildren<QObject *>()) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
        const QString caption = name + QStringLiteral(".Caption");
        const QString tooltip = name + QStringLiteral(".ToolTipText");
        if (auto *menu = qobject_cast<QMenu *>(o)) {
            translateText(lang, section, caption, [&] { return menu->title(); },
                          [&](const QString &t) { menu->setTitle(t); });
        } else if (auto *action = qobject_cast<QAction *>(o)) {
            translateText(lang, section, caption, [&] { return action->text(); },
                          [&](const QString &t) { action->setText(t); });
            translateText(lang, section, tooltip, [&] { return action->toolTip(); },
                          [&](const QString &t) { action->setToolTip(t); });
            continue;
        } else if (auto *button = qobject_cast<QAbstractButton *>(o)) {
            translateText(lang, section, caption, [&] { return button->text(); },
                          [&](const QString &t) { button->setText(t); });
        } else if (auto *label = qobject_cast<QLabel *>(o)) {
            translateText(lang, section, caption, [&] { return label->text(); },
                          [&](const QString &t) { label->setText(t); });
        } else if (auto *box = qobject_cast<QGroupBox *>(o)) {
            translateText(lang, section, caption, [&] { return box->title(); },
                          [&](const QString &t) { box->setTitle(t); });
        }
        if (auto *widget = qobject_cast<QWidget *>(o))
            translateText(lang, section, tooltip, [&] { return widget->toolTip(); },
                          [&](const QString &t) { widget->setToolTip(t); });
    }
}

void TraduireFeuille(QWidget *form, const Profile &language)
{
    TraduireFeuille(form, [&](const QString &section, const QString &key, const QString &defaultValue) {
        return language.value(section, key, defaultValue);
    });
}

void TraduireFeuille(QWidget *form, const QString &languageFile)
{
    TraduireFeuille(form, Profile::fromFile(languageFile));
}
