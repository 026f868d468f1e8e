#include "support/scripted_dialogs.h"

namespace kel {

ScriptedDialogs &ScriptedDialogs::answer(MsgAnswer a)
{
    m_answers.push_back(a);
    return *this;
}

ScriptedDialogs &ScriptedDialogs::type(std::string text)
{
    m_inputs.emplace_back(std::move(text));
    return *this;
}

ScriptedDialogs &ScriptedDialogs::cancelInput()
{
    m_inputs.emplace_back(std::nullopt);
    return *this;
}

MsgAnswer ScriptedDialogs::msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons)
{
    m_shown.push_back({ShownBox::Message, std::string(prompt), std::string(title), buttons, {}});
    if (buttons == MsgButtons::Ok)
        return MsgAnswer::Ok;
    const MsgAnswer closed = buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    if (m_answers.empty()) {
        ++m_unscripted;
        return closed;
    }
    const MsgAnswer a = m_answers.front();
    m_answers.pop_front();
    const bool fits
        = a == MsgAnswer::Yes || a == MsgAnswer::No || (a == MsgAnswer::Cancel && buttons == MsgButtons::YesNoCancel);
    if (!fits) {
        ++m_unscripted;
        return closed;
    }
    return a;
}

std::optional<std::string> ScriptedDialogs::inputBox(std::string_view prompt, std::string_view title,
                                                     std::string_view defaultText)
{
    m_shown.push_back(
        {ShownBox::Input, std::string(prompt), std::string(title), MsgButtons::Ok, std::string(defaultText)});
    if (m_inputs.empty()) {
        ++m_unscripted;
        return std::nullopt;
    }
    std::optional<std::string> reply = std::move(m_inputs.front());
    m_inputs.pop_front();
    return reply;
}

std::vector<std::string> ScriptedDialogs::prompts() const
{
    std::vector<std::string> out;
    out.reserve(m_shown.size());
    for (const ShownBox &b : m_shown)
        out.push_back(b.prompt);
    return out;
}

} // namespace kel
