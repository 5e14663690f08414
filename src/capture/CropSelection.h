#pragma once

class PictureBox;
class PictureSurface;
class QLabel;
class QString;

// The crop rectangle in the preview's drawing units (twips), and the fractions of the preview's
// drawing size that printing, saving and copying apply to the full-size shot.
struct CropState
{
    // All four 0 means no crop: the entire shot.
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    float XRa = 0, XRw = 1, YRa = 0, YRw = 1;
    bool CropFrameVisible = false;
};

// Dragging a rectangle on the preview with the left button, clearing it with the right one,
// and the blinking inverted outline that shows it.
class CropSelection
{
public:
    static constexpr int OutlineWidth = 2; // pixels

    CropSelection(CropState &state, PictureBox &CurrentImage1, QLabel &CurrentImageLabel,
                  const PictureSurface &Picture1);

    void CurrentImage1_MouseDown(int Button, int Shift, float X, float Y);
    void CurrentImage1_MouseMove(int Button, int Shift, float X, float Y);
    void CurrentImage1_MouseUp(int Button, int Shift, float X, float Y);
    void Timer1_Timer();
    void DrawCropFrame();
    void ComputeCropFractions();
    void clear();

    // Pixels of the shot that a distance on the preview stands for.
    float sx() const;
    float sy() const;

private:
    static int pixels(float distance, float scale);
    QString entireShotText() const;

    CropState &m_state;
    PictureBox &m_preview;
    QLabel &m_label;
    const PictureSurface &m_picture1;
};
