#pragma once

#include <QImage>
#include <QWidget>

// The client area: the grey texture from the top-left corner and the two etched lines.
class FormBackground : public QWidget
{
public:
    FormBackground(float twipsPerPixelX, float twipsPerPixelY, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_texture;
    float m_tppX;
    float m_tppY;
};
