// Menu commands of the main window: the window itself, languages, autorun, backup and restore.

#include "archiver/main/talvo.h"

#include "archiver/forms/form.h"

#include "archiver/store/autorun.h"
#include "archiver/store/backup.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/files/program_folder.h"
#include "common/text/texts.h"
#include "common/widgets/apropos.h"
#include "common/widgets/translate.h"
#include "ui_talvo.h"

#include <QApplication>
#include <QLocale>
#include <QStyle>
#include <QSystemTrayIcon>

bool Talvo::startCompanion(const QString &program, const QStringList &arguments)
{
    return forms::startCompanion(this, desktop_, program, arguments);
}

void Talvo::Image1_Click()
{
    desktop_.beep();
    textImportOffered_ = !textImportOffered_;
    stateChanged();
}

void Talvo::Picture1_Click()
{
    startCompanion(QStringLiteral("redig5"), {files::findExisting(session_.folder, QStringLiteral("FALCON.TXT"))});
}

void Talvo::m_dessus_Click()
{
    alwaysOnTop_ = !alwaysOnTop_;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, alwaysOnTop_);
    if (wasVisible) show(); // changing the flags hides the window
    action(TalvoCommand::Dessus)->setChecked(alwaysOnTop_);
}

void Talvo::m_systray_Click()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        desktop_.message(this, texts::get(texts::kNoTrayArea), QString(), Desktop::Buttons::Ok,
                         Desktop::Icon::Information);
        return;
    }
    if (!tray_) {
        tray_ = new QSystemTrayIcon(this);
        QIcon icon = windowIcon();
        if (icon.isNull()) icon = QApplication::windowIcon();
        if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_ComputerIcon);
        tray_->setIcon(icon);
        tray_->setToolTip(texts::get(texts::kTrayTip));
        connect(tray_, &QSystemTrayIcon::activated, this, [this] {
            tray_->hide();
            showNormal();
            raise();
            activateWindow();
        });
    }
    tray_->show();
    hide();
}

void Talvo::m_infos_Click() { AfficherApropos(desktop_, this, message(76)); }

void Talvo::m_langues_Click(int index)
{
    QAction *entry = findChild<QAction *>(QStringLiteral("m_langues(%1)").arg(index));
    if (!entry) return;
    const QString file = files::findExisting(session_.folder, entry->data().toString() + QStringLiteral(".lng"));
    if (file == session_.language.file()) {
        desktop_.message(this, session_.language.file() + message(153));
        return;
    }
    session_.language.setFile(file);
    session_.language.install();
    settings::setLanguageFileSetting(file);
    translate();
}

void Talvo::m_traduc_Click()
{
    desktop_.message(this, message(6), QString(), Desktop::Buttons::Ok, Desktop::Icon::Information);
    startCompanion(QStringLiteral("redig5"), {session_.language.file()});
}

void Talvo::m_autorun_Click()
{
    // The session's start must find this same catalogue.
    QStringList command{files::executableFolder() + QStringLiteral("talvo5")};
    if (qEnvironmentVariableIsSet("TALVO5_HOME"))
        command = QStringList{QStringLiteral("env"), QStringLiteral("TALVO5_HOME=") + session_.folder} + command;
    autorun::EcrireAutorun(command);
    if (autorun::LireAutorun() == QLatin1String(autorun::kNone)) return; // not writable: nothing changes
    desktop_.message(this, message(27));
    stateChanged();
}

void Talvo::m_kill_Autorun_Click()
{
    autorun::EffacerAutorun();
    if (autorun::LireAutorun() != QLatin1String(autorun::kNone)) return;
    desktop_.message(this, message(kAutorunRemovedMessage));
    stateChanged();
}

void Talvo::m_backup_Click()
{
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock || !backup::makeBackup(*lock, &error)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return;
    }
    setWindowTitle(message(32));
}

void Talvo::m_restaure_Click()
{
    const QList<backup::Backup> all = backup::list(session_.folder);
    if (all.isEmpty()) return;
    // The backups by their dates, the newest first.
    const QLocale locale(session_.language.locale());
    QStringList items;
    for (const backup::Backup &b : all) {
        const QString when = locale.toString(b.when, QLocale::ShortFormat);
        items.append(b.legacy ? texts::get(texts::kLegacyBackup).arg(when)
                              : texts::get(texts::kBackupLine).arg(b.id, when).arg(b.records));
    }
    const auto chosen = desktop_.choose(this, action(TalvoCommand::Restaure)->text().remove(u'&'), texts::get(texts::kChooseBackup), items);
    if (!chosen) return;
    const backup::Backup &b = all[*chosen];
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!lock || !backup::restore(*lock, b, &error)) {
        desktop_.message(this, error, QString(), Desktop::Buttons::Ok, Desktop::Icon::Critical);
        return;
    }
    refreshGrid();
    setWindowTitle(message(86));
    desktop_.message(this,
                     texts::get(texts::kRestored).arg(locale.toString(b.when, QLocale::ShortFormat)).arg(b.records),
                     QString(), Desktop::Buttons::Ok, Desktop::Icon::Information);
}
