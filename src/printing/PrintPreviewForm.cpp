#include "PrintPreviewForm.h"

#include "SheetLayout.h"
#include "designcontrols/DesignFonts.h"
#include "designcontrols/PictureBox.h"
#include "designcontrols/ScrollBar.h"
#include "designcontrols/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace {

// Around the sheet, where there is no paper.
const QColor OffSheet(128, 128, 128);

QScrollBar *zoomBar(QWidget *form, const QRect &geometry, int lowest)
{
    auto *bar = new ScrollBar(Qt::Horizontal, form);
    bar->setObjectName(QStringLiteral("ZoomFactorBar"));
    bar->setAccessibleName(QStringLiteral("Zoom"));
    bar->setValueSuffix(QStringLiteral(" %"));
    bar->setGeometry(geometry);
    bar->setRange(lowest, 200);
    bar->setSingleStep(10);
    bar->setPageStep(25);
    bar->setValue(25);
    // Only a change of value redraws: while the thumb is dragged nothing happens.
    bar->setTracking(false);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

} // namespace

PrintPreviewForm::PrintPreviewForm(QWidget *owner, PrintPreviewSource source, float tx, float ty)
    : QDialog(owner, FixedDialogFlags)
    , m_source(std::move(source))
{
    const TwipsScale px{tx, ty};
    setObjectName(QStringLiteral("PrintPreviewForm"));
    setWindowTitle(QStringLiteral(" Print Preview"));
    setModal(true);
    setFixedSize(px(0, 0, 5880, 3585).size());
    setFont(designFont());

    m_previewPicture1 = new PictureBox(tx, ty, this);
    m_previewPicture1->setObjectName(QStringLiteral("PreviewPicture1"));
    m_previewPicture1->place(px(120, 240, 3855, 2775));
    m_previewPicture1->setBorder(2);
    m_previewPicture1->setLook(PictureBox::Look::Sunken);

    m_zoomFactorBar = zoomBar(this, px(120, 3045, 3855, 255),
                              lowestZoomPercent(m_source.printable, m_source.area.size()));

    auto *label1 = designControl<QLabel>(this, "Label1", px(1200, 3330, 1935, 255),
                                         QStringLiteral("Adjust Zoom to fit Page"));
    label1->setBuddy(m_zoomFactorBar);

    auto *printButton = designControl<QPushButton>(this, "PrintButton", px(4440, 1920, 975, 615),
                                                   QStringLiteral("Print Now"));
    printButton->setFont(designFont(QStringLiteral("MS Sans Serif"), 9.75, true));

    auto *label2 = designControl<QLabel>(this, "Label2", px(120, 20, 2415, 255),
                                         QStringLiteral("Page Layout - Landscape only"));

    auto *cancelButton = designControl<QPushButton>(this, "CancelButton", px(4080, 3000, 1695, 375),
                                                    QStringLiteral("Cancel"));

    auto *printerSetupButton = designControl<QPushButton>(
        this, "PrinterSetupButton", px(4080, 1200, 1695, 375), QStringLiteral("Printer Setup"));

    auto *frame1 = designControl<QGroupBox>(this, "Frame1", px(4080, 120, 1695, 975),
                                            QStringLiteral("Current Printer"));
    m_printerNameLabel = designControl<QLabel>(frame1, "PrinterNameLabel", px(120, 360, 1455, 495),
                                               QStringLiteral("Label3"));
    m_printerNameLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_printerNameLabel->setWordWrap(true);

    fitTextToWidth(label1);
    fitTextToWidth(label2);
    connectButtons(printButton, cancelButton, printerSetupButton);
    Form_Load();
}

void PrintPreviewForm::connectButtons(QPushButton *printButton, QPushButton *cancelButton,
                                      QPushButton *printerSetupButton)
{
    for (QPushButton *button : {printButton, cancelButton, printerSetupButton}) {
        // Enter presses the focused button, not always the same one.
        button->setAutoDefault(true);
        fitTextToWidth(button);
    }
    setTabOrder(m_previewPicture1, m_zoomFactorBar);
    setTabOrder(m_zoomFactorBar, printButton);
    setTabOrder(printButton, cancelButton);
    setTabOrder(cancelButton, printerSetupButton);

    connect(m_zoomFactorBar, &QScrollBar::valueChanged, this,
            &PrintPreviewForm::ZoomFactorBar_Change);
    connect(printButton, &QPushButton::clicked, this, &PrintPreviewForm::PrintButton_Click);
    connect(cancelButton, &QPushButton::clicked, this, &PrintPreviewForm::CancelButton_Click);
    connect(printerSetupButton, &QPushButton::clicked, this,
            &PrintPreviewForm::PrinterSetupButton_Click);
}

PrintPreviewForm::~PrintPreviewForm() = default;

float PrintPreviewForm::GetZoom()
{
    // 100 differs from the design value, so the change handler draws the preview at 1.0 before
    // the window is shown.
    m_zoomFactorBar->setValue(100);
    exec();
    return m_printZoom;
}

void PrintPreviewForm::showPrinter(const QString &name, QSizeF printable)
{
    m_source.printable = printable;
    m_printerNameLabel->setText(name);
    m_zoomFactorBar->setMinimum(lowestZoomPercent(printable, m_source.area.size()));
    ZoomFactorBar_Change();
}

void PrintPreviewForm::Form_Load()
{
    m_printZoom = 0;
    m_printerNameLabel->setText(m_source.printerName);
}

void PrintPreviewForm::ZoomFactorBar_Change()
{
    const float z = float(m_zoomFactorBar->value() / 100.0);
    DrawPreview(z);
}

void PrintPreviewForm::DrawPreview(float z)
{
    PictureSurface &box = m_previewPicture1->surface();
    QImage view(box.drawingSize(), QImage::Format_RGB32);
    view.fill(OffSheet);
    const QSizeF printable = m_source.printable;
    const QRect sheet = sheetInBox(view.size(), printable);
    const SheetPlacement place = placeOnSheet(printable, m_source.area, z);
    QPainter painter(&view);
    painter.fillRect(sheet, Qt::white);
    if (!sheet.isEmpty() && !place.source.isEmpty()) {
        const double sx = sheet.width() / printable.width();
        const double sy = sheet.height() / printable.height();
        const QRect shown =
            QRectF(sheet.x() + place.target.x() * sx, sheet.y() + place.target.y() * sy,
                   place.target.width() * sx, place.target.height() * sy)
                .toRect();
        const QImage &shot = m_source.shot;
        const QImage part = place.source == shot.rect() ? shot : shot.copy(place.source);
        painter.setClipRect(sheet);
        // Averaged down, so a large screen in a small box still looks like itself.
        painter.drawImage(shown.topLeft(), part.scaled(shown.size(), Qt::IgnoreAspectRatio,
                                                       Qt::SmoothTransformation));
    }
    painter.end();
    box.bitBlt(view);
    const QString printer = m_printerNameLabel->text();
    m_previewPicture1->setAccessibleName(
        QStringLiteral("Printed sheet: %1 x %2 pixels at %3 %")
            .arg(place.source.width())
            .arg(place.source.height())
            .arg(qRound(z * 100)) +
        (printer.isEmpty() ? QString() : QStringLiteral(" on ") + printer));
    m_previewPicture1->refresh();
}

void PrintPreviewForm::PrintButton_Click()
{
    m_printZoom = float(m_zoomFactorBar->value() / 100.0);
    accept();
}

void PrintPreviewForm::CancelButton_Click()
{
    m_printZoom = 0;
    reject();
}

void PrintPreviewForm::PrinterSetupButton_Click()
{
    emit printerSetupRequested();
}
