// The main window as designed: client area, control positions from twips, menus with their
// shortcuts, tab order, and the caption before and after start-up.

#include "Fakes.h"
#include "TestPattern.h"
#include "app/GlimmerboxForm.h"
#include "platform/PictureBox.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void controlsSitAtTheirTwipsPositions_data();
    void controlsSitAtTheirTwipsPositions();
    void menusHaveTheirItemsAndShortcuts();
    void tabOrder();
    void captionBeforeAndAfterStartUp();
    void closingEndsWithoutAQuestion();

private:
    std::unique_ptr<FakeServices> fakes;
    std::unique_ptr<GlimmerboxForm> form;
};

void tst_MainWindow::init()
{
    fakes = std::make_unique<FakeServices>();
    fakes->screen.screen = TestPattern::make(QSize(1024, 768));
    form = std::make_unique<GlimmerboxForm>(fakes->services());
}

void tst_MainWindow::cleanup()
{
    form.reset();
    fakes.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_MainWindow::controlsSitAtTheirTwipsPositions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("label") << "CurrentImageLabel" << QRect(16, 3, 313, 17);
    QTest::newRow("preview") << "CurrentImage1" << QRect(16, 16, 569, 417);
    QTest::newRow("grab") << "GrabButton" << QRect(16, 448, 89, 25);
    QTest::newRow("print") << "PrintButton" << QRect(112, 448, 89, 25);
    QTest::newRow("auto dump") << "AutoDumpButton" << QRect(488, 448, 97, 25);
    for (int i = 0; i < 5; ++i)
        QTest::addRow("thumbnail %d", i)
            << QStringLiteral("GrabbedPicture%1").arg(i) << QRect(616, 16 + 96 * i, 113, 81);
}

void tst_MainWindow::controlsSitAtTheirTwipsPositions()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    auto *widget = form->findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
    QCOMPARE(form->centralWidget()->size(), QSize(737, 488));
}

void tst_MainWindow::menusHaveTheirItemsAndShortcuts()
{
    struct Item
    {
        const char *name;
        const char *caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {"SaveToFileMenuItem", "to File", QKeySequence(QStringLiteral("Ctrl+S"))},
        {"SaveToClipboardMenuItem", "to Clipboard", QKeySequence(QStringLiteral("Ctrl+C"))},
        {"PrinterSetupMenuItem", "Printer Setup", QKeySequence()},
        {"ExitMenuItem", "Exit", QKeySequence(QStringLiteral("Ctrl+X"))},
        {"GrabScreenMenuItem", "Grab Screen", QKeySequence(QStringLiteral("Ctrl+G"))},
        {"PrintScreenMenuItem", "Print Now", QKeySequence(QStringLiteral("Ctrl+P"))},
        {"AutoDumpMenuItem", "Auto Dump", QKeySequence(QStringLiteral("Ctrl+A"))},
        {"TipsMenuItem", "Tips", QKeySequence(QStringLiteral("F1"))},
        {"VisitMoonferryMenuItem", "Visit Moonferry", QKeySequence(QStringLiteral("Ctrl+F1"))},
        {"AboutMenuItem", "About", QKeySequence()},
    };
    for (const Item &item : items) {
        auto *action = form->findChild<QAction *>(QLatin1String(item.name));
        QVERIFY2(action, item.name);
        QCOMPARE(action->text(), QLatin1String(item.caption));
        QCOMPARE(action->shortcut(), item.shortcut);
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
    }
    QStringList top;
    for (QAction *a : form->menuBar()->actions())
        top << a->text();
    QCOMPARE(top, (QStringList{"File", "Glimmerbox", "Help"}));
    QStringList file;
    for (QAction *a : form->findChild<QMenu *>(QStringLiteral("FileMenu"))->actions())
        file << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(file, (QStringList{"Save", "Printer Setup", "-", "Exit"}));
}

void tst_MainWindow::tabOrder()
{
    QStringList order;
    QWidget *w = form->findChild<QWidget *>(QStringLiteral("GrabButton"));
    for (int i = 0; i < 9; ++i) {
        order << w->objectName();
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
    }
    QCOMPARE(order, (QStringList{"GrabButton", "PrintButton", "AutoDumpButton", "CurrentImage1",
                                 "GrabbedPicture1", "GrabbedPicture2", "GrabbedPicture3",
                                 "GrabbedPicture4", "GrabbedPicture0"}));
}

void tst_MainWindow::captionBeforeAndAfterStartUp()
{
    QCOMPARE(form->windowTitle(), QStringLiteral(" Glimmerbox"));
    fakes->program.programVersion = {2, 1, 3};
    form->startUp();
    QCOMPARE(form->windowTitle(), QStringLiteral("Glimmerbox v2.13"));
    QCOMPARE(form->CurrentImage1().toolTip(), QStringLiteral("Select Area to be Printed"));
    QCOMPARE(form->CurrentImage1().cursor().shape(), Qt::CrossCursor);
    QCOMPARE(form->GrabbedPicture(2).toolTip(), QStringLiteral("Screen Shots - Click to Select"));
    QCOMPARE(form->GrabbedPicture(2).cursor().hotSpot(), QPoint(12, 1));
}

void tst_MainWindow::closingEndsWithoutAQuestion()
{
    form->startUp();
    QSignalSpy closed(form.get(), &GlimmerboxForm::closed);
    form->findChild<QAction *>(QStringLiteral("ExitMenuItem"))->trigger();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!form->isVisible());
    QVERIFY(fakes->messages.shown.isEmpty());
    QVERIFY(!form->Timer1().isActive());
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
