#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kel {

// Title of message boxes that give none of their own.
inline constexpr std::string_view kAppTitle = "KEL Soft";

enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

// Modal questions and messages. The window shows real boxes; tests answer from a script.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Closing a Yes/No/Cancel box answers Cancel.
    virtual MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) = 0;
    // A message that reports no failure (the About box): an information icon where boxes have one.
    virtual void note(std::string_view text, std::string_view title) { msgBox(text, title, MsgButtons::Ok); }
    virtual std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                                std::string_view defaultText)
        = 0;
};

} // namespace kel
