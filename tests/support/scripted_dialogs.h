#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "views/dialogs.h"

namespace kel {

// One box the program showed.
struct ShownBox
{
    enum Kind { Message, Input };
    Kind kind = Message;
    std::string prompt;
    std::string title;
    MsgButtons buttons = MsgButtons::Ok; // Ok for input boxes
    std::string defaultText;             // input boxes only
};

// Answers boxes from a script and records every box shown, in order. Boxes with only an OK
// button take no answer from the script. When the script has run out a box answers as if the
// user closed it: Cancel (Yes/No/Cancel), No (Yes/No), or a cancelled input box.
class ScriptedDialogs : public Dialogs
{
public:
    // The next Yes/No or Yes/No/Cancel box answers a.
    ScriptedDialogs &answer(MsgAnswer a);
    // The next input box returns text, as if typed and confirmed.
    ScriptedDialogs &type(std::string text);
    // The next input box is cancelled.
    ScriptedDialogs &cancelInput();

    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override;
    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override;

    const std::vector<ShownBox> &shown() const { return m_shown; }
    // Prompts of the boxes shown, in order.
    std::vector<std::string> prompts() const;
    // Questions that found the script empty (or an answer their buttons cannot give).
    int unscripted() const { return m_unscripted; }
    std::size_t pendingAnswers() const { return m_answers.size(); }
    std::size_t pendingInputs() const { return m_inputs.size(); }
    void clearShown() { m_shown.clear(); }

private:
    std::deque<MsgAnswer> m_answers;
    std::deque<std::optional<std::string>> m_inputs;
    std::vector<ShownBox> m_shown;
    int m_unscripted = 0;
};

} // namespace kel
