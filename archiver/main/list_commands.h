#pragma once

class Talvo;

// The commands of the result list: its printed list, made as the user chooses its layout and
// fields, then opened in the editor.
namespace commands {

void m_imprimer(Talvo &window);

} // namespace commands
