#pragma once

#include "AutoDumpStates.h"
#include "FormControls.h"
#include "WindowCentring.h"
#include "capture/CropSelection.h"
#include "capture/ShotStore.h"
#include "imaging/ImageOutput.h"
#include "platform/PictureSurface.h"
#include "platform/Services.h"
#include "printing/BackgroundPrint.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>

class IConfirmations;
class IntelJPGlibrary;
namespace ijl {
class IJpegLibrary;
}

// The main window: the preview, the five thumbnails, the buttons, the menus, and the state
// every command works on. The commands are reached through its controls and menu items.
class GlimmerboxForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit GlimmerboxForm(const Services &services, QWidget *parent = nullptr);
    ~GlimmerboxForm() override;

    // The start-up sequence, then the window comes up (shown, or minimised in Auto-Dump mode).
    void startUp();
    // The one seam for tests: pop-ups that do not wait two seconds.
    void setConfirmations(std::unique_ptr<IConfirmations> confirmations);

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
    bool GrabButton_Click();
    void PrintButton_Click();
    void AutoDumpButton_Click();
    void SaveToFileMenuItem_Click();
    void SaveToClipboardMenuItem_Click();
    void PrinterSetupMenuItem_Click();
    void TipsMenuItem_Click();
    void VisitMoonferryMenuItem_Click();
    void AboutMenuItem_Click();
    bool PrintCurrentShot(bool SkipPreview); // true when a job started
    void printJobEnded(bool printed);
    void AutoDumpPrint();
    void autoDumpCycleEnded();
    void leaveAutoDump();
    void autoDump(AutoDumpStates::Event event);
    void connectControls();
    void warn(const QString &text, const QString &title);
    ImageOutput::Shot markedShot() const;
    QSize designSize() const;

    Services m_services;
    float m_tppX;
    float m_tppY;
    // The full-size current shot, and the buffer every grab copies the screen into.
    PictureSurface Picture1;
    FormControls m_controls;
    QString m_tag;
    float PrintZoom = 0;
    QString LastSaveFolder;
    bool m_inAutoDumpPrint = false; // from the start of a cycle until its job has ended
    bool m_confirmingPrint = false;
    std::optional<bool> m_printOutcome; // a job that ended while its pop-up was up
    std::unique_ptr<AutoDumpStates> m_autoDump;
    QTimer Timer1;
    WindowCentring m_centring;
    BackgroundPrint m_printing;
    std::unique_ptr<ShotStore> m_shots;
    std::unique_ptr<CropSelection> m_crop;
    std::unique_ptr<IConfirmations> m_confirmations;
    std::unique_ptr<ijl::IJpegLibrary> m_jpegLibrary;
    std::unique_ptr<IntelJPGlibrary> m_jpeg;
    std::unique_ptr<ImageOutput> m_imageOutput;
};
