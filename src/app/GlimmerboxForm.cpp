#include "GlimmerboxForm.h"

#include "AutoDump.h"
#include "FormBackground.h"
#include "FormLayout.h"
#include "PrintScreen.h"
#include "ShotViews.h"
#include "capture/CropSelection.h"
#include "capture/DesktopCapture.h"
#include "capture/ShotStore.h"
#include "designcontrols/Accessibility.h"
#include "designcontrols/DesignFonts.h"
#include "designcontrols/PictureBox.h"
#include "dialogs/AboutForm.h"
#include "dialogs/ConfirmForm.h"
#include "dialogs/HelpTexts.h"
#include "dialogs/SystemInfo.h"
#include "imaging/ImageOutput.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFacts.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "printing/PrintCommand.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

GlimmerboxForm::GlimmerboxForm(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_tppX(services.metrics->twipsPerPixelX())
    , m_tppY(services.metrics->twipsPerPixelY())
    , m_centring(*this, [this] { return designSize(); })
{
    setObjectName(QStringLiteral("GlimmerboxForm"));
    setWindowTitle(QStringLiteral(" Glimmerbox"));
    setWindowIcon(programIcon());
    setFont(designFont());
    m_controls = FormControls::build(*this, m_tppX, m_tppY);
    FormControls::buildMenus(*this);

    Timer1.setInterval(FormLayout::Timer1Interval);

    m_shots = new ShotStore(QImage(QStringLiteral(":/glimmerbox/placeholder.jpg"))
                                .convertToFormat(QImage::Format_RGB32),
                            this);
    const PictureSurface &preview = m_controls.CurrentImage1->surface();
    m_crop = new CropSelection(
        {QSizeF(preview.scaleWidth(), preview.scaleHeight()), m_tppX, m_tppY}, this);
    m_confirmations =
        std::make_unique<ConfirmPopups>(*this, *m_services.events, *m_services.metrics);
    m_imageOutput = std::make_unique<ImageOutput>(ImageOutput::Services{
        *m_services.dialogs, *m_services.messages, *m_services.files, *m_services.clipboard});
    m_print = std::make_unique<PrintCommand>(*this, *m_services.printer, *m_services.messages,
                                             m_tppX, m_tppY);
    m_queue = new PrintQueue(
        {[]() -> Result<> {
             if (QApplication::activeModalWidget())
                 return Failure{QStringLiteral("Glimmerbox is busy with a window of its own: "
                                               "close it, then try again")};
             return {};
         },
         [this](const PrintQueue::Request &r, auto done) { grabStep(r, done); },
         [this](const PrintQueue::Request &r, auto done) {
             printStep(r, done);
         }},
        this);
    m_autoDump = new AutoDump(*this, m_services.program->title(), [this](auto done) {
        PrintQueue::Request page;
        page.answer = [done](const Result<> &) {
            done();
        };
        m_queue->submit(std::move(page));
    });
    connectControls();
    showShots(*this, m_controls, *m_shots, *m_crop);
}

GlimmerboxForm::~GlimmerboxForm() = default;

void GlimmerboxForm::connectControls()
{
    CropSelection *crop = m_crop;
    connect(&Timer1, &QTimer::timeout, this, [crop] { crop->blink(); });
    connect(m_controls.CurrentImage1, &PictureBox::keyDown, this,
            &GlimmerboxForm::CurrentImage1_KeyDown);
    for (int i = 0; i < ShotStore::SlotCount; ++i) {
        PictureBox *thumb = m_controls.GrabbedPicture[size_t(i)];
        connect(thumb, &PictureBox::mouseDown, this,
                [this, i](int button, float, float) { GrabbedPicture_MouseDown(i, button); });
        // A press by key or screen reader picks the shot as a left click does.
        connect(thumb, &PictureBox::pressed, this, [this, i] { GrabbedPicture_MouseDown(i, 1); });
    }
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

    connect(m_autoDump, &AutoDump::left, this, [this] { m_centring.shown(); });
}

void GlimmerboxForm::takeDesktopRequests()
{
    new PrintScreenRequests(*this, *m_queue, *m_services.messages);
}

void GlimmerboxForm::setConfirmations(std::unique_ptr<IConfirmations> confirmations)
{
    m_confirmations = std::move(confirmations);
}

bool GlimmerboxForm::startedForAutoDump() const
{
    return m_services.program->arguments().toUpper() == QLatin1String("/A");
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
    m_crop->clear();
    Accessibility::setCaption(*m_controls.CurrentImageLabel, QStringLiteral("Current Screen Shot"));
    m_lastSaveFolder = m_services.program->folder();
    setWindowTitle(titleWithVersion(m_services.program->title(), m_services.program->version()));
    m_shots->reset();

    // Settle the window's size and place before anything creates it: a window created minimised
    // whose geometry changes when it is shown would be mapped as a normal window.
    if (layout())
        layout()->activate();
    resize(designSize());
    m_centring.centreOnScreen();

    if (startedForAutoDump())
        AutoDumpButton_Click();
    else
        GrabButton_Click();
    Timer1.start();
}

Result<> GlimmerboxForm::grab()
{
    const int slot = m_shots->nextSlot();
    // A minimised window is not on the screen: hiding it too would only race the window
    // manager, which may still be minimising it.
    if (!(windowState() & Qt::WindowMinimized))
        hide();
    pause(*m_services.events, 0.5f);
    // Storing the old buffer as a new shot would print something that was never on screen: on
    // failure nothing changes, not even which slot the next grab replaces.
    const ScreenGrab shot = copyDesktop(*m_services.screen);
    if (shot)
        m_shots->store(slot, *shot);
    if (!isVisible())
        show();
    if (!shot)
        return Failure{QStringLiteral("The screen could not be copied: %1.\r\nNo shot was taken.")
                           .arg(shot.reason())};
    return {};
}

void GlimmerboxForm::GrabButton_Click()
{
    m_queue->submit({PrintQueue::Kind::Grab});
}

void GlimmerboxForm::grabStep(const PrintQueue::Request &request, const PrintQueue::Done &done)
{
    const Result<> grabbed = grab();
    if (!grabbed && request.tellUser)
        m_services.messages->warn(QStringLiteral("Grab Screen"), grabbed.reason());
    done(grabbed);
}

void GlimmerboxForm::printStep(const PrintQueue::Request &request, const PrintQueue::Done &done)
{
    const bool printNow = request.kind == PrintQueue::Kind::PrintNow;
    // Before the first grab (a start in Auto-Dump mode) there is no shot at all: as empty.
    if (printNow && !m_shots->currentIsFilled()) {
        m_services.messages->warn(
            QStringLiteral("Print Now"),
            QStringLiteral("Cannot be Printed.\r\nThe selected Screen Shot is Empty."));
        done(Failure{QStringLiteral("the selected shot is empty")});
        return;
    }
    using Command = PrintCommand;
    // Printing the previous shot when the screen could not be read would print something the
    // user is not looking at: a failed grab never comes here.
    if (!m_print->print(
            m_shots->currentShot(), m_crop->shotArea(),
            printNow ? Command::Route::ThroughPreview : Command::Route::AtOnce,
            [this] { m_confirmations->confirmPrint(); },
            request.tellUser ? Command::Telling::User : Command::Telling::Caller, done))
        done(Failure{printNow ? QStringLiteral("nothing was printed")
                              : QStringLiteral("the new shot holds nothing to print")});
}

void GlimmerboxForm::GrabbedPicture_MouseDown(int index, int button)
{
    if (button != 1)
        return;
    m_shots->pick(index);
}

void GlimmerboxForm::CurrentImage1_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    m_crop->key(key, modifiers);
}

void GlimmerboxForm::PrintButton_Click()
{
    m_queue->submit({PrintQueue::Kind::PrintNow});
}

void GlimmerboxForm::AutoDumpButton_Click()
{
    if (!startedForAutoDump())
        m_services.messages->inform(QStringLiteral("You have selected Auto-Dump mode."),
                                    HelpTexts::autoDumpExplanation());
    m_autoDump->enter();
}

ImageOutput::Shot GlimmerboxForm::markedShot() const
{
    return {m_shots->currentShot(), m_shots->currentIsFilled(), m_crop->shotArea()};
}

void GlimmerboxForm::SaveToFileMenuItem_Click()
{
    const QString folder = m_imageOutput->saveToFile(markedShot(), m_lastSaveFolder,
                                                     [this] { m_confirmations->confirmSave(); });
    if (!folder.isEmpty())
        m_lastSaveFolder = folder;
}

void GlimmerboxForm::SaveToClipboardMenuItem_Click()
{
    m_imageOutput->copyToClipboard(markedShot(), [this] { m_confirmations->confirmCopy(); });
}

void GlimmerboxForm::PrinterSetupMenuItem_Click()
{
    m_print->setUp();
}

void GlimmerboxForm::TipsMenuItem_Click()
{
    m_services.messages->inform(QStringLiteral("Help - Tips"), HelpTexts::tips());
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
                    titleWithVersion(m_services.program->title(), m_services.program->version()),
                    m_tppX, m_tppY);
    connect(&about, &AboutForm::linkActivated, this, &GlimmerboxForm::VisitMoonferryMenuItem_Click);
    connect(&about, &AboutForm::systemInfoRequested, this, [&systemInfo] { systemInfo.start(); });
    about.exec();
}

QSize GlimmerboxForm::designSize() const
{
    return QSize(m_controls.background->width(),
                 m_controls.background->height() + menuBar()->sizeHint().height());
}

void GlimmerboxForm::changeEvent(QEvent *event)
{
    // A minimised window's accessible name is its icon text: in Auto-Dump, where the caption is
    // the instruction, a screen reader would read nothing.
    if (event->type() == QEvent::WindowTitleChange)
        setWindowIconText(windowTitle());
    QMainWindow::changeEvent(event);
}

void GlimmerboxForm::closeEvent(QCloseEvent *event)
{
    Timer1.stop();
    // A page the user asked for reaches the spooler before the program ends.
    m_print->waitUntilDone();
    event->accept();
    emit closed();
}
