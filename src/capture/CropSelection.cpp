#include "CropSelection.h"

#include "ShotStore.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Crop {

QPointF clampToPreview(QPointF point, QSizeF preview)
{
    // Single precision, as the mouse reports it: a point clamped to the edge is the edge itself.
    const float x = std::clamp(float(point.x()), 0.0f, float(preview.width()));
    const float y = std::clamp(float(point.y()), 0.0f, float(preview.height()));
    return QPointF(x, y);
}

CropEdges ordered(CropEdges e)
{
    if (e.x2 < e.x1)
        std::swap(e.x1, e.x2);
    if (e.y2 < e.y1)
        std::swap(e.y1, e.y2);
    return e;
}

CropScale scale(QSizeF shotTwips, QSizeF previewTwips, float tx, float ty)
{
    return {float(shotTwips.width()) / float(previewTwips.width()) / tx,
            float(shotTwips.height()) / float(previewTwips.height()) / ty};
}

QSize labelSize(const CropEdges &e, CropScale s)
{
    // The product is a single-precision number before it is rounded down: 150 twips at 4/15
    // pixel per twip is exactly 40, not 39.
    auto pixels = [](float distance, float scale) {
        const float product = distance * scale;
        return int(std::floor(product));
    };
    return QSize(pixels(std::fabs(std::fabs(e.x2) - std::fabs(e.x1)), s.sx),
                 pixels(std::fabs(std::fabs(e.y2) - std::fabs(e.y1)), s.sy));
}

QRect shotArea(const CropEdges &e, QSize shot, CropScale s)
{
    if (e.isNone())
        return QRect(QPoint(0, 0), shot);
    const QSize size = labelSize(e, s).boundedTo(shot);
    auto start = [](float edge, float scale, int room) {
        const float product = edge * scale;
        return std::clamp(int(std::floor(product)), 0, room);
    };
    return QRect(start(std::min(e.x1, e.x2), s.sx, shot.width() - size.width()),
                 start(std::min(e.y1, e.y2), s.sy, shot.height() - size.height()), size.width(),
                 size.height());
}

std::optional<QRect> keyed(QRect area, QSize shot, int key, Qt::KeyboardModifiers modifiers)
{
    const QPoint direction = key == Qt::Key_Left    ? QPoint(-1, 0)
                             : key == Qt::Key_Right ? QPoint(1, 0)
                             : key == Qt::Key_Up    ? QPoint(0, -1)
                             : key == Qt::Key_Down  ? QPoint(0, 1)
                                                    : QPoint();
    if (direction.isNull())
        return std::nullopt;
    const int step = modifiers & Qt::ControlModifier ? 10 : 1;
    const int dx = direction.x() * step, dy = direction.y() * step;
    const bool sizing = modifiers & Qt::ShiftModifier;
    area.setSize(area.size().expandedTo(QSize(1, 1)).boundedTo(shot));
    area.moveTo(std::clamp(area.x() + (sizing ? 0 : dx), 0, shot.width() - area.width()),
                std::clamp(area.y() + (sizing ? 0 : dy), 0, shot.height() - area.height()));
    if (sizing) {
        area.setWidth(std::clamp(area.width() + dx, 1, shot.width() - area.x()));
        area.setHeight(std::clamp(area.height() + dy, 1, shot.height() - area.y()));
    }
    return area;
}

} // namespace Crop

CropSelection::CropSelection(Preview preview, QObject *parent)
    : QObject(parent)
    , m_previewArea(preview)
{}

void CropSelection::setShot(QSize pixels, bool filled)
{
    m_shot = pixels;
    m_shotFilled = filled;
    clear();
}

CropScale CropSelection::scale() const
{
    const float tx = m_previewArea.twipsPerPixelX, ty = m_previewArea.twipsPerPixelY;
    return Crop::scale(QSizeF(float(m_shot.width()) * tx, float(m_shot.height()) * ty),
                       m_previewArea.twips, tx, ty);
}
void CropSelection::press(int button, float x, float y)
{
    if (button == 1) {
        m_edges = {x, x, y, y};
        m_keyed.reset();
        m_dragging = true;
    }
    drawOutline();
}

void CropSelection::move(int buttons, float x, float y)
{
    const QPointF p = Crop::clampToPreview(QPointF(x, y), m_previewArea.twips);
    x = float(p.x());
    y = float(p.y());
    const CropEdges &s = m_edges;
    if (buttons == 0) {
        const bool inside = s.x1 <= x && x <= s.x2 && s.y1 <= y && y <= s.y2;
        const bool noEdgeAtZero = s.x1 != 0 && s.x2 != 0 && s.y1 != 0 && s.y2 != 0;
        emit toolTipChanged(inside && noEdgeAtZero
                                ? QStringLiteral("Right Click - to Clear Selection")
                                : QStringLiteral("Select Area to be Printed"));
    }
    if (buttons == 1) {
        m_edges.x2 = x;
        m_edges.y2 = y;
        const QSize size = Crop::labelSize(m_edges, scale());
        emit captionChanged(
            QStringLiteral("Selecting Window = W%1 x H%2").arg(size.width()).arg(size.height()));
        m_frameVisible = true;
        drawOutline();
    }
}

void CropSelection::release(int button)
{
    if (button == 1)
        m_dragging = false;
    m_edges = Crop::ordered(m_edges);
    const CropEdges &s = m_edges;
    if (button == 2 || (button == 1 && s.x1 == s.x2 && s.y1 == s.y2)) {
        clear();
        emit captionChanged(m_shotFilled ? entireShotText(m_shot)
                                         : QStringLiteral("Screen Shot - Empty"));
    } else if (button == 1) {
        showCropSet(Crop::labelSize(m_edges, scale()));
    }
}

void CropSelection::showCropSet(QSize size)
{
    emit captionChanged(
        QStringLiteral("Crop Window Set = W%1 x H%2").arg(size.width()).arg(size.height()));
}

void CropSelection::key(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Escape) {
        release(2);
        drawOutline();
        return;
    }
    // An empty slot's placeholder is no shot to mark; a drag under way marks its own area.
    if (!m_shotFilled || m_dragging)
        return;
    const std::optional<QRect> area = Crop::keyed(shotArea(), m_shot, key, modifiers);
    if (!area)
        return;
    m_keyed = *area;
    // The outline shows the area's pixels at the preview's scale.
    const CropScale s = scale();
    m_edges = {float(area->left()) / s.sx, float(area->right() + 1) / s.sx,
               float(area->top()) / s.sy, float(area->bottom() + 1) / s.sy};
    showCropSet(area->size());
    m_frameVisible = true;
    drawOutline();
}

void CropSelection::blink()
{
    m_frameVisible = !m_frameVisible;
    drawOutline();
}

void CropSelection::drawOutline()
{
    // Without a crop there is nothing to outline (not even a blinking dot in the corner).
    emit outlineChanged(QPointF(m_edges.x1, m_edges.y1), QPointF(m_edges.x2, m_edges.y2),
                        m_frameVisible && !m_edges.isNone());
}

QRect CropSelection::shotArea() const
{
    if (m_keyed)
        return *m_keyed;
    return Crop::shotArea(m_edges, m_shot, scale());
}

void CropSelection::clear()
{
    m_edges = {};
    m_keyed.reset();
    m_dragging = false;
}
