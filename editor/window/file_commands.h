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
// True when the document was written.
bool saveAs(Form1 &window);
void m_sauver_sous(Form1 &window);
void m_type(Form1 &window);
void m_info(Form1 &window);
void m_doc(Form1 &window);
void m_aide_HTM(Form1 &window);

// The questions before the window closes; false when the window must stay (a save failed or was
// given up), so no typed text is lost.
bool mayClose(Form1 &window);

} // namespace filecmd
