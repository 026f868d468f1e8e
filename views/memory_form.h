#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "views/controls.h"
#include "views/dialogs.h"
#include "views/form.h"
#include "views/grid_model.h"

namespace kel {

// The window without a screen, for the report tool, the tests and the fuzzers.
class MemoryForm : public Form
{
public:
    MemoryForm();

    GridModel &MSF() override { return m_grid; }
    const GridModel &MSF() const { return m_grid; }

    std::string caption(Ctl c) const override { return m_captions[idx(c)]; }
    void setCaption(Ctl c, std::string_view text) override { m_captions[idx(c)].assign(text); }
    bool visible(Ctl c) const override { return m_visible[idx(c)]; }
    void setVisible(Ctl c, bool on) override { m_visible[idx(c)] = on; }
    // Visible itself and inside frames that are all visible: what the user would see.
    bool shown(Ctl c) const;

    void setFocus(Ctl c) override { m_focus = c; }
    // None at start or since forgetFocus, which a front end calls before a command to learn
    // where that command moved the focus.
    std::optional<Ctl> focus() const { return m_focus; }
    void forgetFocus() { m_focus.reset(); }

    std::string text(Ctl c) const override { return m_texts[idx(c)]; }
    // As typing would: cut to the box's maximum length (Text_Date takes 8 characters).
    void setText(Ctl c, std::string_view text);
    int value(Ctl c) const override { return m_values[idx(c)]; }
    void setValue(Ctl c, int v) { m_values[idx(c)] = v; }

    std::optional<std::string> selectedFile() const override { return m_selected; }
    void setSelectedFile(std::optional<std::string> name) { m_selected = std::move(name); }
    std::string directory() const override { return m_directory; }
    void setDirectory(std::string path) { m_directory = std::move(path); }

    void close() override { m_closed = true; }
    bool closed() const { return m_closed; }

private:
    static std::size_t idx(Ctl c) { return static_cast<std::size_t>(c); }

    GridModel m_grid;
    std::array<std::string, kCtlCount> m_captions;
    std::array<std::string, kCtlCount> m_texts;
    std::array<bool, kCtlCount> m_visible{};
    std::array<int, kCtlCount> m_values{};
    std::optional<Ctl> m_focus;
    std::optional<std::string> m_selected;
    std::string m_directory = ".";
    bool m_closed = false;
};

} // namespace kel
