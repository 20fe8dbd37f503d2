#pragma once

#include <QDate>
#include <QString>

// Fills text to width with the first character of fill: side "D" keeps the text on the left,
// "G" on the right. Any empty argument, or another side, gives an empty text.
QString CompleterTexte(const QString &text, const QString &fill, const QString &side, int width);

// The text of a listing being built; AjouterTexteListe appends text with every "_" turned into a
// line end, then a line end.
class ListingBuffer
{
public:
    void AjouterTexteListe(const QString &text);
    const QString &text() const { return text_; }
    void clear() { text_.clear(); }

private:
    QString text_;
};

// A count as the captions show it: a leading blank when not negative (" 12", "-1").
QString formatCount(qint64 n);

// "dd-mm-yyyy".
QString formatDayDate(const QDate &date);
