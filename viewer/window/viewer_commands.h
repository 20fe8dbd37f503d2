#pragma once

namespace lisor {
class Form1;
}

// The viewer's menu commands.
namespace viewercmd {

using lisor::Form1;

void m_charger(Form1 &window);
void m_sauver(Form1 &window);
// The character set a plain-text document is saved in, UTF-8 or Windows-1252, turned to the other.
void m_encodage(Form1 &window);
// Writes the document; false when it was not written (the reason was shown).
bool save(Form1 &window);
void m_chercher(Form1 &window);
void m_suivant(Form1 &window);
void m_remplacer(Form1 &window);
void m_rubr(Form1 &window);
void m_imprimer(Form1 &window);
void m_copier(Form1 &window);
void m_greenl(Form1 &window);
void m_red(Form1 &window);
void m_blue(Form1 &window);
void m_black(Form1 &window);
void m_white(Form1 &window);
void m_soul(Form1 &window);
void m_min(Form1 &window);
void m_maj(Form1 &window);
void m_gras(Form1 &window);
void m_italique(Form1 &window);
void m_normal(Form1 &window);
void m_tri_sel(Form1 &window);
void m_info(Form1 &window);

// The one rule before the document is replaced or closed ("Charger", closing the window, the
// session's end): with changes, Save, Don't save or Cancel. False when the document must stay
// (cancelled, or the save failed or was given up).
bool mayLeave(Form1 &window);

} // namespace viewercmd
