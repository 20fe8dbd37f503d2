#pragma once

#include <array>

// The outside utilities of the Tools menu: separate programs that may be installed in the program
// folder. Each entry is enabled only when its program file is there.
struct OutsideTool
{
    const char *action;  // menu entry
    const char *program; // file name in the program folder
};

inline constexpr std::array<OutsideTool, 18> kOutsideTools{{
    {"m_find", "talvo5-chercheur"},
    {"m_sys", "talvo5-infos"},
    {"m_seek", "talvo5-prospecteur"},
    {"m_viewer", "talvo5-images"},
    {"m_moniteur", "talvo5-moniteur"},
    {"m_allegerpage", "talvo5-allegeur"},
    {"m_inventaire", "talvo5-inventaire"},
    {"m_compare", "talvo5-comparateur"},
    {"m_web", "talvo5-web"},
    {"m_doublons", "talvo5-doublons"},
    {"m_xy", "talvo5-loupe"},
    {"m_conv", "talvo5-convertisseur"},
    {"m_memento", "talvo5-memento"},
    {"m_sons", "talvo5-sons"},
    {"m_octets", "talvo5-hexa"},
    {"m_fractionner", "talvo5-decoupeur"},
    {"m_synchro", "talvo5-synchro"},
    {"m_crypt", "talvo5-crypteur"},
}};
