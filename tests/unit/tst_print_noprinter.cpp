// Printing on a machine with no printer at all (no spooler answers): the job shows its pop-up,
// prints nothing, puts the pointer back, and the program goes on working.

#include "Fakes.h"
#include "StartedForm.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/qt/QtServices.h"

#include <QDir>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

class tst_PrintNoPrinter : public QObject
{
    Q_OBJECT

private slots:
    void jobEndsCleanlyWithoutPrinter();
};

void tst_PrintNoPrinter::jobEndsCleanlyWithoutPrinter()
{
    // CTest points CUPS_SERVER at a socket nobody listens on.
    QVERIFY(qEnvironmentVariable("CUPS_SERVER").contains(QLatin1String("nobody")));
    QVERIFY(QPrinterInfo::defaultPrinter().isNull());
    QTemporaryDir work;
    QVERIFY(QDir::setCurrent(work.path()));

    QtPlatform real({QStringLiteral("glimmerbox")});
    FakeServices fakes;
    fakes.screen.screen = TestPattern::make(QSize(640, 480));
    Services services = fakes.services();
    services.printer = real.services().printer;
    FakeConfirmations *confirmations = nullptr;
    const std::unique_ptr<GlimmerboxForm> started = startedForm(services, confirmations);
    GlimmerboxForm &form = *started;

    QCOMPARE(services.printer->deviceName(), QString());
    form.PrintCurrentShot(true);
    QCOMPARE(confirmations->shown, QStringList{"Printing Now"});
    QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(services.printer->orientation(), int(IPrinter::Portrait));
    // The pop-up said it was printing: the user learns that nothing came out, and why.
    QCOMPARE(fakes.messages.shown.size(), 1);
    QCOMPARE(fakes.messages.shown[0].text,
             QStringLiteral("Nothing was printed: no printer is installed."));
    QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Print Now"));
    // Nothing was written anywhere in its place.
    QVERIFY(QDir(work.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    // And the program goes on.
    form.GrabButton_Click();
    QCOMPARE(form.CurrentShotIndex(), 1);
    form.PrintCurrentShot(true);
    QCOMPARE(confirmations->shown.size(), 2);
}

QTEST_MAIN(tst_PrintNoPrinter)
#include "tst_print_noprinter.moc"
