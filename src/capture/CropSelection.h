#pragma once

#include <QObject>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>

#include <optional>

// The crop rectangle in the preview's drawing units (twips); all four 0 means no crop: the
// entire shot.
struct CropEdges
{
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    bool isNone() const { return x1 == 0 && x2 == 0 && y1 == 0 && y2 == 0; }
};

// Shot pixels per twip of the preview, across and down.
struct CropScale
{
    float sx = 1, sy = 1;
};

// The arithmetic of a selection, apart from any window: two coordinate systems meet here, the
// preview's twips (where the mouse is) and the shot's pixels (what the label promises).
namespace Crop {
QPointF clampToPreview(QPointF point, QSizeF preview);
// Edges with x1 <= x2 and y1 <= y2.
CropEdges ordered(CropEdges edges);
CropScale scale(QSizeF shotTwips, QSizeF previewTwips, float twipsPerPixelX, float twipsPerPixelY);
// The width and height in shot pixels that the status label shows for the edges.
QSize labelSize(const CropEdges &edges, CropScale scale);
// The whole pixels of the shot that the edges mark: the label's width and height, from the shot
// pixel under the selection's top-left corner, kept inside the shot; the whole shot without a
// crop. Every output copies exactly these, so none shows a row or column the label left out.
QRect shotArea(const CropEdges &edges, QSize shot, CropScale scale);
// The area after a key on the preview, in shot pixels: the arrow keys move it, with Shift they
// size it (move its right or bottom edge), with Ctrl ten pixels at a time. It stays inside the
// shot and at least a pixel across. Nothing for other keys.
std::optional<QRect> keyed(QRect area, QSize shot, int key, Qt::KeyboardModifiers modifiers);
} // namespace Crop

// Dragging a rectangle on the preview with the left button, clearing it with the right one,
// and the blinking outline that shows it; what it marks is said by signal, in the shot's pixels.
class CropSelection : public QObject
{
    Q_OBJECT

public:
    // The preview's drawing area in twips, and the twips of one of its pixels.
    struct Preview
    {
        QSizeF twips;
        float twipsPerPixelX = 15, twipsPerPixelY = 15;
    };
    explicit CropSelection(Preview preview, QObject *parent = nullptr);

    // The shot now shown, in pixels, and whether it is one: an empty slot's placeholder has no
    // size to report. Clears the selection.
    void setShot(QSize pixels, bool filled);
    // The mouse on the preview, in its twips; buttons as the picture box reports them.
    void press(int button, float x, float y);
    void move(int buttons, float x, float y);
    void release(int button);
    // A key on the focused preview: the arrows mark an area from the whole shot (or from the one
    // the mouse marked), exact to the shot's pixel; Escape clears it, as a right click does.
    void key(int key, Qt::KeyboardModifiers modifiers);
    // The outline shows and hides in turn.
    void blink();
    // The marked part of the current shot (the whole of it without a crop).
    QRect shotArea() const;
    void clear();

signals:
    // The label over the preview, and the preview's tooltip.
    void captionChanged(const QString &text);
    void toolTipChanged(const QString &text);
    // The preview is to be shown afresh, with the outline between the corners (in twips) when
    // it is shown.
    void outlineChanged(QPointF corner1, QPointF corner2, bool shown);

private:
    CropScale scale() const;
    void drawOutline();
    void showCropSet(QSize size);

    Preview m_previewArea;
    QSize m_shot;
    CropEdges m_edges;
    // An area marked by keys, in shot pixels: the edges only approximate it in the preview.
    std::optional<QRect> m_keyed;
    bool m_frameVisible = false;
    bool m_shotFilled = false;
    bool m_dragging = false;
};
