#include "views/memory_form.h"

#include "store/utf8.h"

namespace kel {

MemoryForm::MemoryForm()
{
    for (const ControlInfo &info : kControls) {
        const std::size_t i = idx(info.ctl);
        m_visible[i] = info.visible;
        m_values[i] = info.value;
        if (info.kind == CtlKind::TextBox)
            m_texts[i] = info.caption;
        else
            m_captions[i] = info.caption;
    }
    m_grid.setWidth(controlInfo(Ctl::MSF).width);
}

bool MemoryForm::shown(Ctl c) const
{
    for (std::optional<Ctl> at = c; at; at = controlInfo(*at).container)
        if (!m_visible[idx(*at)])
            return false;
    return true;
}

void MemoryForm::setText(Ctl c, std::string_view text)
{
    const int max = controlInfo(c).maxLength;
    if (max > 0)
        text = Utf8Left(text, static_cast<std::size_t>(max));
    m_texts[idx(c)].assign(text);
}

} // namespace kel
