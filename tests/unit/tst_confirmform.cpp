// The confirmation pop-up: its window, its texts and colours, closing by itself after two
// seconds (and not before) or at once on a click, and a fresh pop-up for every call.

#include "Fakes.h"
#include "MouseDriver.h"
#include "dialogs/ConfirmForm.h"
#include "dialogs/Confirmations.h"
#include "platform/qt/QtServices.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QtTest>

namespace {

ConfirmForm *openPopup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<ConfirmForm *>(w); form && form->isVisible())
            return form;
    return nullptr;
}

struct Seen
{
    QString title;
    QString text1, text2;
    QColor front, rear;
    QSize client;
    bool modal = false;
    bool hasCloseButton = true;
    QPoint centre;
    QPoint offset;
};

Seen look(ConfirmForm *form)
{
    Seen s;
    s.title = form->windowTitle();
    s.text1 = form->Label1()->text();
    s.text2 = form->Label2()->text();
    s.front = form->Label2()->palette().color(QPalette::WindowText);
    s.rear = form->Label1()->palette().color(QPalette::WindowText);
    s.client = form->size();
    s.modal = form->isModal();
    s.hasCloseButton = form->windowFlags() & Qt::WindowCloseButtonHint;
    s.centre = form->geometry().center();
    s.offset = form->Label2()->pos() - form->Label1()->pos();
    return s;
}

} // namespace

class tst_ConfirmForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void closesByItselfAfterTwoSeconds();
    void clickOnTheTextClosesAtOnce();
    void clickOnTheBackgroundClosesAtOnce();
    void twoCallsShowTwoFullPopups();
    void eachOperationHasItsTextAndColour_data();
    void eachOperationHasItsTextAndColour();
    void cleanup();

private:
    QMainWindow owner;
    QtEventPump events;
    FixedScreenMetrics metrics;
    std::unique_ptr<ConfirmPopups> popups;
};

void tst_ConfirmForm::initTestCase()
{
    owner.setGeometry(200, 150, 737, 507);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    popups = std::make_unique<ConfirmPopups>(owner, events, metrics);
}

void tst_ConfirmForm::cleanup()
{
    QTRY_VERIFY(!openPopup());
}

void tst_ConfirmForm::closesByItselfAfterTwoSeconds()
{
    bool openAt1900 = false;
    Seen seen;
    QTimer::singleShot(1900, [&] {
        if (ConfirmForm *form = openPopup()) {
            openAt1900 = true;
            seen = look(form);
        }
    });
    QElapsedTimer clock;
    clock.start();
    popups->ConfirmPrint();
    const qint64 elapsed = clock.elapsed();
    QVERIFY(openAt1900);
    QVERIFY2(elapsed >= 2000 && elapsed < 3500, qPrintable(QString::number(elapsed)));
    QVERIFY(!openPopup());
    QCOMPARE(seen.title, QStringLiteral("Glimmerbox"));
    QCOMPARE(seen.client, QSize(249, 46));
    QVERIFY(seen.modal);
    QVERIFY(!seen.hasCloseButton);
    // Centred over its owner.
    QVERIFY2((seen.centre - owner.geometry().center()).manhattanLength() <= 6,
             qPrintable(QStringLiteral("%1,%2").arg(seen.centre.x()).arg(seen.centre.y())));
}

void tst_ConfirmForm::clickOnTheTextClosesAtOnce()
{
    QTimer::singleShot(100, [] {
        if (ConfirmForm *form = openPopup())
            QTest::mouseClick(form->Label2(), Qt::LeftButton, {}, QPoint(120, 20));
    });
    QElapsedTimer clock;
    clock.start();
    popups->ConfirmSave();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void tst_ConfirmForm::clickOnTheBackgroundClosesAtOnce()
{
    QTimer::singleShot(100, [] {
        if (ConfirmForm *form = openPopup())
            QTest::mouseClick(form, Qt::LeftButton, {}, QPoint(120, 2));
    });
    QElapsedTimer clock;
    clock.start();
    popups->ConfirmClipboard();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
}

void tst_ConfirmForm::twoCallsShowTwoFullPopups()
{
    QList<Seen> seen;
    auto watch = [&] {
        QTimer::singleShot(1800, [&] {
            if (ConfirmForm *form = openPopup())
                seen.append(look(form));
        });
    };
    QElapsedTimer clock;
    clock.start();
    watch();
    popups->ConfirmClipboard();
    const qint64 first = clock.restart();
    watch();
    popups->ConfirmSave();
    const qint64 second = clock.elapsed();
    QVERIFY2(first >= 2000 && second >= 2000,
             qPrintable(QStringLiteral("%1 %2").arg(first).arg(second)));
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].text2, QStringLiteral("Copied to Clipboard"));
    QCOMPARE(seen[0].front, QColor(Qt::white));
    QCOMPARE(seen[1].text1, QStringLiteral("Saved to File"));
    QCOMPARE(seen[1].text2, QStringLiteral("Saved to File"));
    QCOMPARE(seen[1].front, QColor(Qt::yellow));
    QCOMPARE(seen[1].rear, QColor(Qt::black));
    // The front lettering sits up and to the left of the rear one, for the raised look.
    QCOMPARE(seen[1].offset, QPoint(-2, -2));
}

void tst_ConfirmForm::eachOperationHasItsTextAndColour_data()
{
    QTest::addColumn<int>("operation");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("front");
    QTest::newRow("clipboard") << 0 << "Copied to Clipboard" << QColor(255, 255, 255);
    QTest::newRow("save") << 1 << "Saved to File" << QColor(255, 255, 0);
    QTest::newRow("print") << 2 << "Printing Now" << QColor(160, 160, 255);
}

void tst_ConfirmForm::eachOperationHasItsTextAndColour()
{
    QFETCH(int, operation);
    QFETCH(QString, text);
    QFETCH(QColor, front);
    Seen seen;
    QTimer::singleShot(50, [&] {
        if (ConfirmForm *form = openPopup()) {
            seen = look(form);
            form->close();
        }
    });
    if (operation == 0)
        popups->ConfirmClipboard();
    else if (operation == 1)
        popups->ConfirmSave();
    else
        popups->ConfirmPrint();
    QCOMPARE(seen.text1, text);
    QCOMPARE(seen.text2, text);
    QCOMPARE(seen.front, front);
    QCOMPARE(seen.rear, QColor(Qt::black));
}

QTEST_MAIN(tst_ConfirmForm)
#include "tst_confirmform.moc"
