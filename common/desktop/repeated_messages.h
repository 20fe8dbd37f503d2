#pragma once

#include "common/desktop/desktop.h"

#include <QString>

class QWidget;

// The message boxes of one kind that one long run (a search, an analysis, an import) may show
// many times: every fifth asks as well whether to stop showing them, and after a Yes the rest of
// the run shows none. The run goes on either way.
class RepeatedMessages
{
public:
    static constexpr int kAskEvery = 5;

    // stopQuestion is added to every fifth box, after a blank line.
    RepeatedMessages(Desktop &desktop, QWidget *parent, QString stopQuestion);

    void show(const QString &text, const QString &title, Desktop::Icon icon);

private:
    Desktop &desktop_;
    QWidget *parent_;
    QString stopQuestion_;
    bool stopped_ = false;
    int shown_ = 0;
};
