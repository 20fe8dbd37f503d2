#pragma once

namespace lisor {
class Form1;
}

// The viewer's menu commands.
namespace viewercmd {

using lisor::Form1;

void m_charger(Form1 &window);
void m_sauver(Form1 &window);
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

// A changed document is saved without a question before the window closes; false when the
// window must stay because that save failed and the user keeps the text.
bool mayClose(Form1 &window);

} // namespace viewercmd
