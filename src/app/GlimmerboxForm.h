#pragma once

#include "capture/CropSelection.h"
#include "capture/ShotStore.h"
#include "platform/PictureSurface.h"
#include "platform/Services.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <memory>

class FormBackground;
class IConfirmations;
class ImageOutput;
class IntelJPGlibrary;
class PrintJob;
namespace ijl {
class IJpegLibrary;
}
class PictureBox;
class QAction;
class QLabel;
class QMenu;
class QPushButton;

// The main window: the preview, the five thumbnails, the buttons, the menus, and the state
// every command works on. The work itself lives in components that the window owns.
class GlimmerboxForm : public QMainWindow, public CropState
{
    Q_OBJECT

public:
    explicit GlimmerboxForm(const Services &services, QWidget *parent = nullptr);
    ~GlimmerboxForm() override;

    // The start-up sequence, then the window comes up (shown, or minimised in Auto-Dump mode).
    void startUp();

    // Commands (the command table).
    void GrabButton_Click();
    void PrintButton_Click();
    void AutoDumpButton_Click();
    void GrabScreenMenuItem_Click() { GrabButton_Click(); }
    void PrintScreenMenuItem_Click() { PrintButton_Click(); }
    void AutoDumpMenuItem_Click() { AutoDumpButton_Click(); }
    void SaveToFileMenuItem_Click();
    void SaveToClipboardMenuItem_Click();
    void PrinterSetupMenuItem_Click();
    void ExitMenuItem_Click();
    void TipsMenuItem_Click();
    void VisitMoonferryMenuItem_Click();
    void AboutMenuItem_Click();
    void Timer1_Timer();
    void CurrentImage1_MouseDown(int Button, int Shift, float X, float Y);
    void CurrentImage1_MouseMove(int Button, int Shift, float X, float Y);
    void CurrentImage1_MouseUp(int Button, int Shift, float X, float Y);
    void ComputeCropFractions();

    bool CopyDesktop(PictureSurface &objTo, QString *error = nullptr);
    // The current slot's full-size picture; null before the first selection.
    QImage currentShot() const;
    void PrintCurrentShot(bool SkipPreview);

    // State that other windows and tests read.
    ShotStore &shots() { return *m_shots; }
    const ShotStore &shots() const { return *m_shots; }
    int CurrentShotIndex() const { return m_shots->CurrentShotIndex; }
    QString tag() const { return m_tag; }
    const Services &services() const { return m_services; }
    PictureBox &CurrentImage1() { return *m_currentImage1; }
    QLabel &CurrentImageLabel() { return *m_currentImageLabel; }
    PictureBox &GrabbedPicture(int index) { return *m_grabbedPicture[index]; }
    QTimer &Timer1() { return m_timer1; }

    // The crop rectangle and its fractions come with CropState.
    float PrintZoom = 0;
    QString LastSaveFolder;

    CropSelection &crop() { return *m_crop; }
    IConfirmations &confirmations() { return *m_confirmations; }
    // Tests put recording pop-ups and a scripted JPEG library in place of the real ones.
    void setConfirmations(std::unique_ptr<IConfirmations> confirmations);
    void setJpegLibrary(std::unique_ptr<ijl::IJpegLibrary> library);
    void ComposeCropPicture();

    // Hidden work surfaces: the full-size shot (also the capture buffer) and the composed page.
    PictureSurface Picture1;
    PictureSurface Picture2;

signals:
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void AutoDumpPrint();
    void leaveAutoDump();
    void startCentring();
    void buildControls();
    void buildMenus();
    void resetCrop();
    void centreOnScreen();
    bool isCentred(const QRect &frame) const;
    QSize designSize() const;

    Services m_services;
    float m_tppX;
    float m_tppY;
    QString m_tag;
    bool m_centred = false;
    bool m_inAutoDumpPrint = false;
    bool m_autoDumpPrintDue = false;

    FormBackground *m_background = nullptr;
    QLabel *m_currentImageLabel = nullptr;
    PictureBox *m_currentImage1 = nullptr;
    std::array<PictureBox *, ShotStore::SlotCount> m_grabbedPicture{};
    QPushButton *m_grabButton = nullptr;
    QPushButton *m_printButton = nullptr;
    QPushButton *m_autoDumpButton = nullptr;
    QTimer m_timer1;
    std::unique_ptr<ShotStore> m_shots;
    std::unique_ptr<CropSelection> m_crop;
    std::unique_ptr<IConfirmations> m_confirmations;
    std::unique_ptr<PrintJob> m_printJob;
    std::unique_ptr<ijl::IJpegLibrary> m_jpegLibrary;
    std::unique_ptr<IntelJPGlibrary> m_jpeg;
    std::unique_ptr<ImageOutput> m_imageOutput;
};
