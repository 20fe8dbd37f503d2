#pragma once

class Talvo;

// The commands of the data menu that read the whole catalogue or the result list: the analysis,
// which checks every record and rebuilds the lists of categories and supports, and the refine,
// which narrows the result list to the rows whose chosen field holds a text.
namespace commands {

// Also run after every command that changed records, so that the lists follow them.
void m_bilan(Talvo &window);
void m_affiner(Talvo &window);

} // namespace commands
