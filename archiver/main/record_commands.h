#pragma once

class Talvo;

// The commands that open the record dialogs: the entry form and the record card, reached from
// the key box and the grid, and the search form and the configuration of the menus. Each builds
// its dialog with the window's session and desktop, shows it, and hands the result back to the
// window.
namespace commands {

// A new record whose key is the search text, in the current letter file.
void openEntryForm(Talvo &window);
// The card of the current record; the grid then reads its deleted and modified flags.
void openRecordCard(Talvo &window);
// Searches one field of the records: the search form, then the search when a field was chosen.
void m_recherche(Talvo &window);
// The four settings of the configuration dialog; a zip tool accepted there enables its command.
void m_config(Talvo &window);

} // namespace commands
