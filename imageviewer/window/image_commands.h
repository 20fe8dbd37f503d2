#pragma once

class QRect;

namespace pictel {

class Form1;

// The Image commands and the mode entry: crop, size, restore.
namespace imagecmd {

// Keeps only the rectangle of the picture as shown that the selection covered; an empty one
// changes nothing.
void recadrer(Form1 &window, const QRect &shown);
void m_taille(Form1 &window);
void m_restaurer(Form1 &window);
void m_sel(Form1 &window);

} // namespace imagecmd
} // namespace pictel
