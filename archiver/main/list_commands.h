#pragma once

class Talvo;

// The commands of the result list: its printed list, made as the user chooses its layout and
// fields, then opened in the editor; the pages of its pictures.
namespace commands {

void m_imprimer(Talvo &window);
// The local pictures of the list handed to the outside thumbnail tool as a list file.
void m_album(Talvo &window);
// The HTML page of the list's JPEG and GIF pictures, made in the dialog htm.
void m_html(Talvo &window);

} // namespace commands
