#include "GlimmerboxForm.h"

#include "FormBackground.h"
#include "FormLayout.h"
#include "capture/DesktopCapture.h"
#include "dialogs/AboutForm.h"
#include "dialogs/Confirmations.h"
#include "dialogs/HelpTexts.h"
#include "dialogs/SystemInfo.h"
#include "imaging/ImageOutput.h"
#include "imaging/IntelJPGlibrary.h"
#include "platform/DesignFonts.h"
#include "platform/JpegLibrary.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/Printer.h"
#include "platform/ProgramFacts.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/WindowStateWatch.h"
#include "printing/PrintJob.h"
#include "printing/PrintPreviewForm.h"
#include "printing/SheetLayout.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPushButton>

namespace {

const QString AutoDumpTag = QStringLiteral("AutoDump");
// What Auto-Dump was told and did: QT_LOGGING_RULES="glimmerbox.autodump.debug=true".
Q_LOGGING_CATEGORY(lcAutoDump, "glimmerbox.autodump", QtWarningMsg)

} // namespace

GlimmerboxForm::GlimmerboxForm(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_tppX(services.metrics->twipsPerPixelX())
    , m_tppY(services.metrics->twipsPerPixelY())
    , Picture1(m_tppX, m_tppY)
    , m_centring(*this, [this] { return designSize(); })
{
    setObjectName(QStringLiteral("GlimmerboxForm"));
    setWindowTitle(QStringLiteral(" Glimmerbox"));
    setWindowIcon(programIcon());
    setFont(designFont());
    m_controls = FormControls::build(*this, m_tppX, m_tppY);
    FormControls::buildMenus(*this);

    Picture1.setAutoSize(true);
    Picture1.setPicture(QImage(QStringLiteral(":/glimmerbox/placeholder.jpg")));
    Timer1.setInterval(FormLayout::Timer1Interval);

    m_shots = std::make_unique<ShotStore>(ShotStore::Views{Picture1, *m_controls.CurrentImage1,
                                                           *m_controls.CurrentImageLabel,
                                                           m_controls.GrabbedPicture});
    m_crop = std::make_unique<CropSelection>(*m_controls.CurrentImage1,
                                             *m_controls.CurrentImageLabel, Picture1);
    m_confirmations =
        std::make_unique<ConfirmPopups>(*this, *m_services.events, *m_services.metrics);
    m_jpegLibrary = std::make_unique<ijl::TurboJpegLibrary>();
    m_jpeg = std::make_unique<IntelJPGlibrary>(*m_jpegLibrary, *m_services.files);
    m_imageOutput = std::make_unique<ImageOutput>(
        ImageOutput::Services{*m_services.dialogs, *m_services.messages, *m_services.files,
                              *m_services.clipboard, *m_jpeg});
    connect(&m_printing, &BackgroundPrint::finished, this, &GlimmerboxForm::printJobEnded);
    connectControls();
}

GlimmerboxForm::~GlimmerboxForm() = default;

void GlimmerboxForm::connectControls()
{
    connect(&Timer1, &QTimer::timeout, this, [this] { m_crop->Timer1_Timer(); });
    PictureBox *preview = m_controls.CurrentImage1;
    CropSelection *crop = m_crop.get();
    connect(preview, &PictureBox::mouseDown, this,
            [crop](int b, int s, float x, float y) { crop->CurrentImage1_MouseDown(b, s, x, y); });
    connect(preview, &PictureBox::mouseMove, this,
            [crop](int b, int s, float x, float y) { crop->CurrentImage1_MouseMove(b, s, x, y); });
    connect(preview, &PictureBox::mouseUp, this,
            [crop](int b, int s, float x, float y) { crop->CurrentImage1_MouseUp(b, s, x, y); });
    for (int i = 0; i < ShotStore::SlotCount; ++i)
        connect(m_controls.GrabbedPicture[i], &PictureBox::mouseDown, this,
                [this, i](int button, int shift, float x, float y) {
                    m_shots->GrabbedPicture_MouseDown(i, button, shift, x, y);
                    if (button == 1) {
                        m_crop->clear();
                        m_crop->setShotFilled(m_shots->isFilled(i));
                    }
                });
    connect(m_controls.GrabButton, &QPushButton::clicked, this, &GlimmerboxForm::GrabButton_Click);
    connect(m_controls.PrintButton, &QPushButton::clicked, this,
            &GlimmerboxForm::PrintButton_Click);
    connect(m_controls.AutoDumpButton, &QPushButton::clicked, this,
            &GlimmerboxForm::AutoDumpButton_Click);

    // A menu item that does what a button does calls the button's handler.
    auto on = [this](const char *item, auto handler) {
        connect(findChild<QAction *>(QLatin1String(item)), &QAction::triggered, this, handler);
    };
    on("SaveToFileMenuItem", &GlimmerboxForm::SaveToFileMenuItem_Click);
    on("SaveToClipboardMenuItem", &GlimmerboxForm::SaveToClipboardMenuItem_Click);
    on("PrinterSetupMenuItem", &GlimmerboxForm::PrinterSetupMenuItem_Click);
    on("ExitMenuItem", &GlimmerboxForm::close);
    on("GrabScreenMenuItem", &GlimmerboxForm::GrabButton_Click);
    on("PrintScreenMenuItem", &GlimmerboxForm::PrintButton_Click);
    on("AutoDumpMenuItem", &GlimmerboxForm::AutoDumpButton_Click);
    on("TipsMenuItem", &GlimmerboxForm::TipsMenuItem_Click);
    on("VisitMoonferryMenuItem", &GlimmerboxForm::VisitMoonferryMenuItem_Click);
    on("AboutMenuItem", &GlimmerboxForm::AboutMenuItem_Click);
    // Maximised from the task bar while minimised (X11 keeps such a window minimised): the user
    // asked for the normal window, exactly as with a maximised one.
    auto *watch = new WindowStateWatch(*this);
    m_autoDump = std::make_unique<AutoDumpStates>(watch->restoreSign());
    connect(watch, &WindowStateWatch::maximisedWhileMinimised, this,
            [this] { autoDump(AutoDumpStates::Event::Maximised); });
    connect(watch, &WindowStateWatch::iconicChanged, this, [this](bool iconic) {
        autoDump(iconic ? AutoDumpStates::Event::Iconic : AutoDumpStates::Event::Mapped);
    });
}

void GlimmerboxForm::setConfirmations(std::unique_ptr<IConfirmations> confirmations)
{
    m_confirmations = std::move(confirmations);
}

void GlimmerboxForm::warn(const QString &text, const QString &title)
{
    m_services.messages->show(text, IMessageBox::Exclamation, title);
}

void GlimmerboxForm::startUp()
{
    Form_Load();
    // A window minimised during loading still has to appear, as an icon on the task bar.
    if (!isVisible())
        show();
}

void GlimmerboxForm::Form_Load()
{
    m_shots->resetState();
    m_crop->clear();
    m_controls.CurrentImageLabel->setText(QStringLiteral("Current Screen Shot"));
    m_tag.clear();
    LastSaveFolder = m_services.program->folder();
    setWindowTitle(titleWithVersion(m_services.program->title(), m_services.program->version()));
    m_shots->fillPlaceholders();

    // Settle the window's size and place before anything creates it: a window created minimised
    // whose geometry changes when it is shown would be mapped as a normal window.
    if (layout())
        layout()->activate();
    resize(designSize());
    m_centring.centreOnScreen();

    if (m_services.program->arguments().toUpper() == QLatin1String("/A"))
        AutoDumpButton_Click();
    else
        GrabButton_Click();
    Timer1.start();
}

bool GlimmerboxForm::GrabButton_Click()
{
    const int slot = m_shots->nextSlot();
    // A minimised window is not on the screen: hiding it too would only race the window
    // manager, which may still be minimising it.
    if (!(windowState() & Qt::WindowMinimized))
        hide();
    Pause(*m_services.events, 0.5f);
    QString error;
    // Storing the old buffer as a new shot would print something that was never on screen: on
    // failure nothing changes, not even which slot the next grab replaces.
    const bool copied = CopyDesktop(Picture1, *m_services.screen, *m_services.metrics, &error);
    if (copied) {
        m_shots->storeShot(slot);
        m_crop->clear();
        m_crop->setShotFilled(true);
    }
    if (!isVisible())
        show();
    if (!copied)
        warn(QStringLiteral("The screen could not be copied: %1.\r\nNo shot was taken.").arg(error),
             QStringLiteral("Grab Screen"));
    return copied;
}

void GlimmerboxForm::PrintButton_Click()
{
    // Before the first grab (a start in Auto-Dump mode) there is no shot at all: as empty.
    if (!m_shots->isFilled(m_shots->CurrentShotIndex)) {
        warn(QStringLiteral("Cannot be Printed.\r\nThe selected Screen Shot is Empty."),
             QStringLiteral("Print Now"));
        return;
    }
    PrintCurrentShot(false);
}

bool GlimmerboxForm::PrintCurrentShot(bool SkipPreview)
{
    // One job at a time, and never a second one on a printer still in use.
    m_printing.waitUntilDone();
    const QRect area = m_crop->shotArea();
    if (area.isEmpty()) {
        warn(QStringLiteral("The selected area has no width or no height: there is nothing to "
                            "print."),
             QStringLiteral("Print Now"));
        return false;
    }
    const QImage shot = m_shots->currentShot();
    Picture1.setPicture(shot);
    IPrinter &printer = *m_services.printer;
    const QSizeF printable = printer.printableSize();
    // Without the preview the whole area goes on the sheet, at true size where it fits.
    double zoom = wholeAreaZoom(printable, area.size());
    if (!SkipPreview) {
        PrintPreviewForm preview(this, {shot, area, printer.deviceName(), printable}, m_tppX,
                                 m_tppY);
        connect(&preview, &PrintPreviewForm::printerSetupRequested, this, [&] {
            PrinterSetupMenuItem_Click();
            preview.showPrinter(printer.deviceName(), printer.printableSize());
        });
        PrintZoom = preview.GetZoom();
        if (PrintZoom == 0)
            return false;
        zoom = PrintZoom;
    }
    setCursor(Qt::WaitCursor);
    // The page is drawn while the pop-up counts down; its outcome is told once the pop-up has
    // gone, so a message never appears underneath it.
    m_printOutcome.reset();
    m_confirmingPrint = true;
    m_printing.start(printer.forJob(), [shot, area, zoom](IPrinter &job) {
        return PrintJob::printPage(job, shot, area, zoom);
    });
    m_confirmations->ConfirmPrint();
    m_confirmingPrint = false;
    if (m_printOutcome)
        printJobEnded(*m_printOutcome);
    return true;
}

void GlimmerboxForm::printJobEnded(bool printed)
{
    if (m_confirmingPrint) {
        m_printOutcome = printed;
        return;
    }
    m_printOutcome.reset();
    unsetCursor();
    // The pop-up has already said it was printing: a page that never came out is said too.
    if (!printed) {
        const QString printer = m_services.printer->deviceName();
        warn(printer.isEmpty()
                 ? QStringLiteral("Nothing was printed: no printer is installed.")
                 : QStringLiteral("Nothing was printed: the printer \"%1\" did not take the page.")
                       .arg(printer),
             QStringLiteral("Print Now"));
    }
    if (m_inAutoDumpPrint)
        autoDumpCycleEnded();
}

void GlimmerboxForm::AutoDumpButton_Click()
{
    if (m_services.program->arguments().toUpper() != QLatin1String("/A")) {
        m_services.messages->show(HelpTexts::autoDumpExplanation(), IMessageBox::OkOnly,
                                  QStringLiteral("You have selected Auto-Dump mode."));
    }
    m_tag = AutoDumpTag;
    autoDump(AutoDumpStates::Event::Enter);
}

ImageOutput::Shot GlimmerboxForm::markedShot() const
{
    return {m_shots->currentShot(), m_shots->isFilled(m_shots->CurrentShotIndex),
            m_crop->shotArea()};
}

void GlimmerboxForm::SaveToFileMenuItem_Click()
{
    const QString folder =
        m_imageOutput->SaveToFileMenuItem_Click(markedShot(), LastSaveFolder, *m_confirmations);
    if (!folder.isEmpty())
        LastSaveFolder = folder;
}

void GlimmerboxForm::SaveToClipboardMenuItem_Click()
{
    m_imageOutput->SaveToClipboardMenuItem_Click(markedShot(), *m_confirmations);
}

void GlimmerboxForm::PrinterSetupMenuItem_Click()
{
    // A running job keeps the settings it started with; the choice serves the next one.
    m_printing.waitUntilDone();
    m_services.printer->showSetupDialog();
}

void GlimmerboxForm::TipsMenuItem_Click()
{
    m_services.messages->show(HelpTexts::tips(), IMessageBox::OkOnly,
                              QStringLiteral("Help - Tips"));
}

void GlimmerboxForm::VisitMoonferryMenuItem_Click()
{
    // Whatever the shell makes of it, nothing is reported.
    m_services.shell->openUrl(HelpTexts::WebAddress, this);
}

void GlimmerboxForm::AboutMenuItem_Click()
{
    SystemInfo systemInfo(*m_services.registry, *m_services.processes, *m_services.files,
                          *m_services.messages);
    AboutForm about(this,
                    {titleWithVersion(m_services.program->title(), m_services.program->version()),
                     [this] { VisitMoonferryMenuItem_Click(); },
                     [&systemInfo] {
                         systemInfo.StartSysInfo();
                     }},
                    m_tppX, m_tppY);
    about.exec();
}

void GlimmerboxForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
    if (event->type() == QEvent::ActivationChange)
        autoDump(isActiveWindow() ? AutoDumpStates::Event::Active
                                  : AutoDumpStates::Event::Inactive);
}

void GlimmerboxForm::Form_Resize()
{
    using enum AutoDumpStates::Event;
    const Qt::WindowStates state = windowState();
    // Maximise chosen for a window on the task bar leaves it minimised and maximised at once on
    // X11 (Windows restores it maximised); either way the user asked for the normal window.
    autoDump(state & Qt::WindowMaximized    ? Maximised
             : state & Qt::WindowMinimized  ? Minimised
             : state & Qt::WindowFullScreen ? FullScreen
                                            : Normal);
}

void GlimmerboxForm::autoDump(AutoDumpStates::Event event)
{
    const unsigned actions = m_autoDump->feed(event);
    qCDebug(lcAutoDump, "%s -> %u", AutoDumpStates::name(event), actions);
    if (actions & AutoDumpStates::Minimise)
        setWindowState(Qt::WindowMinimized);
    if (actions & AutoDumpStates::ShowWaiting)
        setWindowTitle(QStringLiteral("Click to Print Screen"));
    // The cycle starts once the state changes already queued have been handled: a restore
    // reported meanwhile only goes back to the task bar.
    if (actions & AutoDumpStates::StartCycle)
        QTimer::singleShot(0, this, &GlimmerboxForm::AutoDumpPrint);
    if (actions & AutoDumpStates::Leave)
        leaveAutoDump();
}

void GlimmerboxForm::leaveAutoDump()
{
    m_tag.clear();
    setWindowState(Qt::WindowNoState);
    // Some window managers keep a window maximised from the task bar on it: take it off.
    activateWindow();
    setWindowTitle(m_services.program->title());
    if (!m_centring.started())
        m_centring.start();
}

void GlimmerboxForm::AutoDumpPrint()
{
    // A job still running belongs to an earlier command: it ends before this cycle begins.
    m_printing.waitUntilDone();
    // Maximised meanwhile: no page, and the normal window keeps its normal caption.
    if (m_tag == AutoDumpTag) {
        m_inAutoDumpPrint = true;
        setWindowTitle(QStringLiteral("Printing Screen Now"));
        // Printing the previous shot when the screen could not be read would print something
        // the user is not looking at. Once the job has started, the cycle ends with it.
        if (GrabButton_Click() && PrintCurrentShot(true))
            return;
    }
    autoDumpCycleEnded();
}

void GlimmerboxForm::autoDumpCycleEnded()
{
    m_inAutoDumpPrint = false;
    autoDump(AutoDumpStates::Event::CycleDone);
}

QSize GlimmerboxForm::designSize() const
{
    return QSize(m_controls.background->width(),
                 m_controls.background->height() + menuBar()->sizeHint().height());
}

void GlimmerboxForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_centring.started() && !(windowState() & Qt::WindowMinimized))
        m_centring.start();
}

void GlimmerboxForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The border is fixed: the window can be maximised (which Auto-Dump reads as a command),
    // but a normal window keeps its designed size.
    if (windowState() == Qt::WindowNoState && size() != designSize())
        QTimer::singleShot(0, this, [this] {
            if (windowState() == Qt::WindowNoState && size() != designSize())
                resize(designSize());
        });
}

void GlimmerboxForm::closeEvent(QCloseEvent *event)
{
    Timer1.stop();
    // A page the user asked for reaches the spooler before the program ends.
    m_printing.waitUntilDone();
    event->accept();
    emit closed();
}
