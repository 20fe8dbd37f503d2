#pragma once

#include <QByteArrayView>

#include <array>
#include <cstdint>

// The order in which a letter file is kept: the word order of a sorted list, on raw
// Windows-1252 lines. Letter case is ignored; hyphens and apostrophes are ignored except to break
// ties; blanks and other punctuation come before digits, digits before letters; an accented
// letter sorts beside its base letter (accents only break ties). Lines that compare equal keep
// their order when sorted with std::stable_sort.
//
// The relative order of the characters comes from the French collation of the locale library,
// computed once per object, so comparing two lines needs no conversion and no allocation.
class LineOrder
{
public:
    LineOrder();

    // <0, 0 or >0.
    int compare(QByteArrayView a, QByteArrayView b) const;
    bool operator()(QByteArrayView a, QByteArrayView b) const { return compare(a, b) < 0; }

private:
    // Per byte: up to two primary weights (letters such as Œ expand to two), the weight of the
    // character itself (accent level), and its weight when hyphens and apostrophes count.
    std::array<std::array<uint16_t, 2>, 256> primary_{};
    std::array<uint16_t, 256> secondary_{};
    std::array<uint16_t, 256> tertiary_{};
};
