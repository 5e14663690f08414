#include "CropSelection.h"

#include "VbText.h"
#include "platform/PictureBox.h"

#include <QLabel>

#include <cmath>
#include <utility>

CropSelection::CropSelection(CropState &state, PictureBox &CurrentImage1, QLabel &CurrentImageLabel,
                             const PictureSurface &Picture1)
    : m_state(state)
    , m_preview(CurrentImage1)
    , m_label(CurrentImageLabel)
    , m_picture1(Picture1)
{
    m_preview.setLineWidth(OutlineWidth);
}

float CropSelection::sx() const
{
    return m_picture1.scaleWidth() / m_preview.surface().scaleWidth() / m_picture1.twipsPerPixelX();
}

float CropSelection::sy() const
{
    return m_picture1.scaleHeight() / m_preview.surface().scaleHeight() /
           m_picture1.twipsPerPixelY();
}

int CropSelection::pixels(float distance, float scale)
{
    // The product is a single-precision number before it is rounded down: 150 twips at 4/15
    // pixel per twip is exactly 40, not 39.
    const float product = distance * scale;
    return int(std::floor(product));
}

QString CropSelection::entireShotText() const
{
    return QStringLiteral("Entire Screen Shot Selected - W") +
           singleText(m_picture1.scaleWidth() / m_picture1.twipsPerPixelX()) +
           QStringLiteral(" x H") +
           singleText(m_picture1.scaleHeight() / m_picture1.twipsPerPixelY());
}

void CropSelection::CurrentImage1_MouseDown(int Button, int, float X, float Y)
{
    if (Button == 1) {
        m_state.x1 = m_state.x2 = X;
        m_state.y1 = m_state.y2 = Y;
    }
    DrawCropFrame();
}

void CropSelection::CurrentImage1_MouseMove(int Button, int, float X, float Y)
{
    const float width = m_preview.surface().scaleWidth();
    const float height = m_preview.surface().scaleHeight();
    if (X > width)
        X = width;
    if (X < 0)
        X = 0;
    if (Y > height)
        Y = height;
    if (Y < 0)
        Y = 0;

    CropState &s = m_state;
    if (Button == 0) {
        const bool inside = s.x1 <= X && X <= s.x2 && s.y1 <= Y && Y <= s.y2;
        const bool noEdgeAtZero = s.x1 != 0 && s.x2 != 0 && s.y1 != 0 && s.y2 != 0;
        m_preview.setToolTip(inside && noEdgeAtZero
                                 ? QStringLiteral("Right Click - to Clear Selection")
                                 : QStringLiteral("Select Area to be Printed"));
    }
    if (Button == 1) {
        s.x2 = X;
        s.y2 = Y;
        const int w = pixels(std::fabs(std::fabs(s.x2) - std::fabs(s.x1)), sx());
        const int h = pixels(std::fabs(std::fabs(s.y2) - std::fabs(s.y1)), sy());
        m_label.setText(QStringLiteral("Selecting Window = W%1 x H%2").arg(w).arg(h));
        s.CropFrameVisible = true;
        DrawCropFrame();
    }
}

void CropSelection::CurrentImage1_MouseUp(int Button, int, float, float)
{
    CropState &s = m_state;
    if (s.x2 < s.x1)
        std::swap(s.x1, s.x2);
    if (s.y2 < s.y1)
        std::swap(s.y1, s.y2);
    if (Button == 2 || (Button == 1 && s.x1 == s.x2 && s.y1 == s.y2)) {
        clear();
        m_label.setText(entireShotText());
    } else if (Button == 1) {
        const int w = pixels(std::fabs(s.x2) - std::fabs(s.x1), sx());
        const int h = pixels(std::fabs(s.y2) - std::fabs(s.y1), sy());
        m_label.setText(QStringLiteral("Crop Window Set = W%1 x H%2").arg(w).arg(h));
    }
}

void CropSelection::Timer1_Timer()
{
    m_state.CropFrameVisible = !m_state.CropFrameVisible;
    DrawCropFrame();
}

void CropSelection::DrawCropFrame()
{
    m_preview.refresh();
    const CropState &s = m_state;
    // Without a crop there is nothing to outline (not even a blinking dot in the corner).
    const bool noCrop = s.x1 == 0 && s.x2 == 0 && s.y1 == 0 && s.y2 == 0;
    if (s.CropFrameVisible && !noCrop)
        m_preview.drawInvertedBox(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
}

void CropSelection::ComputeCropFractions()
{
    CropState &s = m_state;
    if (s.x1 != 0 || s.x2 != 0 || s.y1 != 0 || s.y2 != 0) {
        const float W = m_preview.surface().scaleWidth();
        const float H = m_preview.surface().scaleHeight();
        s.XRa = s.x1 / W;
        s.YRa = s.y1 / H;
        s.XRw = (s.x2 - s.x1) / W;
        s.YRw = (s.y2 - s.y1) / H;
    } else {
        s.XRa = 0;
        s.YRa = 0;
        s.XRw = 1;
        s.YRw = 1;
    }
}

void CropSelection::clear()
{
    m_state.x1 = m_state.x2 = m_state.y1 = m_state.y2 = 0;
}
