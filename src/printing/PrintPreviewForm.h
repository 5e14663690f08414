#pragma once

#include <QDialog>

#include <functional>

class PictureBox;
class PictureSurface;
class QLabel;
class QPushButton;
class QScrollBar;
struct CropState;

// What the preview reads from the main window, and where it leaves the chosen zoom.
struct PrintPreviewSource
{
    const PictureSurface &Picture1;
    const CropState &fractions;
    float &PrintZoom;
    QString printerName;
    std::function<void()> PrinterSetupMenuItem_Click;
};

// Shows how the printed area will sit on the page at a zoom the user picks between 25 and 200 %.
// "Print Now" leaves the zoom as a factor in PrintZoom; Cancel and the close box leave 0.
class PrintPreviewForm : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewForm(QWidget *owner, PrintPreviewSource source, float twipsPerPixelX,
                     float twipsPerPixelY);
    ~PrintPreviewForm() override;

    // Builds the window afresh, shows it modally and returns when it has closed.
    static void GetZoom(QWidget *owner, PrintPreviewSource source, float twipsPerPixelX,
                        float twipsPerPixelY);

    QScrollBar *ZoomFactorBar() const { return m_zoomFactorBar; }
    PictureBox *PreviewPicture1() const { return m_previewPicture1; }
    QLabel *PrinterNameLabel() const { return m_printerNameLabel; }

private:
    void Form_Load();
    void ZoomFactorBar_Change();
    void DrawPreview(float z);
    void PrintButton_Click();
    void CancelButton_Click();
    void PrinterSetupButton_Click();

    PrintPreviewSource m_source;
    PictureBox *m_previewPicture1;
    QScrollBar *m_zoomFactorBar;
    QLabel *m_printerNameLabel;
};
