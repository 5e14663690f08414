#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSizeF>

class PictureBox;
class QPushButton;
class QLabel;
class QScrollBar;

// What the preview shows: the shot, the area of it to print, and the printer with the printable
// area of its landscape sheet in 1/96 inch.
struct PrintPreviewSource
{
    QImage shot;
    QRect area;
    QString printerName;
    QSizeF printable;
};

// Shows the sheet with the printed area exactly where and as large as it will land, at a zoom
// the user picks from 25 % (less where even that does not fit the sheet) to 200 %. "Print Now"
// gives the zoom as a factor; Cancel and the close box give 0.
class PrintPreviewForm : public QDialog
{
    Q_OBJECT

public:
    PrintPreviewForm(QWidget *owner, PrintPreviewSource source, float twipsPerPixelX,
                     float twipsPerPixelY);
    ~PrintPreviewForm() override;

    // Shows the window modally at 100 % and returns the zoom when it has closed.
    float GetZoom();
    // Another printer or paper, chosen while the window is open: shown at once.
    void showPrinter(const QString &name, QSizeF printable);

signals:
    void printerSetupRequested();

private:
    void connectButtons(QPushButton *printButton, QPushButton *cancelButton,
                        QPushButton *printerSetupButton);
    void Form_Load();
    void ZoomFactorBar_Change();
    void DrawPreview(float z);
    void PrintButton_Click();
    void CancelButton_Click();
    void PrinterSetupButton_Click();

    PrintPreviewSource m_source;
    float m_printZoom = 0;
    PictureBox *m_previewPicture1;
    QScrollBar *m_zoomFactorBar;
    QLabel *m_printerNameLabel;
};
