#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"
#include "views/memory_form.h"

namespace kel {
namespace {

TEST(MemoryForm, OpensLikeTheWindow)
{
    MemoryForm f;
    EXPECT_FALSE(f.visible(Ctl::fr_dc));
    EXPECT_FALSE(f.visible(Ctl::Fr_Open));
    EXPECT_FALSE(f.visible(Ctl::FrameRecalculate));
    EXPECT_FALSE(f.visible(Ctl::Recalculate));
    EXPECT_TRUE(f.visible(Ctl::ResetData));
    EXPECT_TRUE(f.visible(Ctl::Printd));
    EXPECT_FALSE(f.visible(Ctl::Speed));
    EXPECT_FALSE(f.visible(Ctl::LateSpeed));
    // Visible controls inside a hidden frame are not seen.
    EXPECT_TRUE(f.visible(Ctl::MSF));
    EXPECT_FALSE(f.shown(Ctl::MSF));
    f.setVisible(Ctl::fr_dc, true);
    EXPECT_TRUE(f.shown(Ctl::MSF));
    EXPECT_FALSE(f.shown(Ctl::Text_Date));

    EXPECT_EQ(f.text(Ctl::Text_Date), "01/01/01");
    EXPECT_EQ(f.text(Ctl::Text_Purse1), "0K");
    EXPECT_EQ(f.text(Ctl::Text_Purse2), "10M");
    EXPECT_EQ(f.text(Ctl::Text_Distance1), "4 1/2F");
    EXPECT_EQ(f.text(Ctl::Text_Distance2), "2 1/2M");
    for (Ctl c : {Ctl::Check_Dirt, Ctl::Check_Turf, Ctl::Check_Fast, Ctl::Check_Muddy})
        EXPECT_EQ(f.value(c), 1);
    EXPECT_EQ(f.caption(Ctl::Check_Muddy), "Muddy, sloopy surface races");
    EXPECT_EQ(f.caption(Ctl::FrameRecalculate), "Settings");
    EXPECT_EQ(f.caption(Ctl::LabelCarreras), "");
    EXPECT_EQ(f.MSF().width(), 11295);
    EXPECT_FALSE(f.focus());
    EXPECT_FALSE(f.selectedFile());
    EXPECT_FALSE(f.closed());
}

TEST(MemoryForm, DateBoxTakesEightCharactersAsTyping)
{
    MemoryForm f;
    f.setText(Ctl::Text_Date, "01/01/2001");
    EXPECT_EQ(f.text(Ctl::Text_Date), "01/01/20");
    f.setText(Ctl::Text_Date, "\xC3\xB1\xC3\xB1/01/01x"); // "ññ/01/01x": characters, not bytes
    EXPECT_EQ(f.text(Ctl::Text_Date), "\xC3\xB1\xC3\xB1/01/01");
    f.setText(Ctl::Text_Purse1, "a purse text longer than eight");
    EXPECT_EQ(f.text(Ctl::Text_Purse1), "a purse text longer than eight");
}

TEST(ScriptedDialogs, AnswersQuestionsInOrderAndRecordsEveryBox)
{
    ScriptedDialogs d;
    d.answer(MsgAnswer::No).type("3");
    EXPECT_EQ(d.msgBox("note", "KEL Soft", MsgButtons::Ok), MsgAnswer::Ok); // takes no answer
    EXPECT_EQ(d.msgBox("Reset?", "Enter option", MsgButtons::YesNoCancel), MsgAnswer::No);
    EXPECT_EQ(d.inputBox("How many?", "Print", "1"), std::optional<std::string>("3"));
    EXPECT_EQ(d.unscripted(), 0);

    // Out of script: as if closed.
    EXPECT_EQ(d.msgBox("again?", "t", MsgButtons::YesNoCancel), MsgAnswer::Cancel);
    EXPECT_EQ(d.msgBox("sure?", "t", MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(d.inputBox("p", "t", "x"), std::nullopt);
    EXPECT_EQ(d.unscripted(), 3);

    ASSERT_EQ(d.shown().size(), 6u);
    EXPECT_EQ(d.shown()[1].title, "Enter option");
    EXPECT_EQ(d.shown()[1].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(d.shown()[2].kind, ShownBox::Input);
    EXPECT_EQ(d.shown()[2].defaultText, "1");
    EXPECT_EQ(d.prompts().front(), "note");
}

TEST(ScriptedDialogs, AnAnswerTheButtonsCannotGiveCountsAsUnscripted)
{
    ScriptedDialogs d;
    d.answer(MsgAnswer::Cancel);
    EXPECT_EQ(d.msgBox("sure?", "t", MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(d.unscripted(), 1);
    EXPECT_EQ(d.pendingAnswers(), 0u);
}

} // namespace
} // namespace kel
