#pragma once

class Form1;

// The FICHIER and AIDE commands of the editor: documents opened, saved, made new, converted,
// the recent files, the closing questions, the help and the about box.
namespace filecmd {

void m_nouveau(Form1 &window);
void m_charger(Form1 &window);
// The recent file of the menu's item index (from 1).
void nom_fichier(Form1 &window, int index);
void m_sauver(Form1 &window);
// True when the document was written: to its own name, or through Save As when it has none.
bool save(Form1 &window);
// True when the document was written.
bool saveAs(Form1 &window);
void m_sauver_sous(Form1 &window);
void m_type(Form1 &window);
// The character set a plain-text document is saved in, UTF-8 or Windows-1252, turned to the other.
void m_encodage(Form1 &window);
void m_info(Form1 &window);
void m_doc(Form1 &window);
void m_aide_HTM(Form1 &window);

// The one rule before the document is replaced or closed (open, a recent file, new, closing the
// window, the session's end): with changes, Save, Don't save or Cancel. False when the document
// must stay (cancelled, or the save failed or was given up), so no typed text is lost.
bool mayLeave(Form1 &window);

} // namespace filecmd
