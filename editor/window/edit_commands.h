#pragma once

class Form1;

// The EDITION, SELECTION and insertion commands of the editor that act on the text area.
namespace editcmd {

void m_annuler(Form1 &window);
void m_chercher(Form1 &window);
void m_suivant(Form1 &window);
// Selects the next occurrence of the search word from the search position, or says the end of
// the text was reached and starts again at the top.
void ChercherSuivant(Form1 &window);
void m_remplacer(Form1 &window);
void tout(Form1 &window);
void copier(Form1 &window);
void couper(Form1 &window);
void coller(Form1 &window);
void m_gras(Form1 &window);
void m_italique(Form1 &window);
void m_souligner(Form1 &window);
void m_titre(Form1 &window);
void m_gauche(Form1 &window);
void m_centrer(Form1 &window);
void m_droite(Form1 &window);
void m_sel_maj(Form1 &window);
void m_sel_min(Form1 &window);
void m_date(Form1 &window);
void m_ecrire_politesse(Form1 &window);
void m_ecrire_signature(Form1 &window);
void m_editer_politesse(Form1 &window);
void m_editer_signature(Form1 &window);

} // namespace editcmd
