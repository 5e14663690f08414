// Auto-Dump mode as a user's task bar drives it: the real program in its own process, restored,
// maximised and minimised through the window manager, its caption read with xprop, and what it
// prints read from the test spooler's PDFs.

#include "Pdf.h"
#include "TestPattern.h"
#include "UserDesktop.h"
#include "X11Checks.h"
#include "X11Screen.h"
#include "XTools.h"

#include <QProcess>
#include <QtTest>

namespace {

using UserDesktop::isNormalAtDesignSize;
using UserDesktop::maximise;
using UserDesktop::waitForWindow;
using UserDesktop::xdotool;

const QString AutoDumpMessage = QStringLiteral("^You have selected Auto-Dump mode\\.$");

// The program this suite drives: the build's own.
class Program : public UserDesktop::Program
{
public:
    explicit Program(const QStringList &args)
        : UserDesktop::Program(QStringLiteral(GLIMMERBOX_EXE), args)
    {}
};

} // namespace

class tst_E2eAutoDump : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startedWithTheSwitchWaitsMinimisedWithoutAShot();
    void eachRestorePrintsTheWholeScreenOnce();
    void otherArgumentsStartNormallyAndAskFirst_data();
    void otherArgumentsStartNormallyAndAskFirst();
    void maximisingTheNormalWindowKeepsItNormal();

private:
    QImage pattern;
};

void tst_E2eAutoDump::initTestCase()
{
    REQUIRE_X11();
    QVERIFY2(!Pdf::outputFolder().isEmpty(),
             "GLIMMERBOX_TEST_PDF_DIR is not set: run the tests through scripts/test");
    pattern = TestPattern::make(X11Screen::size(), 21);
    QVERIFY(X11Screen::setRootPicture(pattern));
}

void tst_E2eAutoDump::startedWithTheSwitchWaitsMinimisedWithoutAShot()
{
    const int jobs = Pdf::jobCount();
    Program program({QStringLiteral("/a")});
    QVERIFY(program.started());
    const QString window = waitForWindow(QStringLiteral("^Click to Print Screen$"));
    QVERIFY2(!window.isEmpty(), "no minimised window with the waiting caption");
    QVERIFY(XTools::waitFor([&] { return XTools::isIconic(window); }, 5000));
    QVERIFY(XTools::managedWindows(AutoDumpMessage).isEmpty());
    QCOMPARE(Pdf::jobCount(), jobs);

    // Leave the mode at once: the preview and every thumbnail still show the placeholder.
    maximise(window);
    QVERIFY(XTools::waitFor([&] { return XTools::caption(window) == QLatin1String("Glimmerbox"); },
                            5000));
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(window); }, 5000));
    QImage placeholder(QStringLiteral(":/glimmerbox/placeholder.jpg"));
    QVERIFY(!placeholder.isNull());
    QVERIFY(XTools::waitFor(
        [&] {
            // The window may still be settling in the middle of the screen: look where it is now.
            const QRect client = XTools::geometry(window);
            const int top = client.y() + client.height() - 488;
            const QImage thumb = X11Screen::dump().copy(client.x() + 617, top + 17, 111, 79);
            return TestPattern::meanDifference(thumb,
                                               placeholder.scaled(111, 79, Qt::IgnoreAspectRatio,
                                                                  Qt::SmoothTransformation)) < 12;
        },
        3000));
    QCOMPARE(Pdf::jobCount(), jobs);
}

void tst_E2eAutoDump::eachRestorePrintsTheWholeScreenOnce()
{
    Program program({QStringLiteral("/A")});
    QVERIFY(program.started());
    const QString window = waitForWindow(QStringLiteral("^Click to Print Screen$"));
    QVERIFY(!window.isEmpty());
    QVERIFY(XTools::waitFor([&] { return XTools::isIconic(window); }, 5000));

    QStringList printed;
    for (int click = 0; click < 3; ++click) {
        const QStringList before = Pdf::files();
        const int jobs = Pdf::jobCount();
        xdotool({QStringLiteral("windowactivate"), window});
        const QString pdf = Pdf::waitForNew(before);
        QVERIFY2(!pdf.isEmpty(), "no page was printed");
        QCOMPARE(Pdf::jobCount(), jobs + 1);
        QVERIFY(XTools::waitFor(
            [&] {
                return XTools::isIconic(window) &&
                       XTools::caption(window) == QLatin1String("Click to Print Screen");
            },
            10000));
        printed.append(pdf);
    }
    QCOMPARE(printed.size(), 3);
    for (const QString &pdf : printed) {
        QCOMPARE(Pdf::info(pdf).pages, 1);
        // The whole screen, pixel for pixel, with nothing of the program on it.
        const QList<QImage> images = Pdf::images(pdf);
        QCOMPARE(images.size(), 1);
        QCOMPARE(TestPattern::differingPixels(images.first(), pattern), 0);
        // At 100 %, from the corner, on a landscape page.
        const QImage rendered = Pdf::render(pdf, 96);
        QVERIFY(rendered.height() > rendered.width());
        const QImage page = Pdf::asLandscape(rendered, pattern);
        const double difference = TestPattern::meanDifference(page.copy(0, 0, 1024, 768), pattern);
        QVERIFY2(difference < 4, qPrintable(QString::number(difference)));
    }

    // Maximising leaves the mode: the normal window comes back, and the task bar no longer prints.
    maximise(window);
    QVERIFY(XTools::waitFor([&] { return XTools::caption(window) == QLatin1String("Glimmerbox"); },
                            5000));
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(window); }, 5000));
    const int jobs = Pdf::jobCount();
    xdotool({QStringLiteral("windowminimize"), window});
    QVERIFY(XTools::waitFor([&] { return XTools::isIconic(window); }, 5000));
    xdotool({QStringLiteral("windowactivate"), window});
    QVERIFY(XTools::waitFor([&] { return !XTools::isIconic(window); }, 5000));
    // It stays up, and no job arrives while a cycle would have printed.
    QVERIFY(!XTools::waitFor([&] { return XTools::isIconic(window) || Pdf::jobCount() != jobs; },
                             3000));
    QCOMPARE(XTools::caption(window), QStringLiteral("Glimmerbox"));
}

void tst_E2eAutoDump::otherArgumentsStartNormallyAndAskFirst_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("switch and more") << QStringList{"/A", "x"};
    QTest::newRow("another switch") << QStringList{"/B"};
}

void tst_E2eAutoDump::otherArgumentsStartNormallyAndAskFirst()
{
    QFETCH(QStringList, args);
    Program program(args);
    QVERIFY(program.started());
    const QString window = waitForWindow(QStringLiteral("^Glimmerbox v1\\.04$"));
    QVERIFY2(!window.isEmpty(), "no normal window");
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(window); }, 5000));
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+a")});
    const QString message = waitForWindow(AutoDumpMessage, 5000);
    QVERIFY2(!message.isEmpty(), "Auto Dump did not explain itself");
    xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), message});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QVERIFY(XTools::waitFor(
        [&] {
            return XTools::isIconic(window) &&
                   XTools::caption(window) == QLatin1String("Click to Print Screen");
        },
        5000));
}

void tst_E2eAutoDump::maximisingTheNormalWindowKeepsItNormal()
{
    Program program({});
    QVERIFY(program.started());
    const QString window = waitForWindow(QStringLiteral("^Glimmerbox v1\\.04$"));
    QVERIFY(!window.isEmpty());
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(window); }, 5000));
    maximise(window);
    QVERIFY(XTools::waitFor([&] { return XTools::caption(window) == QLatin1String("Glimmerbox"); },
                            5000));
    QVERIFY(XTools::waitFor([&] { return isNormalAtDesignSize(window); }, 5000));
}

QTEST_MAIN(tst_E2eAutoDump)
#include "tst_e2e_autodump.moc"
