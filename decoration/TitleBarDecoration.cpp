// SPDX-License-Identifier: GPL-2.0-or-later
// The title bar Qt draws around the tool's windows under Wayland when the
// compositor leaves that to its clients (GNOME, Weston). Qt's own offers
// maximize and resizing on every window, also on the fixed-size settings
// window; this one offers them only to a window whose size can change.
#include <QtWaylandClient/private/qwaylandabstractdecoration_p.h>
#include <QtWaylandClient/private/qwaylanddecorationplugin_p.h>
#include <QtWaylandClient/private/qwaylandwindow_p.h>
#include <qpa/qwindowsysteminterface.h>

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

using namespace QtWaylandClient;

namespace
{
// In logical pixels.
const int titleHeight = 30;
const int border = 3;
const int buttonSize = 18;
const int gap = 5;
const int iconSize = 22;
// Room kept free left and right of the title, for the icon and the
// buttons, so that the title stays centred on the window.
const int sideWidth = border + 2 * (buttonSize + gap) + gap;

enum class Part { Content, Frame, TitleBar, Edge, Close, Maximize };

Qt::CursorShape resizeCursor(Qt::Edges edges)
{
    if (edges == (Qt::TopEdge | Qt::LeftEdge) ||
        edges == (Qt::BottomEdge | Qt::RightEdge))
        return Qt::SizeFDiagCursor;
    if (edges & (Qt::LeftEdge | Qt::RightEdge))
        return edges & (Qt::TopEdge | Qt::BottomEdge) ? Qt::SizeBDiagCursor
                                                      : Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

class TitleBarDecoration : public QWaylandAbstractDecoration
{
public:
    QMargins margins() const override
    {
        return {border, titleHeight, border, border};
    }
    bool handleMouse(QWaylandInputDevice *input, const QPointF &local,
                     const QPointF &global, Qt::MouseButtons buttons,
                     Qt::KeyboardModifiers modifiers) override;
    bool handleTouch(QWaylandInputDevice *input, const QPointF &local,
                     const QPointF &global, Qt::TouchPointState state,
                     Qt::KeyboardModifiers modifiers) override;

protected:
    void paint(QPaintDevice *device) override;

private:
    bool isResizable() const;
    /// The window with its frame, without shadows.
    QRect frame() const { return waylandWindow()->windowContentGeometry(); }
    /// The @p index th button from the right: 0 closes, 1 maximizes.
    QRect buttonRect(int index) const;
    Part partAt(const QPointF &local) const;
    /// The frame's sides that @p local lies on, none inside them.
    Qt::Edges edgesAt(const QPointF &local) const;
    /// Starts what a press on @p part does (move or resize), or finishes
    /// what a click does (close or maximize).
    void press(Part part, QWaylandInputDevice *input, const QPointF &local,
               Qt::MouseButtons buttons);
    void click(Part part);
    void showCursor(Part part, QWaylandInputDevice *input,
                    const QPointF &local);
    void paintTitle(QPainter &painter, const QColor &color);
    void paintButtons(QPainter &painter, const QColor &color);

    Part m_pressed = Part::Content;
};

bool TitleBarDecoration::isResizable() const
{
    return window()->minimumSize() != window()->maximumSize();
}

QRect TitleBarDecoration::buttonRect(int index) const
{
    const int right = frame().right() + 1 - border - gap;
    return QRect(right - (index + 1) * buttonSize - index * gap,
                 frame().top() + (titleHeight - buttonSize) / 2, buttonSize,
                 buttonSize);
}

Qt::Edges TitleBarDecoration::edgesAt(const QPointF &local) const
{
    const QRectF inner =
        QRectF(frame()).adjusted(border, border, -border, -border);
    Qt::Edges edges;
    if (local.x() < inner.left())
        edges |= Qt::LeftEdge;
    if (local.x() >= inner.right())
        edges |= Qt::RightEdge;
    if (local.y() < inner.top())
        edges |= Qt::TopEdge;
    if (local.y() >= inner.bottom())
        edges |= Qt::BottomEdge;
    return edges;
}

Part TitleBarDecoration::partAt(const QPointF &local) const
{
    if (QRectF(frame().marginsRemoved(margins())).contains(local))
        return Part::Content;
    if (isResizable() && edgesAt(local))
        return Part::Edge;
    if (buttonRect(0).contains(local.toPoint()))
        return Part::Close;
    if (isResizable() && buttonRect(1).contains(local.toPoint()))
        return Part::Maximize;
    return local.y() < frame().top() + titleHeight ? Part::TitleBar
                                                   : Part::Frame;
}

bool TitleBarDecoration::handleMouse(QWaylandInputDevice *input,
                                     const QPointF &local, const QPointF &,
                                     Qt::MouseButtons buttons,
                                     Qt::KeyboardModifiers)
{
    const Part part = partAt(local);
    showCursor(part, input, local);
    if (isLeftClicked(buttons)) {
        m_pressed = part;
        press(part, input, local, buttons);
    } else if (isLeftReleased(buttons)) {
        // A button acts when the press and the release both hit it.
        if (part == m_pressed)
            click(part);
        m_pressed = Part::Content;
    } else if (isRightClicked(buttons) && part == Part::TitleBar) {
        showWindowMenu(input);
    }
    setMouseButtons(buttons);
    return part != Part::Content;
}

bool TitleBarDecoration::handleTouch(QWaylandInputDevice *input,
                                     const QPointF &local, const QPointF &,
                                     Qt::TouchPointState state,
                                     Qt::KeyboardModifiers)
{
    const Part part = partAt(local);
    if (state != Qt::TouchPointPressed || part == Part::Content)
        return false;
    press(part, input, local, Qt::LeftButton);
    click(part);
    return true;
}

void TitleBarDecoration::press(Part part, QWaylandInputDevice *input,
                               const QPointF &local, Qt::MouseButtons buttons)
{
    if (part == Part::TitleBar)
        startMove(input, buttons);
    else if (part == Part::Edge)
        startResize(input, edgesAt(local), buttons);
}

void TitleBarDecoration::click(Part part)
{
    if (part == Part::Close)
        QWindowSystemInterface::handleCloseEvent(window());
    else if (part == Part::Maximize)
        window()->setWindowStates(window()->windowStates() ^
                                  Qt::WindowMaximized);
}

void TitleBarDecoration::showCursor(Part part, QWaylandInputDevice *input,
                                    const QPointF &local)
{
    if (part == Part::Edge)
        waylandWindow()->setMouseCursor(input,
                                        QCursor(resizeCursor(edgesAt(local))));
    else
        waylandWindow()->restoreMouseCursor(input);
}

void TitleBarDecoration::paint(QPaintDevice *device)
{
    const QPalette palette = QGuiApplication::palette();
    const QColor text = palette.color(
        waylandWindow()->isActive() ? QPalette::Active : QPalette::Disabled,
        QPalette::WindowText);
    QPainter painter(device);
    painter.setClipRegion(QRegion(frame()) -
                          QRegion(frame().marginsRemoved(margins())));
    painter.fillRect(frame(), palette.color(QPalette::Window));
    painter.setPen(palette.color(QPalette::Mid));
    painter.drawRect(frame().adjusted(0, 0, -1, -1));
    painter.setClipping(false);

    const QIcon icon = waylandWindow()->windowIcon();
    icon.paint(&painter, frame().left() + border + gap,
               frame().top() + (titleHeight - iconSize) / 2, iconSize,
               iconSize);
    paintTitle(painter, text);
    painter.setRenderHint(QPainter::Antialiasing);
    paintButtons(painter, text);
}

void TitleBarDecoration::paintTitle(QPainter &painter, const QColor &color)
{
    const QRect area(frame().left() + sideWidth, frame().top(),
                     frame().width() - 2 * sideWidth, titleHeight);
    const QString title = painter.fontMetrics().elidedText(
        window()->title(), Qt::ElideRight, area.width());
    painter.setPen(color);
    painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine, title);
}

void TitleBarDecoration::paintButtons(QPainter &painter, const QColor &color)
{
    painter.setPen(QPen(color, 2));
    const QRectF cross = QRectF(buttonRect(0)).adjusted(5, 5, -5, -5);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.bottomLeft(), cross.topRight());
    if (isResizable()) {
        painter.setPen(QPen(color, 1.5));
        painter.drawRect(QRectF(buttonRect(1)).adjusted(4, 4, -4, -4));
    }
}
} // namespace

/// Hands Qt the title bar above, under the key "quilmo".
class TitleBarDecorationPlugin : public QWaylandDecorationPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QWaylandDecorationFactoryInterface_iid FILE
                      "titlebar.json")
public:
    QWaylandAbstractDecoration *create(const QString &,
                                       const QStringList &) override
    {
        return new TitleBarDecoration;
    }
};

#include "TitleBarDecoration.moc"
