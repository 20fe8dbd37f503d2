#pragma once

#include <QString>

class Talvo;

// The commands of the Tools menu that act on the catalogue or on the result list: the finder of
// files no record mentions, the keyword list, the target list handed to the zip tool, the help
// pages, the terminal and the folder of the per-user settings.
namespace commands {

void m_oublies(Talvo &window);
void m_lister_cles(Talvo &window);
void m_sauver_alb(Talvo &window);
void m_editer_aide(Talvo &window);
void m_dos(Talvo &window);
void m_regedit(Talvo &window);

// The terminal emulator m_dos starts: the desktop's chosen one, else xterm; empty when neither
// is installed.
QString terminalProgram();

} // namespace commands
