#pragma once

class QString;

namespace pictel {

class Form1;

// The Fichier commands and the about box: open, save, save as, print.
namespace filecmd {

void m_charger(Form1 &window);
void m_save(Form1 &window);
void m_sauver(Form1 &window);
void m_print(Form1 &window);
void m_infos(Form1 &window);

// Saves the picture shown under the name chosen, in the format its extension names; true when it
// was written. It then becomes the file "Sauver" writes.
bool saveUnder(Form1 &window, const QString &chosen);

} // namespace filecmd
} // namespace pictel
