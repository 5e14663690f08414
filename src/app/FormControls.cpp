#include "FormControls.h"

#include "FormBackground.h"
#include "FormLayout.h"
#include "designcontrols/DesignFonts.h"
#include "designcontrols/PictureBox.h"
#include "designcontrols/Twips.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

QRect pixels(const FormLayout::Rect &r, float tx, float ty)
{
    return twipsToPixels(r.left, r.top, r.width, r.height, tx, ty);
}

void setTabOrder(const FormControls &c)
{
    const QList<QWidget *> order{c.GrabButton,        c.PrintButton,       c.AutoDumpButton,
                                 c.CurrentImage1,     c.GrabbedPicture[1], c.GrabbedPicture[2],
                                 c.GrabbedPicture[3], c.GrabbedPicture[4], c.GrabbedPicture[0]};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

void FormControls::buildThumbnails(float tx, float ty, const QPalette &palette)
{
    const QCursor thumbCursor(QPixmap(QStringLiteral(":/glimmerbox/thumbcursor.png")), 12, 1);
    for (int i = 0; i < ShotStore::SlotCount; ++i) {
        auto *thumb = new PictureBox(tx, ty, background);
        thumb->setObjectName(QStringLiteral("GrabbedPicture%1").arg(i));
        thumb->place(pixels(FormLayout::GrabbedPicture(i), tx, ty));
        thumb->setBorder(1);
        thumb->setLook(PictureBox::Look::Flat);
        thumb->surface().setBackColor(palette.color(QPalette::Base));
        thumb->setToolTip(QStringLiteral("Screen Shots - Click to Select"));
        thumb->setCursor(thumbCursor);
        thumb->setFocusPolicy(Qt::TabFocus);
        thumb->setAccessibleRole(QAccessible::Button);
        GrabbedPicture[i] = thumb;
    }
}

FormControls FormControls::build(QMainWindow &window, float tx, float ty)
{
    FormControls c;
    c.background = new FormBackground(tx, ty, &window);
    c.background->setFixedSize(twipsToPixels(FormLayout::ClientWidth, tx),
                               twipsToPixels(FormLayout::ClientHeight, ty));
    window.setCentralWidget(c.background);
    const QPalette palette = window.palette();

    c.CurrentImageLabel = new QLabel(c.background);
    c.CurrentImageLabel->setObjectName(QStringLiteral("CurrentImageLabel"));
    c.CurrentImageLabel->setGeometry(pixels(FormLayout::CurrentImageLabel, tx, ty));
    c.CurrentImageLabel->setTextInteractionFlags(Qt::NoTextInteraction);

    c.CurrentImage1 = new PictureBox(tx, ty, c.background);
    c.CurrentImage1->setObjectName(QStringLiteral("CurrentImage1"));
    c.CurrentImage1->place(pixels(FormLayout::CurrentImage1, tx, ty));
    c.CurrentImage1->setBorder(2);
    c.CurrentImage1->setLineWidth(2); // the crop's outline
    c.CurrentImage1->setLook(PictureBox::Look::Sunken);
    c.CurrentImage1->surface().setBackColor(palette.color(QPalette::Window));
    c.CurrentImage1->setCursor(Qt::CrossCursor);
    c.CurrentImage1->setToolTip(QStringLiteral("Select Area to be Printed"));
    c.CurrentImage1->setFocusPolicy(Qt::TabFocus);
    c.CurrentImage1->setAccessibleName(QStringLiteral("Preview"));
    // The label above the preview says what it shows: a reader hears it as its description.
    c.CurrentImageLabel->setBuddy(c.CurrentImage1);

    c.buildThumbnails(tx, ty, palette);

    auto button = [&](const char *name, const QString &caption, const QString &tip,
                      const FormLayout::Rect &where) {
        auto *b = new QPushButton(caption, c.background);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(pixels(where, tx, ty));
        b->setToolTip(tip);
        // Enter presses the focused button, as Space does, the way Windows buttons behave.
        b->setAutoDefault(true);
        fitTextToWidth(b);
        return b;
    };
    c.GrabButton = button("GrabButton", QStringLiteral("Grab Screen"),
                          QStringLiteral("Grab a new Screen Shot"), FormLayout::GrabButton);
    c.PrintButton = button("PrintButton", QStringLiteral("Print Now"),
                           QStringLiteral("Print Current Screen Shot"), FormLayout::PrintButton);
    c.AutoDumpButton = button("AutoDumpButton", QStringLiteral("Auto Dump"),
                              QStringLiteral("Run in Auto-Dump Mode"), FormLayout::AutoDumpButton);
    setTabOrder(c);
    return c;
}

void FormControls::paintThumbnail(int slot, const QImage &picture) const
{
    PictureBox &thumb = *GrabbedPicture[size_t(slot)];
    const PictureSurface &s = thumb.surface();
    const double width = s.width() - 2 * s.twipsPerPixelX();
    const double height = s.height() - 2 * s.twipsPerPixelY();
    thumb.paintPicture(picture, QRectF(0, 0, width, height));
}

void FormControls::paintPreview(const QImage &picture) const
{
    const PictureSurface &s = CurrentImage1->surface();
    CurrentImage1->paintPicture(picture, QRectF(0, 0, s.scaleWidth(), s.scaleHeight()));
}

void FormControls::pressThumbnail(int slot) const
{
    for (int i = 0; i < ShotStore::SlotCount; ++i) {
        PictureBox *thumb = GrabbedPicture[size_t(i)];
        const auto look = i == slot ? PictureBox::Look::Sunken : PictureBox::Look::Flat;
        if (i == slot || thumb->look() != look) {
            thumb->setLook(look);
            thumb->repaint();
        }
    }
}

void FormControls::nameThumbnails(const ShotStore &shots) const
{
    for (int i = 0; i < ShotStore::SlotCount; ++i)
        GrabbedPicture[size_t(i)]->setAccessibleName(shots.thumbnailName(i));
}

void FormControls::buildMenus(QMainWindow &window)
{
    // The menu bar belongs to the window on every desktop, so the layout below it is the same.
    // Each title and item has an access key (Alt+F opens File, then S Save, F to File).
    QMenuBar *bar = window.menuBar();
    bar->setNativeMenuBar(false);
    auto menu = [bar](QMenu *parent, const char *name, const QString &caption) {
        QMenu *m = parent ? parent->addMenu(caption) : bar->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [](QMenu *parent, const char *name, const QString &caption,
                   const QKeySequence &shortcut = {}) {
        QAction *action = parent->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    };
    auto separator = [](QMenu *parent, const char *name) {
        parent->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu *file = menu(nullptr, "FileMenu", QStringLiteral("&File"));
    QMenu *save = menu(file, "SaveMenu", QStringLiteral("&Save"));
    item(save, "SaveToFileMenuItem", QStringLiteral("to &File"),
         QKeySequence(Qt::CTRL | Qt::Key_S));
    item(save, "SaveToClipboardMenuItem", QStringLiteral("to &Clipboard"),
         QKeySequence(Qt::CTRL | Qt::Key_C));
    item(file, "PrinterSetupMenuItem", QStringLiteral("&Printer Setup"));
    separator(file, "FileMenuLineBreak1");
    item(file, "ExitMenuItem", QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu *main = menu(nullptr, "GlimmerboxMenu", QStringLiteral("&Glimmerbox"));
    item(main, "GrabScreenMenuItem", QStringLiteral("&Grab Screen"),
         QKeySequence(Qt::CTRL | Qt::Key_G));
    item(main, "PrintScreenMenuItem", QStringLiteral("&Print Now"),
         QKeySequence(Qt::CTRL | Qt::Key_P));
    separator(main, "GlimmerboxLineBreak1");
    item(main, "AutoDumpMenuItem", QStringLiteral("&Auto Dump"),
         QKeySequence(Qt::CTRL | Qt::Key_A));

    QMenu *help = menu(nullptr, "HelpMenu", QStringLiteral("&Help"));
    item(help, "TipsMenuItem", QStringLiteral("&Tips"), QKeySequence(Qt::Key_F1));
    item(help, "VisitMoonferryMenuItem", QStringLiteral("&Visit Moonferry"),
         QKeySequence(Qt::CTRL | Qt::Key_F1));
    item(help, "AboutMenuItem", QStringLiteral("&About"));
}
