#pragma once

#include "FormControls.h"
#include "PrintQueue.h"
#include "WindowCentring.h"
#include "imaging/ImageOutput.h"
#include "platform/Services.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class AutoDump;
class CropSelection;
class IConfirmations;
class PrintCommand;
class ShotStore;

// The main window: the preview, the five thumbnails, the buttons and the menus, each wired to
// the command it starts; the commands' results are shown here.
class GlimmerboxForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit GlimmerboxForm(const Services &services, QWidget *parent = nullptr);
    ~GlimmerboxForm() override;

    // The start-up sequence, then the window comes up (shown, or minimised in Auto-Dump mode).
    void startUp();
    // Ctrl+Print from any window, and glimmerbox --print-screen: the program's alone, and once
    // per user, so the program takes them and tests do not.
    void takeDesktopRequests();
    // The one seam for tests: pop-ups that do not wait two seconds.
    void setConfirmations(std::unique_ptr<IConfirmations> confirmations);

signals:
    void closed();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void GrabButton_Click();
    void PrintButton_Click();
    void AutoDumpButton_Click();
    void SaveToFileMenuItem_Click();
    void SaveToClipboardMenuItem_Click();
    void PrinterSetupMenuItem_Click();
    void TipsMenuItem_Click();
    void VisitMoonferryMenuItem_Click();
    void AboutMenuItem_Click();
    void GrabbedPicture_MouseDown(int index, int button);
    void CurrentImage1_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The screen copied into the next slot, the window out of the picture; empty, or why not.
    Result<> grab();
    // A job's steps for the print queue: the screen copied into the next slot; the current
    // shot's page (through the preview for Print Now). Each says why it failed, else nothing.
    void grabStep(const PrintQueue::Request &request, const PrintQueue::Done &done);
    void printStep(const PrintQueue::Request &request, const PrintQueue::Done &done);
    void connectControls();
    bool startedForAutoDump() const;
    ImageOutput::Shot markedShot() const;
    QSize designSize() const;

    Services m_services;
    float m_tppX;
    float m_tppY;
    FormControls m_controls;
    QString m_lastSaveFolder;
    QTimer Timer1;
    WindowCentring m_centring;
    ShotStore *m_shots;
    CropSelection *m_crop;
    std::unique_ptr<IConfirmations> m_confirmations;
    std::unique_ptr<ImageOutput> m_imageOutput;
    std::unique_ptr<PrintCommand> m_print;
    PrintQueue *m_queue;
    AutoDump *m_autoDump;
};
