#include "common/desktop/repeated_messages.h"

RepeatedMessages::RepeatedMessages(Desktop &desktop, QWidget *parent, QString stopQuestion)
    : desktop_(desktop), parent_(parent), stopQuestion_(std::move(stopQuestion))
{
}

void RepeatedMessages::show(const QString &text, const QString &title, Desktop::Icon icon)
{
    if (stopped_) return;
    ++shown_;
    if (shown_ % kAskEvery != 0) {
        desktop_.message(parent_, text, title, Desktop::Buttons::Ok, icon);
        return;
    }
    stopped_ = desktop_.message(parent_, text + QStringLiteral("\n\n") + stopQuestion_, title,
                                Desktop::Buttons::YesNo, icon) == Desktop::Answer::Yes;
}
