// Auto-Dump mode's transitions on scripted services: entering with and without the explanation,
// a restore printing one new shot at 100 %, and maximising leaving the mode.

#include "Fakes.h"
#include "StartedForm.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"

#include <QtTest>

class tst_AutoDump : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void enteringExplainsItselfOnce();
    void startedWithTheSwitchNeverExplains();
    void restorePrintsANewShotAndGoesBack();
    void failedGrabPrintsNothing();
    void maximisingLeavesTheMode();
    void minimisingByHandOutsideTheModeChangesNothing();

private:
    void start(const QString &args = {});
    void restore();
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
    FakeConfirmations *confirmations = nullptr;
};

void tst_AutoDump::init()
{
    fakes = std::make_unique<FakeServices>();
    fakes->screen.next = [](int n) {
        return TestPattern::make(QSize(800, 600), n);
    };
}

void tst_AutoDump::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_AutoDump::start(const QString &args)
{
    fakes->program.args = args;
    form = startedForm(fakes->services(), confirmations);
}

void tst_AutoDump::restore()
{
    form->setWindowState(Qt::WindowNoState);
    QCoreApplication::processEvents();
}

void tst_AutoDump::enteringExplainsItselfOnce()
{
    start();
    form->AutoDumpMenuItem_Click();
    QCOMPARE(fakes->messages.shown.size(), 1);
    const ShownMessage &m = fakes->messages.shown.first();
    QCOMPARE(m.title, QStringLiteral("You have selected Auto-Dump mode."));
    QCOMPARE(m.style, 0);
    QCOMPARE(m.text,
             QStringLiteral("Simply click the button displayed on the Task Bar to print\r\n"
                            "the entire screen.\r\n\r\n"
                            "To switch back to the normal program, click on the task bar button\r\n"
                            "with the Right-Mouse-Button and select MAXIMISE from the pop-up "
                            "menu.\r\n"));
    QCOMPARE(form->tag(), QStringLiteral("AutoDump"));
    QVERIFY(form->windowState() & Qt::WindowMinimized);
    QCOMPARE(form->windowTitle(), QStringLiteral("Click to Print Screen"));
    QVERIFY(fakes->printer.drawn.isEmpty());
}

void tst_AutoDump::startedWithTheSwitchNeverExplains()
{
    start(QStringLiteral("/a"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Click to Print Screen"));
    form->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QCOMPARE(form->tag(), QString());
    form->AutoDumpButton_Click();
    QVERIFY(fakes->messages.shown.isEmpty());
    QCOMPARE(form->tag(), QStringLiteral("AutoDump"));
}

void tst_AutoDump::restorePrintsANewShotAndGoesBack()
{
    start(QStringLiteral("/A"));
    QCOMPARE(fakes->screen.grabs, 0);
    QStringList captionsWhilePrinting;
    confirmations->whileShown = [&](const QString &) {
        captionsWhilePrinting << form->windowTitle();
    };
    restore();
    QTRY_COMPARE(fakes->printer.documents, 1);
    QCOMPARE(fakes->screen.grabs, 1);
    QCOMPARE(form->CurrentShotIndex(), 0);
    QCOMPARE(form->PrintZoom, 1.0f);
    QCOMPARE(TestPattern::differingPixels(fakes->printer.drawn.first().picture,
                                          TestPattern::make(QSize(800, 600), 1)),
             0);
    QCOMPARE(captionsWhilePrinting, QStringList{"Printing Screen Now"});
    QCOMPARE(confirmations->shown, QStringList{"Printing Now"});
    QVERIFY(form->windowState() & Qt::WindowMinimized);
    QCOMPARE(form->windowTitle(), QStringLiteral("Click to Print Screen"));

    restore();
    QTRY_COMPARE(fakes->printer.documents, 2);
    QCOMPARE(form->CurrentShotIndex(), 1);
    QCOMPARE(form->GrabbedPicture(1).tag(), QStringLiteral("NotEmpty"));
    QCOMPARE(fakes->screen.grabs, 2);
}

void tst_AutoDump::failedGrabPrintsNothing()
{
    start(QStringLiteral("/A"));
    fakes->screen.next = [](int) {
        return QImage();
    };
    restore();
    QCOMPARE(fakes->messages.shown.size(), 1); // the grab says why
    QCOMPARE(fakes->printer.documents, 0);
    QVERIFY(confirmations->shown.isEmpty());
    QCOMPARE(form->windowTitle(), QStringLiteral("Click to Print Screen"));
}

void tst_AutoDump::maximisingLeavesTheMode()
{
    start();
    form->AutoDumpButton_Click();
    form->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QCOMPARE(form->tag(), QString());
    QCOMPARE(form->windowState(), Qt::WindowNoState);
    QCOMPARE(form->windowTitle(), QStringLiteral("Glimmerbox"));
    // Outside the mode too: the window cannot stay maximised.
    form->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QCOMPARE(form->windowState(), Qt::WindowNoState);
    QCOMPARE(fakes->printer.documents, 0);
}

void tst_AutoDump::minimisingByHandOutsideTheModeChangesNothing()
{
    start();
    form->setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    QCOMPARE(form->windowTitle(), QStringLiteral("Glimmerbox v1.04"));
    restore();
    QCOMPARE(form->windowTitle(), QStringLiteral("Glimmerbox v1.04"));
    QCOMPARE(fakes->screen.grabs, 1);
    QCOMPARE(fakes->printer.documents, 0);
}

QTEST_MAIN(tst_AutoDump)
#include "tst_autodump.moc"
