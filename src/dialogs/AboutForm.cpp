#include "AboutForm.h"

#include "HelpTexts.h"
#include "designcontrols/DesignFonts.h"
#include "designcontrols/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include <cmath>

AboutForm::AboutForm(QWidget *owner, const QString &title, float tx, float ty)
    : QDialog(owner, FixedDialogFlags)
    , m_tppX(tx)
    , m_tppY(ty)
{
    const TwipsScale px{tx, ty};
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral(" About Glimmerbox"));
    setWindowIcon(programIcon());
    setModal(true);
    setFixedSize(px(0, 0, 6090, 3345).size());
    setFont(designFont());
    QPalette black = palette();
    black.setColor(QPalette::WindowText, Qt::black);

    auto *imageIcon = designControl<QLabel>(this, "ImageIcon", px(120, 0, 480, 480));
    imageIcon->setPixmap(QPixmap(QStringLiteral(":/glimmerbox/glimmerbox.png")));
    imageIcon->setAccessibleName(QStringLiteral("Glimmerbox icon"));

    m_lblTitle = designControl<QLabel>(this, "lblTitle", px(720, 120, 3885, 480));
    m_lblTitle->setFont(designFont(QStringLiteral("MS Sans Serif"), 12, true));
    m_lblTitle->setPalette(black);

    m_lblDescription = designControl<QLabel>(this, "lblDescription", px(720, 600, 4725, 1650),
                                             HelpTexts::aboutDescription());
    m_lblDescription->setWordWrap(true);
    m_lblDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDescription->setPalette(black);

    m_lblDisclaimer = designControl<QLabel>(this, "lblDisclaimer", px(255, 2505, 4470, 825));
    m_lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblDisclaimer->setPalette(black);
    m_lblDisclaimer->setCursor(Qt::PointingHandCursor);
    m_lblDisclaimer->installEventFilter(this);

    m_cmdOK =
        designControl<QPushButton>(this, "cmdOK", px(4800, 2520, 1260, 345), QStringLiteral("OK"));
    m_cmdOK->setDefault(true);
    m_cmdSysInfo = designControl<QPushButton>(this, "cmdSysInfo", px(4800, 2955, 1245, 345),
                                              QStringLiteral("&System Info..."));
    // Focused, it takes Enter from OK: the box stays open while the tool starts.
    m_cmdSysInfo->setAutoDefault(true);
    fitTextToWidth(m_cmdSysInfo);
    setTabOrder(m_cmdOK, m_cmdSysInfo);
    m_cmdOK->setFocus();

    // OK is also the cancel button: Esc closes the box as QDialog's reject does.
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cmdSysInfo, &QPushButton::clicked, this, &AboutForm::systemInfoRequested);
    Form_Load(title);
}

void AboutForm::Form_Load(const QString &title)
{
    m_lblTitle->setText(title);
    QString disclaimer = HelpTexts::disclaimer();
    m_lblDisclaimer->setText(disclaimer.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    fitTextToWidth(m_lblDisclaimer);
}

bool AboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lblDisclaimer && event->type() == QEvent::MouseButtonRelease) {
        auto *release = static_cast<QMouseEvent *>(event);
        if (release->button() == Qt::LeftButton &&
            m_lblDisclaimer->rect().contains(release->position().toPoint()))
            emit linkActivated();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutForm::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    // The etched separator: a dark line over a light one, two pixels each.
    QPainter painter(this);
    auto line = [&](double y, const QColor &color) {
        const int top = twipsToPixels(y, m_tppY);
        painter.fillRect(QRect(0, top, twipsToPixels(6000, m_tppX), 2), color);
    };
    line(2379, palette().color(QPalette::WindowText));
    line(2400, QColor(0xc8, 0xc8, 0xc8));
}
