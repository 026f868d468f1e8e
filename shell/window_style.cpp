#include "shell/window_style.h"

#include <algorithm>

#include <QApplication>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace kel {

WindowStyle::WindowStyle() : QProxyStyle(QApplication::style()->name())
{}

int WindowStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    const int size = QProxyStyle::pixelMetric(metric, option, widget);
    if ((metric == PM_IndicatorHeight || metric == PM_IndicatorWidth) && widget && widget->height() > 0)
        return std::min(size, widget->height());
    return size;
}

void WindowStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element != CE_PushButton || !(option->state & State_HasFocus))
        return;
    const qreal inset = 3;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset), 2, 2);
    painter->restore();
}

} // namespace kel
