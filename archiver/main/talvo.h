#pragma once

#include "archiver/main/grid_model.h"
#include "archiver/operations/global_search.h"
#include "common/widgets/command_table.h"

#include <QMainWindow>

#include <limits>
#include <memory>

// The main window's commands, one per menu entry.
enum class TalvoCommand {
    Infos, Config, Systray, Autorun, KillAutorun, Dessus, Traduc,
    Bilan, ListerCles, Backup, Restaure, Remplacer, Supp, KillSupport, Annuler, Import, Importer, EditerListe,
    Imprimer, Affiner, Suppr, Sauver, SauverAlb, Album, Html,
    Heading12, Zip, Seek, Oublies, Inventaire, Octets, Fractionner, Synchro, Crypt, Viewer,
    Heading11, Texte, Doublons, Compare, Find, Web, AllegerPage, Sons,
    Heading15, Sys, Moniteur, Xy, Conv, Memento, Regedit, Dos, Notes,
    Recherche, EditerAide
};

class Desktop;
class RepeatedMessages;
class QAction;
class QSystemTrayIcon;
class QTableView;
struct ArchiverSession;
namespace Ui {
class Talvo;
}

// The archiver's main window: the key box and its search, the result grid and the menus. Its
// start-up (Form_Load) prepares the work files, settings, language and menus; closing it saves
// the settings.
class Talvo : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kMinWidthTwips = 9015;
    static constexpr int kMinHeightTwips = 1170;
    static constexpr int kCollapsedHeightTwips = 1155;
    static constexpr int kOneResultHeightTwips = 2800;
    static constexpr int kResultsHeightTwips = 5280;
    // Message 35 also serves the analysis report as a fragment of its lists; the box that says
    // autorun is off has a number of its own.
    static constexpr int kAutorunRemovedMessage = 146;
    // What left and top hold when no line of the settings gives a position: the window is then
    // centred, as on its first start.
    static constexpr qint16 kNoPosition = std::numeric_limits<qint16>::min();

    Talvo(ArchiverSession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~Talvo() override;

    // The start-up sequence; false when the program must end (the work files were refused).
    bool Form_Load();

    ArchiverSession &session() { return session_; }
    const ArchiverSession &session() const { return session_; }
    Desktop &desktop() { return desktop_; }
    GridModel &gridModel() { return model_; }
    const GridModel &gridModel() const { return model_; }
    QTableView *grid() const;
    qint64 foundCount() const { return found_; }
    qint64 totalCount() const { return total_; }
    QAction *action(TalvoCommand id) const { return commands_->action(id); }
    QMenu *menu(const char *name) const { return commands_->menu(name); }
    // The menus' enabled rules evaluated again, after anything they look at changed.
    void stateChanged() { commands_->refresh(); }
    // The text import, which the picture beside the key box shows and hides.
    bool textImportOffered() const { return textImportOffered_; }
    QString message(int number) const;
    // The text of the search whose results the grid shows (empty before the first search): the
    // session's search text serves the next search, and the dialogs change it.
    const QString &gridSearchText() const { return gridSearch_.text; }

    // Sizes as the settings and the rules of the window count them: twips, the height including
    // the title bar.
    int widthTwips() const;
    int heightTwips() const;
    void setWidthTwips(int twips);
    void setHeightTwips(int twips);

public slots:
    void large_KeyPress();
    void large_Change();
    void vider_Click();
    // Empties the key box, without giving it the focus.
    void clearKeyBox();
    void ajouter_cle_Click();
    void RechercheGlobale();
    void ViderGrille();
    // Adds a record line as a row of the grid.
    void AjouterLigneGrille(QByteArrayView line);
    // Empties the grid and shows lines in its place, in one insertion as a search does; "La
    // Liste" is enabled when more than one row is left.
    void showLines(const QList<QByteArray> &lines);
    // Shows the lines kept by a refinement of the list, which its refreshing runs again.
    void refined(const QList<QByteArray> &kept, record::Field field, const QString &text);
    // Reads the grid's rows again from the files, after a change of many records or an undo: the
    // search that filled it and its refinements run again, without opening a form.
    void refreshGrid();
    void grille1_click(int row);
    void V_Note_Click();
    void V_date_Click();
    void V_supp_Click();
    void V_cat_Click();
    void v_fichier_Click();
    void Image1_Click();
    void Picture1_Click();
    void m_dessus_Click();
    // Hides the window behind an icon of the notification area, whose click shows it again;
    // without a notification area the window stays and says why.
    void m_systray_Click();
    void m_infos_Click();
    void m_langues_Click(int index);
    void m_traduc_Click();
    void m_autorun_Click();
    void m_kill_Autorun_Click();
    void m_backup_Click();
    void m_restaure_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Key checks shared by Enter and the direct add; shows the refusal and returns false.
    bool checkKey(const QString &text);
    void connectHandlers();
    // The table of the menus and their commands (talvo_menus.cpp).
    void setupMenus();
    void fillLanguageMenu();
    void translate();
    void prepareGrid();
    void setGridHeaders();
    void layoutControls();
    // Puts the window where it was left, or in the middle of the screen on a first start or
    // when that place would leave its title bar off every screen.
    void placeOnScreen();
    void scrollToColumn(int column);
    // Empties the grid and fills it with the lines the grid's search finds now.
    void fillGrid();
    void filterTypedText(const QString &text);
    bool startCompanion(const QString &program, const QStringList &arguments);

    // What filled the grid: the search, then the refinements that narrowed it, in order; running
    // them again gives the rows as the files hold them now.
    struct GridSearch
    {
        QString text;
        record::Field field = record::Field::All;
        QList<std::pair<record::Field, QString>> refinements;
    };

    ArchiverSession &session_;
    Desktop &desktop_;
    Ui::Talvo *ui;
    GridSearch gridSearch_;
    std::unique_ptr<CommandTable<Talvo, TalvoCommand>> commands_;
    bool textImportOffered_ = true;
    GridModel model_;
    qint64 found_ = 0;
    qint64 total_ = 0;
    bool alwaysOnTop_ = false;
    QSystemTrayIcon *tray_ = nullptr;
    bool searching_ = false;
    RepeatedMessages *malformedBoxes_ = nullptr; // the boxes of malformed lines of a search running
    int titleBarTwips_ = 375; // the height that the title bar takes in the window's height
    int widthTwips_ = 0;
    int heightTwips_ = 0;
    int resultsHeightTwips_ = kResultsHeightTwips; // of the window showing several results
};
