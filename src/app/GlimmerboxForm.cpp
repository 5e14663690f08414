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
#include "platform/EventPump.h"
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

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>

#include <cmath>

namespace {

QRect toPixels(const FormLayout::Rect &r, float tx, float ty)
{
    return QRect(int(std::lround(r.left / tx)), int(std::lround(r.top / ty)),
                 int(std::lround(r.width / tx)), int(std::lround(r.height / ty)));
}

const QString AutoDumpTag = QStringLiteral("AutoDump");

} // namespace

GlimmerboxForm::GlimmerboxForm(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , Picture1(services.metrics->twipsPerPixelX(), services.metrics->twipsPerPixelY())
    , Picture2(services.metrics->twipsPerPixelX(), services.metrics->twipsPerPixelY())
    , m_services(services)
    , m_tppX(services.metrics->twipsPerPixelX())
    , m_tppY(services.metrics->twipsPerPixelY())
{
    setObjectName(QStringLiteral("GlimmerboxForm"));
    setWindowTitle(QStringLiteral(" Glimmerbox"));
    setWindowIcon(QIcon(QStringLiteral(":/glimmerbox/glimmerbox.png")));
    setFont(designFont());
    buildControls();
    buildMenus();

    Picture1.setAutoSize(true);
    Picture1.setPicture(QImage(QStringLiteral(":/glimmerbox/placeholder.jpg")));
    Picture2.setAutoSize(true);
    Picture2.setOuterPixelSize(QSize(33, 33));

    m_timer1.setInterval(FormLayout::Timer1Interval);
    connect(&m_timer1, &QTimer::timeout, this, &GlimmerboxForm::Timer1_Timer);

    m_shots = std::make_unique<ShotStore>(
        ShotStore::Views{Picture1, *m_currentImage1, *m_currentImageLabel, m_grabbedPicture},
        ShotStore::Hooks{
            // A minimised window is not on the screen: hiding it too would only race the window
            // manager, which may still be minimising it.
            [this] {
                if (!(windowState() & Qt::WindowMinimized))
                    hide();
            },
            [this] {
                if (!isVisible())
                    show();
            },
            [this](QString &error) { return CopyDesktop(Picture1, &error); },
            [this] { resetCrop(); },
            [this](const QString &error) {
                m_services.messages->show(
                    QStringLiteral("The screen could not be copied: %1.\r\nNo shot was taken.")
                        .arg(error),
                    IMessageBox::Exclamation, QStringLiteral("Grab Screen"));
            },
        },
        *m_services.events);
    m_crop =
        std::make_unique<CropSelection>(*this, *m_currentImage1, *m_currentImageLabel, Picture1);
    connect(m_currentImage1, &PictureBox::mouseDown, this,
            &GlimmerboxForm::CurrentImage1_MouseDown);
    connect(m_currentImage1, &PictureBox::mouseMove, this,
            &GlimmerboxForm::CurrentImage1_MouseMove);
    connect(m_currentImage1, &PictureBox::mouseUp, this, &GlimmerboxForm::CurrentImage1_MouseUp);
    // Maximised from the task bar while minimised (X11 keeps such a window minimised): the user
    // asked for the normal window, exactly as with a maximised one.
    connect(new WindowStateWatch(*this), &WindowStateWatch::maximisedWhileMinimised, this,
            &GlimmerboxForm::leaveAutoDump);
    m_confirmations =
        std::make_unique<ConfirmPopups>(*this, *m_services.events, *m_services.metrics);
    m_printJob = std::make_unique<PrintJob>(PrintJob::Context{
        *this,
        *this,
        Picture1,
        Picture2,
        PrintZoom,
        *m_services.printer,
        [this] { ComputeCropFractions(); },
        [this] { return currentShot(); },
        [this] {
            PrintPreviewForm::GetZoom(this,
                                      {Picture1, *this, PrintZoom, m_services.printer->deviceName(),
                                       [this] {
                                           PrinterSetupMenuItem_Click();
                                       }},
                                      m_tppX, m_tppY);
        },
        [this] { m_confirmations->ConfirmPrint(); },
        [this] {
            const QString printer = m_services.printer->deviceName();
            m_services.messages->show(
                printer.isEmpty()
                    ? QStringLiteral("Nothing was printed: no printer is installed.")
                    : QStringLiteral("Nothing was printed: the printer \"%1\" did not take the "
                                     "page.")
                          .arg(printer),
                IMessageBox::Exclamation, QStringLiteral("Print Now"));
        },
        [this] {
            m_services.messages->show(QStringLiteral("The selected area has no width or no "
                                                     "height: there is nothing to print."),
                                      IMessageBox::Exclamation, QStringLiteral("Print Now"));
        },
    });
    setJpegLibrary(std::make_unique<ijl::TurboJpegLibrary>());
}

QImage GlimmerboxForm::currentShot() const
{
    const int index = m_shots->CurrentShotIndex;
    return index >= 0 && index < ShotStore::SlotCount ? m_shots->GrabbedImage[index] : QImage();
}

void GlimmerboxForm::setJpegLibrary(std::unique_ptr<ijl::IJpegLibrary> library)
{
    m_jpegLibrary = std::move(library);
    m_jpeg = std::make_unique<IntelJPGlibrary>(*m_jpegLibrary, *m_services.files,
                                               m_services.program->exeName());
    m_imageOutput = std::make_unique<ImageOutput>(ImageOutput::Context{
        Picture1,
        Picture2,
        *this,
        LastSaveFolder,
        [this] { ComputeCropFractions(); },
        [this] { return currentShot(); },
        [this]() -> IConfirmations & { return *m_confirmations; },
        *m_services.dialogs,
        *m_services.messages,
        *m_services.files,
        *m_services.clipboard,
        *m_jpeg,
    });
}

void GlimmerboxForm::ComposeCropPicture()
{
    m_imageOutput->ComposeCropPicture();
}

GlimmerboxForm::~GlimmerboxForm() = default;

void GlimmerboxForm::setConfirmations(std::unique_ptr<IConfirmations> confirmations)
{
    m_confirmations = std::move(confirmations);
}

void GlimmerboxForm::buildControls()
{
    const float tx = m_tppX;
    const float ty = m_tppY;
    m_background = new FormBackground(tx, ty, this);
    m_background->setFixedSize(int(std::lround(FormLayout::ClientWidth / tx)),
                               int(std::lround(FormLayout::ClientHeight / ty)));
    setCentralWidget(m_background);

    m_currentImageLabel = new QLabel(m_background);
    m_currentImageLabel->setObjectName(QStringLiteral("CurrentImageLabel"));
    m_currentImageLabel->setGeometry(toPixels(FormLayout::CurrentImageLabel, tx, ty));
    m_currentImageLabel->setTextInteractionFlags(Qt::NoTextInteraction);

    m_currentImage1 = new PictureBox(tx, ty, m_background);
    m_currentImage1->setObjectName(QStringLiteral("CurrentImage1"));
    m_currentImage1->place(toPixels(FormLayout::CurrentImage1, tx, ty));
    m_currentImage1->setBorder(2);
    m_currentImage1->setLook(PictureBox::Look::Sunken);
    m_currentImage1->surface().setBackColor(palette().color(QPalette::Window));
    m_currentImage1->setCursor(Qt::CrossCursor);
    m_currentImage1->setToolTip(QStringLiteral("Select Area to be Printed"));
    m_currentImage1->setFocusPolicy(Qt::TabFocus);

    const QCursor thumbCursor(QPixmap(QStringLiteral(":/glimmerbox/thumbcursor.png")), 12, 1);
    for (int i = 0; i < ShotStore::SlotCount; ++i) {
        auto *thumb = new PictureBox(tx, ty, m_background);
        thumb->setObjectName(QStringLiteral("GrabbedPicture%1").arg(i));
        thumb->place(toPixels(FormLayout::GrabbedPicture(i), tx, ty));
        thumb->setBorder(1);
        thumb->setLook(PictureBox::Look::Flat);
        thumb->surface().setBackColor(palette().color(QPalette::Base));
        thumb->setToolTip(QStringLiteral("Screen Shots - Click to Select"));
        thumb->setCursor(thumbCursor);
        thumb->setFocusPolicy(Qt::TabFocus);
        connect(thumb, &PictureBox::mouseDown, this,
                [this, i](int button, int shift, float x, float y) {
                    m_shots->GrabbedPicture_MouseDown(i, button, shift, x, y);
                });
        m_grabbedPicture[i] = thumb;
    }

    auto button = [&](const char *name, const QString &caption, const QString &tip,
                      const FormLayout::Rect &where) {
        auto *b = new QPushButton(caption, m_background);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(toPixels(where, tx, ty));
        b->setToolTip(tip);
        b->setAutoDefault(false);
        fitTextToWidth(b);
        return b;
    };
    m_grabButton = button("GrabButton", QStringLiteral("Grab Screen"),
                          QStringLiteral("Grab a new Screen Shot"), FormLayout::GrabButton);
    m_printButton = button("PrintButton", QStringLiteral("Print Now"),
                           QStringLiteral("Print Current Screen Shot"), FormLayout::PrintButton);
    m_autoDumpButton = button("AutoDumpButton", QStringLiteral("Auto Dump"),
                              QStringLiteral("Run in Auto-Dump Mode"), FormLayout::AutoDumpButton);
    connect(m_grabButton, &QPushButton::clicked, this, &GlimmerboxForm::GrabButton_Click);
    connect(m_printButton, &QPushButton::clicked, this, &GlimmerboxForm::PrintButton_Click);
    connect(m_autoDumpButton, &QPushButton::clicked, this, &GlimmerboxForm::AutoDumpButton_Click);

    setTabOrder(m_grabButton, m_printButton);
    setTabOrder(m_printButton, m_autoDumpButton);
    setTabOrder(m_autoDumpButton, m_currentImage1);
    setTabOrder(m_currentImage1, m_grabbedPicture[1]);
    setTabOrder(m_grabbedPicture[1], m_grabbedPicture[2]);
    setTabOrder(m_grabbedPicture[2], m_grabbedPicture[3]);
    setTabOrder(m_grabbedPicture[3], m_grabbedPicture[4]);
    setTabOrder(m_grabbedPicture[4], m_grabbedPicture[0]);
}

void GlimmerboxForm::buildMenus()
{
    // The menu bar belongs to the window on every desktop, so the layout below it is the same.
    menuBar()->setNativeMenuBar(false);
    auto menu = [this](QMenu *parent, const char *name, const QString &caption) {
        QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [this](QMenu *parent, const char *name, const QString &caption,
                       const QKeySequence &shortcut, void (GlimmerboxForm::*handler)()) {
        QAction *action = parent->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    auto separator = [](QMenu *parent, const char *name) {
        parent->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu *file = menu(nullptr, "FileMenu", QStringLiteral("File"));
    QMenu *save = menu(file, "SaveMenu", QStringLiteral("Save"));
    item(save, "SaveToFileMenuItem", QStringLiteral("to File"), QKeySequence(Qt::CTRL | Qt::Key_S),
         &GlimmerboxForm::SaveToFileMenuItem_Click);
    item(save, "SaveToClipboardMenuItem", QStringLiteral("to Clipboard"),
         QKeySequence(Qt::CTRL | Qt::Key_C), &GlimmerboxForm::SaveToClipboardMenuItem_Click);
    item(file, "PrinterSetupMenuItem", QStringLiteral("Printer Setup"), {},
         &GlimmerboxForm::PrinterSetupMenuItem_Click);
    separator(file, "FileMenuLineBreak1");
    item(file, "ExitMenuItem", QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_X),
         &GlimmerboxForm::ExitMenuItem_Click);

    QMenu *main = menu(nullptr, "GlimmerboxMenu", QStringLiteral("Glimmerbox"));
    item(main, "GrabScreenMenuItem", QStringLiteral("Grab Screen"),
         QKeySequence(Qt::CTRL | Qt::Key_G), &GlimmerboxForm::GrabScreenMenuItem_Click);
    item(main, "PrintScreenMenuItem", QStringLiteral("Print Now"),
         QKeySequence(Qt::CTRL | Qt::Key_P), &GlimmerboxForm::PrintScreenMenuItem_Click);
    separator(main, "GlimmerboxLineBreak1");
    item(main, "AutoDumpMenuItem", QStringLiteral("Auto Dump"), QKeySequence(Qt::CTRL | Qt::Key_A),
         &GlimmerboxForm::AutoDumpMenuItem_Click);

    QMenu *help = menu(nullptr, "HelpMenu", QStringLiteral("Help"));
    item(help, "TipsMenuItem", QStringLiteral("Tips"), QKeySequence(Qt::Key_F1),
         &GlimmerboxForm::TipsMenuItem_Click);
    item(help, "VisitMoonferryMenuItem", QStringLiteral("Visit Moonferry"),
         QKeySequence(Qt::CTRL | Qt::Key_F1), &GlimmerboxForm::VisitMoonferryMenuItem_Click);
    item(help, "AboutMenuItem", QStringLiteral("About"), {}, &GlimmerboxForm::AboutMenuItem_Click);
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
    CropFrameVisible = false;
    m_currentImageLabel->setText(QStringLiteral("Current Screen Shot"));
    m_tag.clear();
    LastSaveFolder = m_services.program->folder();
    setWindowTitle(titleWithVersion(m_services.program->title(), m_services.program->version()));
    m_shots->fillPlaceholders();

    // Settle the window's size and place before anything creates it: a window created minimised
    // whose geometry changes when it is shown would be mapped as a normal window.
    if (layout())
        layout()->activate();
    resize(designSize());
    centreOnScreen();

    if (m_services.program->arguments().toUpper() == QLatin1String("/A"))
        AutoDumpButton_Click();
    else
        GrabButton_Click();
    m_timer1.start();
}

void GlimmerboxForm::resetCrop()
{
    m_crop->clear();
}

bool GlimmerboxForm::CopyDesktop(PictureSurface &objTo, QString *error)
{
    return ::CopyDesktop(objTo, *m_services.screen, *m_services.metrics, error);
}

void GlimmerboxForm::GrabButton_Click()
{
    m_shots->GrabButton_Click();
}

void GlimmerboxForm::PrintButton_Click()
{
    // Before the first grab (a start in Auto-Dump mode) there is no shot at all: as empty.
    if (!m_shots->isFilled(m_shots->CurrentShotIndex)) {
        m_services.messages->show(
            QStringLiteral("Cannot be Printed.\r\nThe selected Screen Shot is Empty."),
            IMessageBox::Exclamation, QStringLiteral("Print Now"));
        return;
    }
    PrintCurrentShot(false);
}

void GlimmerboxForm::PrintCurrentShot(bool SkipPreview)
{
    m_printJob->PrintCurrentShot(SkipPreview);
}

void GlimmerboxForm::AutoDumpButton_Click()
{
    if (m_services.program->arguments().toUpper() != QLatin1String("/A")) {
        m_services.messages->show(
            QStringLiteral(
                "Simply click the button displayed on the Task Bar to print\r\n"
                "the entire screen.\r\n"
                "\r\n"
                "To switch back to the normal program, click on the task bar button\r\n"
                "with the Right-Mouse-Button and select MAXIMISE from the pop-up menu.\r\n"),
            IMessageBox::OkOnly, QStringLiteral("You have selected Auto-Dump mode."));
    }
    m_tag = AutoDumpTag;
    setWindowState(Qt::WindowMinimized);
}

void GlimmerboxForm::SaveToFileMenuItem_Click()
{
    m_imageOutput->SaveToFileMenuItem_Click();
}

void GlimmerboxForm::SaveToClipboardMenuItem_Click()
{
    m_imageOutput->SaveToClipboardMenuItem_Click();
}

void GlimmerboxForm::PrinterSetupMenuItem_Click()
{
    m_services.printer->showSetupDialog();
}

void GlimmerboxForm::ExitMenuItem_Click()
{
    close();
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

void GlimmerboxForm::Timer1_Timer()
{
    m_crop->Timer1_Timer();
}

void GlimmerboxForm::CurrentImage1_MouseDown(int Button, int Shift, float X, float Y)
{
    m_crop->CurrentImage1_MouseDown(Button, Shift, X, Y);
}

void GlimmerboxForm::CurrentImage1_MouseMove(int Button, int Shift, float X, float Y)
{
    m_crop->CurrentImage1_MouseMove(Button, Shift, X, Y);
}

void GlimmerboxForm::CurrentImage1_MouseUp(int Button, int Shift, float X, float Y)
{
    m_crop->CurrentImage1_MouseUp(Button, Shift, X, Y);
}

void GlimmerboxForm::ComputeCropFractions()
{
    m_crop->ComputeCropFractions();
}

void GlimmerboxForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void GlimmerboxForm::Form_Resize()
{
    const Qt::WindowStates state = windowState();
    // Maximise chosen for a window on the task bar leaves it minimised and maximised at once on
    // X11 (Windows restores it maximised); either way the user asked for the normal window.
    const bool maximised = state & Qt::WindowMaximized;
    if (m_tag == AutoDumpTag && !maximised) {
        if (state & Qt::WindowMinimized) {
            // During a cycle the caption says it is printing until the cycle ends.
            if (!m_inAutoDumpPrint)
                setWindowTitle(QStringLiteral("Click to Print Screen"));
            return;
        }
        if (!(state & Qt::WindowFullScreen)) {
            // Restored: back to the task bar at once, then one capture-and-print cycle. The
            // cycle starts once the state changes already queued have been handled, and a
            // restore reported while one is due or running only goes back to the task bar:
            // window systems echo state changes, and an echo must not print a second page.
            setWindowState(Qt::WindowMinimized);
            if (!m_inAutoDumpPrint && !m_autoDumpPrintDue) {
                m_autoDumpPrintDue = true;
                QTimer::singleShot(0, this, [this] {
                    m_autoDumpPrintDue = false;
                    if (m_tag == AutoDumpTag)
                        AutoDumpPrint();
                });
            }
            return;
        }
    }
    if (maximised)
        leaveAutoDump();
}

void GlimmerboxForm::leaveAutoDump()
{
    m_tag.clear();
    setWindowState(Qt::WindowNoState);
    setWindowTitle(m_services.program->title());
    if (!m_centred)
        startCentring();
}

void GlimmerboxForm::AutoDumpPrint()
{
    m_inAutoDumpPrint = true;
    setWindowTitle(QStringLiteral("Printing Screen Now"));
    // Printing the previous shot when the screen could not be read would print something the
    // user is not looking at.
    if (m_shots->GrabButton_Click())
        PrintCurrentShot(true);
    setWindowTitle(QStringLiteral("Click to Print Screen"));
    m_inAutoDumpPrint = false;
}

QSize GlimmerboxForm::designSize() const
{
    return QSize(m_background->width(), m_background->height() + menuBar()->sizeHint().height());
}

void GlimmerboxForm::centreOnScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Before the window manager has framed the window only the client size is known; once it is
    // framed, the frame is what has to sit in the middle.
    const QRect frame = frameGeometry();
    const QSize size = isVisible() ? frame.size() : designSize();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - size.width()) / 2,
         area.y() + (area.height() - size.height()) / 2);
}

bool GlimmerboxForm::isCentred(const QRect &frame) const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return true;
    const QRect area = screen->availableGeometry();
    return std::abs(frame.x() - (area.x() + (area.width() - frame.width()) / 2)) <= 1 &&
           std::abs(frame.y() - (area.y() + (area.height() - frame.height()) / 2)) <= 1;
}

void GlimmerboxForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_centred && !(windowState() & Qt::WindowMinimized))
        startCentring();
}

void GlimmerboxForm::startCentring()
{
    m_centred = true;
    // The window manager adds its frame a moment after the window is mapped, and may still be
    // placing the window then: keep looking until the framed window sits in the middle (for up
    // to two seconds). Without a window manager there is no frame to wait for.
    auto *poll = new QTimer(this);
    poll->setInterval(20);
    connect(poll, &QTimer::timeout, this, [this, poll, tries = 0]() mutable {
        // Until the window is reparented the frame Qt reports can be nonsense (smaller than
        // the window itself): only a frame that holds the window counts.
        const QRect frame = frameGeometry();
        const bool framed = frame.size() != size() && frame.contains(geometry());
        if (framed && isCentred(frame)) {
            poll->stop();
            poll->deleteLater();
            return;
        }
        if (framed) {
            centreOnScreen();
        } else if (tries == 10 || tries == 50) {
            // Qt may have read the frame before the window manager had put it up, and reads it
            // again only when the window is configured: a one-pixel move makes that happen.
            move(pos() + QPoint(0, 1));
        }
        if (++tries >= 100) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start();
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
    m_timer1.stop();
    event->accept();
    emit closed();
}
