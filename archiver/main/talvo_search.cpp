// Key entry, the global search and the result grid of the main window.

#include "archiver/main/talvo.h"

#include "archiver/main/record_commands.h"
#include "archiver/operations/refine.h"

#include "archiver/store/session.h"
#include "common/desktop/desktop.h"
#include "common/text/texts.h"
#include "common/desktop/repeated_messages.h"
#include "common/text/cp1252.h"
#include "ui_talvo.h"

bool Talvo::checkKey(const QString &text)
{
    if (const int refusal = record::keyRefusal(text)) {
        desktop_.message(this, message(refusal));
        return false;
    }
    if (const auto bad = cp1252::firstUnstorable(text)) {
        desktop_.message(this, cp1252::unstorableMessage(*bad));
        return false;
    }
    return true;
}

void Talvo::filterTypedText(const QString &text)
{
    // A character the catalogue cannot hold, or a control character, is refused where it is typed.
    const auto bad = cp1252::firstUnstorable(text);
    if (!bad) return;
    QString kept;
    for (const QChar c : text)
        if (!c.isSurrogate() && !cp1252::firstUnstorable(QString(c))) kept += c;
    const int cursor = ui->large->cursorPosition() - int(text.size() - kept.size());
    ui->large->setText(kept);
    ui->large->setCursorPosition(std::max(0, cursor));
    desktop_.message(this, cp1252::unstorableMessage(*bad));
}

void Talvo::large_KeyPress()
{
    const QString text = ui->large->text();
    if (text.isEmpty() || !checkKey(text)) return;
    session_.searchText = cp1252::toUpper(text);
    session_.searchField = record::Field::All;
    RechercheGlobale();
}

void Talvo::large_Change()
{
    const bool filled = !ui->large->text().isEmpty();
    ui->ajouter_cle->setEnabled(filled);
    ui->vider->setEnabled(filled);
}

void Talvo::vider_Click()
{
    clearKeyBox();
    ui->large->setFocus();
}

void Talvo::clearKeyBox() { ui->large->clear(); }

void Talvo::ajouter_cle_Click()
{
    const QString text = ui->large->text();
    if (!checkKey(text)) return;
    session_.searchText = cp1252::toUpper(text);
    session_.current.letterFile = session_.catalogue.letterFileOfKey(session_.searchText);
    commands::openEntryForm(*this);
    ui->large->setFocus();
}

void Talvo::RechercheGlobale()
{
    // The height the user gave the list of the last search is the next one's.
    if (found_ > 1 && heightTwips() > kOneResultHeightTwips) resultsHeightTwips_ = heightTwips();
    setHeightTwips(kCollapsedHeightTwips);
    // A new list starts at its key column, whichever column the last one was jumped to.
    ui->grille1->scrollToColumn(0);

    gridSearch_ = {session_.searchText, session_.searchField, {}};
    fillGrid();

    if (found_ == 0) {
        const QString typed = ui->large->text();
        if (!typed.isEmpty()) {
            session_.current.letterFile = session_.catalogue.letterFileOfKey(typed);
            commands::openEntryForm(*this);
            ui->large->setFocus();
        } else {
            ui->large->setText(session_.searchText);
        }
    } else if (found_ == 1) {
        setHeightTwips(kOneResultHeightTwips);
        ui->grille1->selectRow(0);
        grille1_click(0);
    } else {
        stateChanged();
        setHeightTwips(resultsHeightTwips_);
    }
}

void Talvo::fillGrid()
{
    if (found_ != 0) ViderGrille();
    found_ = 0;
    total_ = 0;
    searching_ = true;
    RepeatedMessages malformed(desktop_, this, texts::get(texts::kStopShowing));
    malformedBoxes_ = &malformed;
    const SearchCounts counts = ::RechercheGlobale(session_.catalogue, gridSearch_.text, gridSearch_.field,
                                                   [this](QByteArrayView line) { AjouterLigneGrille(line); });
    malformedBoxes_ = nullptr;
    searching_ = false;
    model_.flush();
    total_ = counts.total;
    setWindowTitle(formatCount(found_) + message(96) + formatCount(total_) + message(97));
    if (!counts.unreadable.isEmpty())
        desktop_.message(this,
                         texts::get(texts::kUnreadableFiles) + QStringLiteral("\n\n") +
                             counts.unreadable.join(u'\n'),
                         QString(), Desktop::Buttons::Ok, Desktop::Icon::Warning);
}

void Talvo::refreshGrid()
{
    if (gridSearch_.text.isEmpty() && model_.rowCount() == 0) return; // no search shown yet
    const int row = ui->grille1->currentIndex().row();
    fillGrid();
    if (!gridSearch_.refinements.isEmpty()) {
        QList<QByteArray> lines;
        lines.reserve(model_.rowCount());
        for (int r = 0; r < model_.rowCount(); ++r) lines.append(model_.lineBytes(r).toByteArray());
        const qint64 read = lines.size();
        for (const auto &[field, text] : std::as_const(gridSearch_.refinements))
            lines = refine::filter(lines, field, text);
        showLines(lines);
        setWindowTitle(formatCount(lines.size()) + message(23) + formatCount(read) + message(24));
    }
    stateChanged();
    if (row >= 0 && row < model_.rowCount()) ui->grille1->selectRow(row);
}

void Talvo::refined(const QList<QByteArray> &kept, record::Field field, const QString &text)
{
    showLines(kept);
    gridSearch_.refinements.append({field, text});
}

void Talvo::AjouterLigneGrille(QByteArrayView line)
{
    ++found_;
    if (!model_.appendLine(line)) {
        // A malformed line is shown whole in the key column, after telling the user about it.
        if (malformedBoxes_) malformedBoxes_->show(message(8), cp1252::decode(line), Desktop::Icon::Critical);
        else desktop_.message(this, message(8), cp1252::decode(line), Desktop::Buttons::Ok, Desktop::Icon::Critical);
    }
    // A search shows its rows and its counts once, at its end.
    if (searching_) return;
    model_.flush();
    setWindowTitle(formatCount(found_) + message(9));
}

void Talvo::showLines(const QList<QByteArray> &lines)
{
    ViderGrille();
    found_ = 0;
    searching_ = true;
    RepeatedMessages malformed(desktop_, this, texts::get(texts::kStopShowing));
    malformedBoxes_ = &malformed;
    for (const QByteArray &line : lines) AjouterLigneGrille(line);
    malformedBoxes_ = nullptr;
    searching_ = false;
    model_.flush();
    stateChanged();
}

void Talvo::ViderGrille()
{
    setWindowTitle(message(10));
    model_.clear();
    ui->grille1->setCurrentIndex(QModelIndex());
    stateChanged();
}

void Talvo::grille1_click(int row)
{
    if (row < 0 || row >= model_.rowCount()) return;
    CurrentRecord &current = session_.current;
    current.record = model_.record(row);
    current.workLine = model_.line(row); // the line as stored, which the card deletes or replaces
    current.letterFile = session_.catalogue.letterFileOfKey(current.record.key);
    commands::openRecordCard(*this);

    if (current.deleted) {
        model_.removeRecord(row);
        --found_;
        setWindowTitle(message(11) + session_.searchText + message(12));
    } else if (current.modified) {
        model_.setRecord(row, current.record);
        setWindowTitle(message(13));
    }
    current.deleted = false;
    current.modified = false;
}

void Talvo::scrollToColumn(int column) { ui->grille1->scrollToColumn(column); }

void Talvo::V_Note_Click() { scrollToColumn(1); }
void Talvo::V_date_Click() { scrollToColumn(2); }
void Talvo::V_supp_Click() { scrollToColumn(3); }
void Talvo::V_cat_Click() { scrollToColumn(4); }
void Talvo::v_fichier_Click() { scrollToColumn(5); }
