#pragma once

#include "PictureSurface.h"

#include <QAccessible>
#include <QImage>
#include <QWidget>

// A visible picture box: a persistent bitmap shown inside a border, mouse events reported in
// twips of its drawing area, and an outline that lasts until the next refresh. Buttons are
// reported as 1 left, 2 right, 4 middle. Keys go to whoever listens; a box in the button role is
// pressed by Space, Enter and a screen reader's Press action.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    enum class Look
    {
        None,
        Flat,
        Sunken
    };

    PictureBox(float twipsPerPixelX, float twipsPerPixelY, QWidget *parent = nullptr);

    PictureSurface &surface() { return m_surface; }
    const PictureSurface &surface() const { return m_surface; }

    // Position and outer size in pixels; the drawing area follows at once, also while hidden.
    void place(const QRect &geometry);

    // Border pixels on each side, fixed per box; the look only decides how they are drawn, so the
    // drawing area (and what is drawn in it) survives a change of look.
    void setBorder(int pixels);
    void setLook(Look look);
    Look look() const { return m_look; }

    // The picture smoothly stretched over the destination, in twips, into the bitmap.
    void paintPicture(const QImage &picture, const QRectF &destination);

    // Outline of a box in invert mode, not persistent. Drawn twice in the same place, it is gone.
    void drawInvertedBox(QPointF corner1, QPointF corner2);
    void setLineWidth(int pixels) { m_lineWidth = pixels; }

    // Repaints from the persistent bitmap, dropping everything else that was drawn.
    void refresh();

    // What a screen reader takes the box for: a graphic unless set.
    void setAccessibleRole(QAccessible::Role role) { m_role = role; }
    QAccessible::Role accessibleRole() const { return m_role; }
    // A press by key or screen reader.
    void click() { emit pressed(); }

    // What the box shows right now (bitmap plus non-persistent drawing), in drawing-area pixels.
    QImage shown() const;

signals:
    void mouseDown(int button, float x, float y);
    void mouseMove(int buttons, float x, float y);
    void mouseUp(int button, float x, float y);
    void keyDown(int key, Qt::KeyboardModifiers modifiers);
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QPointF toTwips(QPointF widgetPosition) const;
    bool inDrawingArea(QPointF widgetPosition) const;
    void syncShown();

    PictureSurface m_surface;
    QImage m_shown;
    Look m_look = Look::None;
    int m_lineWidth = 1;
    bool m_pressOnBorder = false;
    QAccessible::Role m_role = QAccessible::Graphic;
};
