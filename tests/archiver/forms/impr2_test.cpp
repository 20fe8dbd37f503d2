#include "archiver/forms/impr2.h"

#include "form_fixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

struct PrintFields : FormFixture
{
    void open()
    {
        form = std::make_unique<impr2>(*session, desktop);
        fields = child<QListWidget>(form.get(), "List1");
        chosen = child<QListWidget>(form.get(), "List2");
    }
    void choose(int row) const
    {
        fields->setCurrentRow(row);
        emit fields->itemClicked(fields->item(row));
    }
    QStringList chosenTexts() const
    {
        QStringList out;
        for (int i = 0; i < chosen->count(); ++i)
            out.append(chosen->item(i)->text());
        return out;
    }

    std::unique_ptr<impr2> form;
    QListWidget *fields = nullptr;
    QListWidget *chosen = nullptr;
};

// The fields are chosen in the order clicked, a field may come twice, "Recommencer" starts over;
// only OK replaces the session's choice, and a fill text is checked as any stored text.
TEST_F(PrintFields, OnlyOkReplacesTheChoiceInTheOrderClicked)
{
    session->print.selection = {5};
    session->print.fill = QStringLiteral("-");
    open();
    ASSERT_EQ(fields->count(), 6);
    EXPECT_EQ(fields->item(3)->text(), msg(108));
    auto *ok = child<QPushButton>(form.get(), "ok");
    EXPECT_FALSE(ok->isEnabled());

    choose(0);
    choose(0);
    choose(4);
    EXPECT_EQ(chosenTexts(), (QStringList{msg(103), msg(103), msg(105)}));
    click(form.get(), "reset");
    EXPECT_TRUE(chosenTexts().isEmpty());
    EXPECT_FALSE(ok->isEnabled());
    form->reject();
    EXPECT_EQ(session->print.selection, QList<int>{5});
    EXPECT_EQ(session->print.fill, QStringLiteral("-"));

    open();
    choose(2);
    fields->setCurrentRow(0);
    QTest::keyClick(fields, Qt::Key_Return); // the keyboard chooses as a click does
    fields->setCurrentRow(2);
    QTest::keyClick(fields, Qt::Key_Space);
    child<QLineEdit>(form.get(), "car")->setText(QStringLiteral("\t"));
    click(form.get(), "ok");
    EXPECT_NE(form->result(), QDialog::Accepted);
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(session->print.selection, QList<int>{5});

    child<QLineEdit>(form.get(), "car")->clear();
    click(form.get(), "ok");
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(session->print.selection, (QList<int>{2, 0, 2}));
    EXPECT_EQ(session->print.fill, QStringLiteral(" "));
}

} // namespace
