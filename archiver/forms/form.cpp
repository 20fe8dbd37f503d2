#include "archiver/forms/form.h"

#include "archiver/store/line_order.h"
#include "archiver/store/record_entry.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/cp1252.h"
#include "common/text/texts.h"
#include "common/widgets/translate.h"

#include <QComboBox>
#include <QListWidget>

#include <algorithm>

namespace forms {
namespace {

bool before(const QString &a, const QString &b, const LineOrder &order)
{
    // Names that the code page cannot hold never reach a list file; they sort by their bytes.
    const QByteArray x = cp1252::encode(a).value_or(a.toUtf8());
    const QByteArray y = cp1252::encode(b).value_or(b.toUtf8());
    return order.compare(x, y) < 0;
}

// The row before which name goes: after every item that does not sort after it.
template <typename ItemText>
int placeOf(int count, const ItemText &itemText, const QString &name, const LineOrder &order)
{
    int low = 0, high = count;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (before(name, itemText(mid), order)) high = mid;
        else low = mid + 1;
    }
    return low;
}

} // namespace

QString refusalText(const ArchiverSession &session, const entry::Refusal &refusal)
{
    return refusal.message != 0 ? message(session, refusal.message) : refusal.text;
}

bool acceptField(QWidget *dialog, const ArchiverSession &session, Desktop &desktop, record::Field field,
                 QStringView text)
{
    const auto refused = entry::checkField(field, text);
    if (!refused) return true;
    desktop.message(dialog, refusalText(session, *refused), QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    return false;
}

bool startCompanion(QWidget *parent, Desktop &desktop, const QString &program, const QStringList &arguments)
{
    const QString path = files::executableFolder() + program;
    if (desktop.startProgram(path, arguments)) return true;
    desktop.message(parent, texts::get(texts::kCannotStart).arg(path), QString(), Desktop::Buttons::Ok,
                    Desktop::Icon::Warning);
    return false;
}

bool startOutsideTool(QWidget *parent, Desktop &desktop, const ArchiverSession &session, const QString &program,
                      const QStringList &arguments)
{
    const QString path = files::findExisting(session.folder, program);
    if (desktop.startProgram(path, arguments)) return true;
    desktop.message(parent, texts::get(texts::kCannotStart).arg(path), QString(), Desktop::Buttons::Ok,
                    Desktop::Icon::Warning);
    return false;
}

bool handListToTool(QWidget *parent, Desktop &desktop, ArchiverSession &session, const QString &program,
                    const QByteArray &list)
{
    const QString path = session.scratchFile(QStringLiteral("temp.alb"));
    QString error;
    if (!files::saveAtomically(path, list, &error)) {
        desktop.message(parent, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
        return false;
    }
    return startOutsideTool(parent, desktop, session, program, {path});
}

QStringList sorted(QStringList names, const LineOrder &order)
{
    std::stable_sort(names.begin(), names.end(),
                     [&order](const QString &a, const QString &b) { return before(a, b, order); });
    return names;
}

void fillSorted(QListWidget *list, const QStringList &names, const LineOrder &order)
{
    list->clear();
    list->addItems(sorted(names, order));
}

void fillSorted(QComboBox *box, const QStringList &names, const LineOrder &order)
{
    box->clear();
    box->addItems(sorted(names, order));
}

int insertSorted(QListWidget *list, const QString &name, const LineOrder &order)
{
    const int row = placeOf(list->count(), [list](int i) { return list->item(i)->text(); }, name, order);
    list->insertItem(row, name);
    return row;
}

int insertSorted(QComboBox *box, const QString &name, const LineOrder &order)
{
    const int row = placeOf(box->count(), [box](int i) { return box->itemText(i); }, name, order);
    box->insertItem(row, name);
    return row;
}

void translate(QWidget *dialog, const ArchiverSession &session)
{
    TraduireFeuille(dialog, [&session](const QString &section, const QString &key, const QString &defaultValue) {
        return session.language.text(section, key, defaultValue);
    });
}

QString message(const ArchiverSession &session, int n) { return session.language.LireMessage(n); }

QString refusal(QStringView text)
{
    if (const auto bad = cp1252::firstUnstorable(text)) return cp1252::unstorableMessage(*bad);
    return QString();
}

} // namespace forms
