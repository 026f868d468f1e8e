#pragma once

#include <QProxyStyle>

namespace kel {

// A button with the keyboard focus shows a clear frame inside its edge, and a check box lower than
// the style's indicator ("Muddy, sloopy surface races" is 195 twips high) gets an indicator that
// fits it instead of one cut at the bottom.
class WindowStyle : public QProxyStyle
{
    Q_OBJECT

public:
    WindowStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
};

} // namespace kel
