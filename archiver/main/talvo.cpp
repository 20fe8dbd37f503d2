#include "archiver/main/talvo.h"

#include "archiver/main/batch_commands.h"
#include "archiver/main/list_commands.h"
#include "archiver/main/operation_commands.h"
#include "archiver/main/record_commands.h"
#include "archiver/main/tool_commands.h"
#include "archiver/forms/form.h"

#include "archiver/main/outside_tools.h"
#include "archiver/store/undo.h"
#include "archiver/store/autorun.h"
#include "archiver/store/first_run.h"
#include "archiver/store/lists.h"
#include "archiver/store/removable_media.h"
#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/desktop/qt_desktop.h"
#include "common/files/atomic_file.h"
#include "common/files/program_folder.h"
#include "common/text/texts.h"
#include "common/widgets/translate.h"
#include "ui_talvo.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStyle>

#include <limits>

Talvo::Talvo(ArchiverSession &session, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent), session_(session), desktop_(desktop), ui(new Ui::Talvo)
{
    ui->setupUi(this);
    ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(22, 22));
    ui->Picture1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(22, 22));
    ui->Image1->installEventFilter(this);
    ui->Picture1->installEventFilter(this);
    ui->centralwidget->installEventFilter(this);
    ui->grille1->installEventFilter(this);
    ui->large->installEventFilter(this);
    ui->ajouter_cle->setEnabled(false);
    ui->vider->setEnabled(false);
    setMinimumSize(kMinWidthTwips / kTwipsPerPixel, (kMinHeightTwips - titleBarTwips_) / kTwipsPerPixel);

    auto *grid = ui->grille1;
    grid->setModel(&model_);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setStretchLastSection(false);

    // F10 opens the first menu; the arrow keys go on from there.
    auto *menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });

    setupMenus();
    connectHandlers();
    session_.catalogue.setNotice([this](const QString &text) {
        desktop_.message(this, text, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    });
}

Talvo::~Talvo()
{
    session_.catalogue.setNotice({});
    delete ui;
}

QTableView *Talvo::grid() const { return ui->grille1; }


QString Talvo::message(int number) const { return session_.language.LireMessage(number); }

// A size given in twips is kept as given while the window still has the pixels it made, so that
// what is stored reads back the same.
int Talvo::widthTwips() const
{
    return width() == widthTwips_ / kTwipsPerPixel ? widthTwips_ : width() * kTwipsPerPixel;
}

int Talvo::heightTwips() const
{
    const int pixels = std::max(0, heightTwips_ - titleBarTwips_) / kTwipsPerPixel;
    return height() == pixels ? heightTwips_ : height() * kTwipsPerPixel + titleBarTwips_;
}

void Talvo::setWidthTwips(int twips)
{
    widthTwips_ = twips;
    resize(twips / kTwipsPerPixel, height());
}

void Talvo::setHeightTwips(int twips)
{
    heightTwips_ = twips;
    resize(width(), std::max(0, twips - titleBarTwips_) / kTwipsPerPixel);
}

void Talvo::connectHandlers()
{
    connect(ui->large, &QLineEdit::returnPressed, this, &Talvo::large_KeyPress);
    connect(ui->large, &QLineEdit::textChanged, this, &Talvo::large_Change);
    connect(ui->large, &QLineEdit::textEdited, this, &Talvo::filterTypedText);
    connect(ui->vider, &QPushButton::clicked, this, &Talvo::vider_Click);
    connect(ui->ajouter_cle, &QPushButton::clicked, this, &Talvo::ajouter_cle_Click);
    connect(ui->grille1, &QTableView::clicked, this, [this](const QModelIndex &i) { grille1_click(i.row()); });
    connect(ui->V_Note, &QPushButton::clicked, this, &Talvo::V_Note_Click);
    connect(ui->V_date, &QPushButton::clicked, this, &Talvo::V_date_Click);
    connect(ui->V_supp, &QPushButton::clicked, this, &Talvo::V_supp_Click);
    connect(ui->V_cat, &QPushButton::clicked, this, &Talvo::V_cat_Click);
    connect(ui->v_fichier, &QPushButton::clicked, this, &Talvo::v_fichier_Click);
}

bool Talvo::Form_Load()
{
    ArchiverSession &s = session_;
    // The first questions already speak the language, standard buttons included.
    s.language.setFile(settings::currentLanguageFile(s.folder));
    s.language.install();

    if (!firstrun::workFilesExist(s.folder)) {
        const QString title = texts::get(texts::kFirstRunTitle);
        if (desktop_.message(this, texts::get(texts::kFirstRunQuestion), title, Desktop::Buttons::YesNo,
                             Desktop::Icon::Question) != Desktop::Answer::Yes) {
            desktop_.message(this, texts::get(texts::kFirstRunRefusal), title);
            return false;
        }
        QString error;
        QDir().mkpath(s.folder);
        const auto lock = s.catalogue.lock(&error);
        // Another program may have made the work files while the question was open.
        if (!lock || (!firstrun::workFilesExist(s.folder) && !firstrun::InitialiserFichiers(*lock, s.date, &error))) {
            desktop_.message(this, error, title, Desktop::Buttons::Ok, Desktop::Icon::Critical);
            return false;
        }
    }

    // Every start gives the folder the shipped files it lacks; when another program holds the
    // catalogue, the next start will.
    // Taking the lock rolls back, and says, an operation that a killed program left half done.
    if (QString busy; const auto lock = s.catalogue.lock(&busy, 0)) {
        const QStringList failures = firstrun::copyShippedFiles(*lock, s.language.shippedFolder());
        if (!failures.isEmpty())
            desktop_.message(this, failures.join(u'\n'), QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    }

    s.removableRoots = media::removableRoots();

    s.settings.left = kNoPosition;
    s.settings.top = kNoPosition;
    QString settingsError;
    if (!settings::read(settings::settingsFile(s.folder), s.settings, &settingsError) && !settingsError.isEmpty())
        desktop_.message(this, settingsError, QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
    s.storedSettings = s.settings;
    setWidthTwips(int(std::clamp(s.settings.windowWidth, 0.0, 1e6)));
    layoutControls();

    stateChanged();

    // The first run may have chosen the language file, and the copy brought it.
    if (const QString file = settings::currentLanguageFile(s.folder); file != s.language.file()) {
        s.language.setFile(file);
        s.language.install();
    }
    translate();

    prepareGrid();

    const QStringList failures =
        firstrun::ensureSubFolders(s.folder, [this](const QString &m) { desktop_.message(this, m); });
    if (!failures.isEmpty())
        desktop_.message(this, failures.join(u'\n'), QString(), Desktop::Buttons::Ok, Desktop::Icon::Critical);

    stateChanged();

    setHeightTwips(kCollapsedHeightTwips);
    placeOnScreen();
    return true;
}

void Talvo::placeOnScreen()
{
    const TalvoSettings &s = session_.settings;
    const QPoint stored(s.left / kTwipsPerPixel, s.top / kTwipsPerPixel);
    if (s.left != kNoPosition && s.top != kNoPosition && placement::titleBarOnScreen(stored, width()))
        placement::placeFrame(this, stored);
    else
        placement::centreOnScreen(this, QGuiApplication::primaryScreen());
}

void Talvo::translate()
{
    TraduireFeuille(this, [this](const QString &section, const QString &key, const QString &defaultValue) {
        return session_.language.text(section, key, defaultValue);
    });
    fillLanguageMenu();
    layoutControls(); // the buttons take the widths of their new captions
    setGridHeaders();
}

void Talvo::setGridHeaders()
{
    model_.setHeaders({message(103), message(106), message(104), message(108), message(105), message(107)});
}

namespace {

// The caption of a language entry: the language's name, its first letter that no other entry of
// the menu has taken marked as its key.
QString languageCaption(const QString &name, QString &taken)
{
    QString caption = name;
    caption.replace(u'&', QLatin1String("&&"));
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == u'&') {
            ++i;
            continue;
        }
        if (c.isLetterOrNumber() && !taken.contains(c, Qt::CaseInsensitive)) {
            taken += c;
            return caption.insert(i, u'&');
        }
    }
    return caption;
}

} // namespace

void Talvo::fillLanguageMenu()
{
    for (QAction *old : menu("m18")->actions())
        if (old->objectName().startsWith(QLatin1String("m_langues("))) {
            menu("m18")->removeAction(old);
            old->setObjectName(QString()); // gone from the menu now; deleted once its click is over
            old->deleteLater();
        }
    if (auto *old = menu("m18")->findChild<QActionGroup *>(QStringLiteral("m_langues"), Qt::FindDirectChildrenOnly)) {
        old->setObjectName(QString());
        old->deleteLater();
    }
    auto *group = new QActionGroup(menu("m18")); // one language checked, the current one
    group->setObjectName(QStringLiteral("m_langues"));

    QString taken;
    for (const QAction *other : menu("m18")->actions())
        if (const QKeySequence key = QKeySequence::mnemonic(other->text()); !key.isEmpty())
            taken += QChar(key[0].key());
    QAction *before = menu("m18")->actions().isEmpty() ? nullptr : menu("m18")->actions().front();
    const QStringList files = QDir(session_.folder)
                                  .entryList({QStringLiteral("*.lng")}, QDir::Files,
                                             QDir::Name | QDir::IgnoreCase);
    for (int i = 0; i < files.size(); ++i) {
        const QString name = QFileInfo(files[i]).completeBaseName().toLower();
        auto *a = new QAction(languageCaption(name, taken), menu("m18"));
        a->setObjectName(QStringLiteral("m_langues(%1)").arg(i));
        a->setData(name);
        a->setCheckable(true);
        a->setChecked(files::findExisting(session_.folder, name + QStringLiteral(".lng")) ==
                      session_.language.file());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, i] { m_langues_Click(i); });
        menu("m18")->insertAction(before, a);
    }
}

void Talvo::prepareGrid()
{
    const TalvoSettings &s = session_.settings;
    const int width = widthTwips();
    const int gridWidth = width - 20; // the grid spans the window but for a small margin
    const int widths[GridModel::kColumns] = {s.keyColumnWidth,
                                             s.noteColumnWidth.value_or(gridWidth - TalvoSettings::kDefaultKeyColumnWidth),
                                             width / 8, width / 2, width / 2, width / 2};
    for (int c = 0; c < GridModel::kColumns; ++c)
        ui->grille1->setColumnWidth(c, std::max(0, widths[c] / kTwipsPerPixel));
    setGridHeaders();
}

void Talvo::layoutControls()
{
    // The window's own size rules: the key row on top, the column buttons under a line, and the
    // grid below them, as wide as the window. Whatever lies below the window's height is hidden.
    const int w = ui->centralwidget->width();
    const int rowHeight = std::max(24, ui->large->sizeHint().height());
    const int icon = 24;
    int x = 2;
    ui->Image1->setGeometry(x, 2, icon, rowHeight);
    x += icon + 4;
    const int videWidth = 28, ajoutWidth = std::max(96, ui->ajouter_cle->sizeHint().width());
    const int largeWidth = std::max(60, w - x - ajoutWidth - videWidth - icon - 16);
    ui->large->setGeometry(x, 2, largeWidth, rowHeight);
    x += largeWidth + 4;
    ui->ajouter_cle->setGeometry(x, 2, ajoutWidth, rowHeight);
    x += ajoutWidth + 2;
    ui->vider->setGeometry(x, 2, videWidth, rowHeight);
    x += videWidth + 4;
    ui->Picture1->setGeometry(x, 2, icon, rowHeight);

    const int lineY = rowHeight + 5;
    ui->Ligne1->setGeometry(0, lineY, w, 2);
    int bx = 2;
    const int buttonsY = lineY + 4;
    for (QPushButton *b : {ui->V_Note, ui->V_date, ui->V_supp, ui->V_cat, ui->v_fichier}) {
        const int bw = std::max(70, b->sizeHint().width());
        b->setGeometry(bx, buttonsY, bw, rowHeight);
        bx += bw + 2;
    }
    const int gridY = buttonsY + rowHeight + 4;
    int gridHeight = ui->grille1->height();
    if (heightTwips() > 2400) gridHeight = (heightTwips() - 1600) / kTwipsPerPixel;
    gridHeight = std::min(gridHeight, std::max(0, ui->centralwidget->height() - gridY));
    ui->grille1->setGeometry(0, gridY, std::max(0, w - 20 / kTwipsPerPixel - 1), gridHeight);
}

bool Talvo::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+Z undoes the typing of the key box while it can, the last operation once it cannot.
    if (watched == ui->large && event->type() == QEvent::ShortcutOverride
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo) && !ui->large->isUndoAvailable()) {
        event->ignore();
        return true;
    }
    if (watched == ui->large && event->type() == QEvent::KeyPress) {
        // Alt with a key that opens no menu and presses no button types nothing either.
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) && !key->text().isEmpty())
            return true;
    }
    if (watched == ui->centralwidget && event->type() == QEvent::Resize) layoutControls();
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == ui->Image1) Image1_Click();
        if (watched == ui->Picture1) Picture1_Click();
    }
    if (watched == ui->grille1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && ui->grille1->currentIndex().isValid()) {
            grille1_click(ui->grille1->currentIndex().row());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Talvo::closeEvent(QCloseEvent *event)
{
    TalvoSettings &s = session_.settings;
    s.windowWidth = widthTwips();
    s.keyColumnWidth = ui->grille1->columnWidth(0) * kTwipsPerPixel;
    s.noteColumnWidth = ui->grille1->columnWidth(1) * kTwipsPerPixel;
    auto position = [](int pixels) {
        return qint16(std::clamp(pixels * kTwipsPerPixel, int(std::numeric_limits<qint16>::min()),
                                 int(std::numeric_limits<qint16>::max())));
    };
    s.left = position(x()); // the frame's corner, title bar included
    s.top = position(y());
    // Only the lines this window changed are written: another program of the folder may have
    // changed others since, and handed out note files (the counter never goes back).
    QString error;
    const auto lock = session_.catalogue.lock(&error);
    if (!(lock && settings::writeChanges(*lock, settings::settingsFile(session_.folder), session_.storedSettings, s, &error)) &&
        desktop_.message(this, error + QStringLiteral("\n\n") + texts::get(texts::kCloseWithoutSettings), QString(),
                         Desktop::Buttons::YesNo, Desktop::Icon::Warning) != Desktop::Answer::Yes) {
        event->ignore(); // the window stays, with what the settings would have kept
        return;
    }
    session_.scratch.reset();
    event->accept();
}
