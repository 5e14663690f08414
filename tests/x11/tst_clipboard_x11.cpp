// Copy to Clipboard on a real X server: another program pastes exactly the crop, and what the
// clipboard held before is gone.

#include "Fakes.h"
#include "TestPattern.h"
#include "X11Checks.h"
#include "XTools.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"

#include <QtTest>

namespace {

QStringList clipboardTargets()
{
    const XTools::Result r =
        XTools::runPumping(QStringLiteral("xclip"),
                           {QStringLiteral("-selection"), QStringLiteral("clipboard"),
                            QStringLiteral("-t"), QStringLiteral("TARGETS"), QStringLiteral("-o")});
    return QString::fromLatin1(QByteArray::fromBase64(r.out.toLatin1()))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_ClipboardX11 : public QObject
{
    Q_OBJECT

private slots:
    void anotherProgramPastesTheCrop();
};

void tst_ClipboardX11::anotherProgramPastesTheCrop()
{
    REQUIRE_X11();
    // Some text from another program first.
    XTools::runPumping(QStringLiteral("xclip"),
                       {QStringLiteral("-selection"), QStringLiteral("clipboard")},
                       "text from before");
    QVERIFY(XTools::waitFor(
        [] { return clipboardTargets().contains(QLatin1String("UTF8_STRING")); }, 5000));

    QtPlatform real({QStringLiteral("glimmerbox")});
    FakeServices fakes;
    const QImage shot = TestPattern::make(QSize(1024, 768), 13);
    fakes.screen.screen = shot;
    Services services = fakes.services();
    services.clipboard = real.services().clipboard;
    GlimmerboxForm form(services);
    form.setConfirmations(std::make_unique<FakeConfirmations>());
    form.startUp();
    const float W = form.CurrentImage1().surface().scaleWidth();
    const float H = form.CurrentImage1().surface().scaleHeight();
    form.x1 = W / 4;
    form.x2 = W / 2;
    form.y1 = H / 4;
    form.y2 = H;
    form.SaveToClipboardMenuItem_Click();
    QVERIFY(fakes.messages.shown.isEmpty());

    const QStringList targets = clipboardTargets();
    QVERIFY2(targets.contains(QLatin1String("image/png")),
             qPrintable(targets.join(QLatin1Char(' '))));
    for (const char *text : {"UTF8_STRING", "STRING", "TEXT", "text/plain"})
        QVERIFY2(!targets.contains(QLatin1String(text)), text);
    const XTools::Result pasted = XTools::runPumping(
        QStringLiteral("xclip"),
        {QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-t"),
         QStringLiteral("image/png"), QStringLiteral("-o")});
    QCOMPARE(pasted.exitCode, 0);
    const QImage image = QImage::fromData(QByteArray::fromBase64(pasted.out.toLatin1()), "png");
    QCOMPARE(image.size(), QSize(256, 576));
    QCOMPARE(TestPattern::differingPixels(image, shot.copy(256, 192, 256, 576)), 0);
}

QTEST_MAIN(tst_ClipboardX11)
#include "tst_clipboard_x11.moc"
