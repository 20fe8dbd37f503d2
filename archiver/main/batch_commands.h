#pragma once

class Talvo;

// The commands of the data menu that change many records at once, and the one that undoes the
// last of them. Each says first how many records it will change, in how many letter files, and
// goes on only when the user agrees; it then changes the catalogue under the folder's lock,
// showing its progress, and keeps what it changes so that it can be undone.
namespace commands {

// The first occurrence of a text replaced in every record line (the replace dialog builds it).
void m_remplacer(Talvo &window);
// A support given to the records that hold a text and have none.
void m_supp(Talvo &window);
// A support removed from every record that carries it.
void m_kill_support(Talvo &window);
// Every record of the result list deleted from the catalogue.
void m_suppr(Talvo &window);
// Records imported from a file of records, and from a list of "key#note" lines.
void m_import(Talvo &window);
void m_importer(Talvo &window);
// The records of the result list written to a file of records.
void m_sauver(Talvo &window);
// The files of the last operation put back.
void m_annuler(Talvo &window);

} // namespace commands
