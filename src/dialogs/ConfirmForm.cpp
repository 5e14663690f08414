#include "ConfirmForm.h"

#include "designcontrols/Accessibility.h"
#include "designcontrols/DesignFonts.h"
#include "designcontrols/Twips.h"
#include "platform/EventPump.h"
#include "platform/ScreenMetrics.h"

#include <QLabel>
#include <QMouseEvent>

#include <cmath>

namespace {

QFont lettering()
{
    return designFont(QStringLiteral("Arial"), 18, true);
}

} // namespace

ConfirmForm::ConfirmForm(QWidget *owner, float tx, float ty)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ConfirmForm"));
    setWindowTitle(QStringLiteral("Glimmerbox"));
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(twipsToPixels(3735, tx), twipsToPixels(690, ty));
    const QColor buttonFace = palette().color(QPalette::Button);
    QPalette back = palette();
    back.setColor(QPalette::Window, buttonFace);
    setPalette(back);
    setAutoFillBackground(true);

    // The rear label is drawn first, the front one over it, 35 twips left and 30 twips higher.
    m_label1 = new DecorativeLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipsToPixels(0, 120, 3735, 615, tx, ty));
    m_label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label1->setAutoFillBackground(true);
    // A click on the rear label's strip is the label's own, not the window's.
    m_label1->installEventFilter(this);

    m_label2 = new QLabel(this);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twipsToPixels(-35, 90, 3735, 615, tx, ty));
    m_label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_label2->installEventFilter(this);
    setMessage(QStringLiteral("Copied to Clipboard"), palette().color(QPalette::HighlightedText),
               palette().color(QPalette::ButtonText));

    m_timer1.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the pop-up promises two full seconds.
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &ConfirmForm::Timer1_Timer);
    Form_Load();
}

void ConfirmForm::Form_Load()
{
    m_timer1.setInterval(Lifetime);
    m_timer1.start();
}

void ConfirmForm::Timer1_Timer()
{
    close();
}

void ConfirmForm::setMessage(const QString &text, const QColor &front, const QColor &rear)
{
    m_label1->setText(text);
    m_label2->setText(m_label1->text());
    // The lettering and its shadow shrink together where a wider font stands in for Arial.
    m_label1->setFont(lettering());
    fitTextToWidth(m_label1);
    m_label2->setFont(m_label1->font());
    QPalette frontPalette = m_label2->palette();
    frontPalette.setColor(QPalette::WindowText, front);
    m_label2->setPalette(frontPalette);
    QPalette rearPalette = m_label1->palette();
    rearPalette.setColor(QPalette::WindowText, rear);
    rearPalette.setColor(QPalette::Window, palette().color(QPalette::Window));
    m_label1->setPalette(rearPalette);
}

void ConfirmForm::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        close();
}

bool ConfirmForm::eventFilter(QObject *watched, QEvent *event)
{
    const bool mouse = event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease ||
                       event->type() == QEvent::MouseButtonDblClick;
    if (!mouse)
        return QDialog::eventFilter(watched, event);
    if (watched == m_label2 && event->type() == QEvent::MouseButtonRelease) {
        auto *release = static_cast<QMouseEvent *>(event);
        if (release->button() == Qt::LeftButton &&
            m_label2->rect().contains(release->position().toPoint()))
            close();
    }
    return true;
}

namespace {

void confirm(QWidget &owner, IEventPump &events, const IScreenMetrics &metrics, const QString &text,
             const QColor &front)
{
    ConfirmForm form(&owner, metrics.twipsPerPixelX(), metrics.twipsPerPixelY());
    form.setMessage(text, front, Qt::black);
    form.exec();
    // Let the area the pop-up covered repaint before the caller's work begins.
    events.doEvents();
}

} // namespace

void ConfirmPopups::confirmCopy()
{
    confirm(m_owner, m_events, m_metrics, QStringLiteral("Copied to Clipboard"),
            QColor(0xff, 0xff, 0xff));
}

void ConfirmPopups::confirmSave()
{
    confirm(m_owner, m_events, m_metrics, QStringLiteral("Saved to File"),
            QColor(0xff, 0xff, 0x00));
}

void ConfirmPopups::confirmPrint()
{
    confirm(m_owner, m_events, m_metrics, QStringLiteral("Printing Now"), QColor(0xa0, 0xa0, 0xff));
}
