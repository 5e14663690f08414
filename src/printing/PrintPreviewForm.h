#pragma once

#include <QDialog>

#include <functional>

#include "capture/CropSelection.h"

#include <QImage>

class PictureBox;
class QLabel;
class QScrollBar;

// What the preview shows: the shot, the area to print and the printer; and what its Printer
// Setup button does.
struct PrintPreviewSource
{
    QImage shot;
    CropFractions fractions;
    QString printerName;
    // Opens printer setup and gives the name of the printer chosen then.
    std::function<QString()> PrinterSetupMenuItem_Click;
};

// Shows how the printed area will sit on the page at a zoom the user picks between 25 and 200 %.
// "Print Now" gives the zoom as a factor; Cancel and the close box give 0.
class PrintPreviewForm : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewForm(QWidget *owner, PrintPreviewSource source, float twipsPerPixelX,
                     float twipsPerPixelY);
    ~PrintPreviewForm() override;

    // Builds the window afresh, shows it modally and returns the zoom when it has closed.
    static float GetZoom(QWidget *owner, PrintPreviewSource source, float twipsPerPixelX,
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
    float m_tppX;
    float m_tppY;
    float m_printZoom = 0;
    PictureBox *m_previewPicture1;
    QScrollBar *m_zoomFactorBar;
    QLabel *m_printerNameLabel;
};
