#include "archiver/forms/support_ext.h"

#include "form_fixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct SupportExt : FormFixture
{
    void open()
    {
        form = std::make_unique<Support_ext>(*session, desktop);
        combo = child<QComboBox>(form.get(), "Combo1");
    }
    std::unique_ptr<Support_ext> form;
    QComboBox *combo = nullptr;
};

} // namespace

TEST_F(SupportExt, ProposesTheNameUsedLastAndListsTheKnownSupportsInFileOrder)
{
    write(QStringLiteral("TALVO.SUP"), "ZIP 2\r\n\r\nCD 1\r\n");
    open();
    EXPECT_EQ(combo->currentText(), QString());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("ZIP 2"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("CD 1"));

    session->currentSupport = QStringLiteral("CD VACANCES");
    open();
    EXPECT_EQ(combo->currentText(), QStringLiteral("CD VACANCES"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Identification de ce Support externe"));
}

// OK takes the text in capitals and closes; an empty text, or one a record line cannot hold,
// keeps the dialog open and the current support as it was. The list file is never written.
TEST_F(SupportExt, OkAcceptsOnlyAStorableName)
{
    const struct
    {
        QString typed;
        QString support; // the current support afterwards
        bool closed;
        bool warned;
    } cases[] = {
        {QStringLiteral("cd vacances"), QStringLiteral("CD VACANCES"), true, false},
        {QStringLiteral("été 2004"), QStringLiteral("ÉTÉ 2004"), true, false},
        {QString(), QStringLiteral("AVANT"), false, false},
        {QStringLiteral("CD]1"), QStringLiteral("AVANT"), false, true},
        {QStringLiteral("CD\t1"), QStringLiteral("AVANT"), false, true},
        {QStringLiteral("CD \u20AC\u4E2D"), QStringLiteral("AVANT"), false, true},
    };
    const QByteArray listBefore = read(QStringLiteral("TALVO.SUP"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        session->currentSupport = QStringLiteral("AVANT");
        desktop.messages.clear();
        open();
        combo->setEditText(c.typed);
        click(form.get(), "Command1");
        EXPECT_EQ(session->currentSupport, c.support);
        EXPECT_EQ(form->result() == QDialog::Accepted, c.closed);
        EXPECT_EQ(desktop.messages.size(), c.warned ? 1 : 0);
    }
    EXPECT_EQ(read(QStringLiteral("TALVO.SUP")), listBefore);
}

TEST_F(SupportExt, SpeaksTheSessionsLanguageWithAMnemonicOnItsButton)
{
    speakEnglish();
    open();
    EXPECT_NE(form->windowTitle(), QStringLiteral("Identification de ce Support externe"));
    EXPECT_TRUE(child<QPushButton>(form.get(), "Command1")->text().contains(u'&'));
    EXPECT_NE(child<QLabel>(form.get(), "Etiquette1")->text(), QString());
}
