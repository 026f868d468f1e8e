// Texts cross as UTF-8 strings, a card as its bytes written into the module's memory; new
// Window(dialogs) asks its boxes of the page's dialogs object.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <optional>
#include <string>

#include "web/window.h"

namespace kel {

namespace {

using emscripten::val;

// The page's dialogs: an object with msgBox(prompt, title, buttons) answering "ok", "yes", "no"
// or "cancel", and inputBox(prompt, title, defaultText) answering a text or null.
class PageDialogs : public Dialogs
{
public:
    explicit PageDialogs(val page) : m_page(std::move(page)) {}

    MsgAnswer msgBox(std::string_view prompt, std::string_view title, MsgButtons buttons) override
    {
        static constexpr const char *kButtons[] = {"ok", "yesno", "yesnocancel"};
        const std::string a = m_page.call<std::string>("msgBox", std::string(prompt), std::string(title),
                                                       std::string(kButtons[static_cast<int>(buttons)]));
        if (a == "yes")
            return MsgAnswer::Yes;
        if (a == "no")
            return MsgAnswer::No;
        if (a == "cancel")
            return MsgAnswer::Cancel;
        return MsgAnswer::Ok;
    }

    std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                        std::string_view defaultText) override
    {
        const val typed
            = m_page.call<val>("inputBox", std::string(prompt), std::string(title), std::string(defaultText));
        if (typed.isNull() || typed.isUndefined())
            return std::nullopt;
        return typed.as<std::string>();
    }

private:
    val m_page;
};

Window *windowAskingPage(val dialogs)
{
    return new Window(std::make_unique<PageDialogs>(std::move(dialogs)));
}

} // namespace

} // namespace kel

EMSCRIPTEN_BINDINGS(kelsoft)
{
    using kel::Window;
    emscripten::class_<Window>("Window")
        .constructor(&kel::windowAskingPage, emscripten::allow_raw_pointers())
        .function("cardBuffer", &Window::cardBuffer)
        .function("openCard", &Window::openCard)
        .function("state", &Window::state)
        .function("setCell", &Window::setCell)
        .function("setColWidth", &Window::setColWidth)
        .function("setText", &Window::setText)
        .function("setValue", &Window::setValue)
        .function("doubleClick", &Window::doubleClick)
        .function("gridKey", &Window::gridKey)
        .function("formKey", &Window::formKey)
        .function("fileOpen", &Window::fileOpen)
        .function("cancelOpen", &Window::cancelOpen)
        .function("recalculate", &Window::recalculate)
        .function("go", &Window::go)
        .function("cancelSettings", &Window::cancelSettings)
        .function("resetData", &Window::resetData)
        .function("earlySpeed", &Window::earlySpeed)
        .function("lateSpeed", &Window::lateSpeed)
        .function("print", &Window::print)
        .function("csv", &Window::csv)
        .function("json", &Window::json);
}
