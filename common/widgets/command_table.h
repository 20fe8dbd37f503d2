#pragma once

#include "common/widgets/companion.h"

#include <QAction>
#include <QKeySequence>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <string>

// A window's menus and commands as one table: a row per menu and a row per command, in the order
// they show. The table makes the menus and their actions (each named after its row, which is also
// its key in a language file), connects each action to its command, and evaluates every enabled
// rule again when the window says its state changed. Code reaches an action by its id, never by a
// name that could be mistyped. A command runs only when its action and the menus above it are
// enabled: a shortcut of a greyed entry does nothing.
template <typename Window, typename Id>
class CommandTable
{
public:
    using Rule = std::function<bool(const Window &)>;
    using Run = std::function<void(Window &)>;

    struct Row
    {
        bool isMenu = false;
        Id id{};             // a command's
        const char *parent;  // the menu it belongs to; nullptr: the menu bar itself
        const char *name;    // objectName; the language key is name + ".Caption"
        QString caption;
        QKeySequence shortcut;
        Run run = nullptr;
        Rule enabled;        // none: always
        bool separatorBefore = false;
    };

    static Row menu(const char *name, const char *parent, const QString &caption, Rule enabled = {})
    {
        return Row{true, Id{}, parent, name, caption, {}, nullptr, std::move(enabled)};
    }
    static Row command(Id id, const char *parent, const char *name, const QString &caption, const QKeySequence &shortcut,
                       Run run, Rule enabled = {})
    {
        return Row{false, id, parent, name, caption, shortcut, run, std::move(enabled)};
    }
    // The same command, after a separator line.
    static Row afterSeparator(Row row)
    {
        row.separatorBefore = true;
        return row;
    }

    CommandTable(Window &window, QMenuBar *bar, QList<Row> rows) : window_(window), rows_(std::move(rows))
    {
        for (const Row &r : rows_) {
            QWidget *owner = r.parent ? static_cast<QWidget *>(menuNamed(r.parent)) : static_cast<QWidget *>(bar);
            if (r.separatorBefore) {
                auto *line = new QAction(owner);
                line->setSeparator(true);
                owner->addAction(line);
            }
            if (r.isMenu) {
                QMenu *menu = r.parent ? menuNamed(r.parent)->addMenu(r.caption) : bar->addMenu(r.caption);
                menu->setObjectName(QString::fromUtf8(r.name));
                menu->menuAction()->setObjectName(QString::fromUtf8(r.name));
                menus_.emplace(std::string(r.name), menu);
                continue;
            }
            auto *action = new QAction(r.caption, owner);
            action->setObjectName(QString::fromUtf8(r.name));
            action->setShortcut(r.shortcut);
            owner->addAction(action);
            actions_.emplace(r.id, action);
            QObject::connect(action, &QAction::triggered, action, [this, action, run = r.run] {
                if (run && ::reachable(action)) run(window_);
            });
        }
    }

    QAction *action(Id id) const { return actions_.at(id); }
    QMenu *menu(const char *name) const { return menuNamed(name); }
    const QList<Row> &rows() const { return rows_; }

    // Every enabled rule evaluated again; call it whenever the window's state changes.
    void refresh()
    {
        for (const Row &r : rows_) {
            if (!r.enabled) continue;
            const bool on = r.enabled(window_);
            if (r.isMenu) {
                menuNamed(r.name)->menuAction()->setEnabled(on);
                menuNamed(r.name)->setEnabled(on);
            } else {
                actions_.at(r.id)->setEnabled(on);
            }
        }
    }

private:
    QMenu *menuNamed(const char *name) const
    {
        const auto it = menus_.find(name);
        Q_ASSERT(it != menus_.end());
        return it->second;
    }

    Window &window_;
    QList<Row> rows_;
    std::map<std::string, QMenu *> menus_;
    std::map<Id, QAction *> actions_;
};
