// The grab's half-second pause on the real message loop: it ends on time, timer ticks and
// other events run meanwhile, and the processor is not kept busy.

#include "CpuTime.h"
#include "Fakes.h"
#include "capture/ShotStore.h"
#include "platform/PictureBox.h"
#include "platform/qt/QtServices.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QtTest>

class tst_Pause : public QObject
{
    Q_OBJECT

private slots:
    void endsOnTimeWithTicksDelivered();
    void endsWhenTheFakeClockPassesTheEnd();

private:
    std::unique_ptr<ShotStore> makeStore(IEventPump &events);
    PictureSurface m_picture1{15, 15};
    std::unique_ptr<PictureBox> m_preview;
    std::unique_ptr<QLabel> m_label;
    std::array<std::unique_ptr<PictureBox>, 5> m_thumbs;
};

std::unique_ptr<ShotStore> tst_Pause::makeStore(IEventPump &events)
{
    m_preview = std::make_unique<PictureBox>(15, 15);
    m_label = std::make_unique<QLabel>();
    std::array<PictureBox *, 5> thumbs{};
    for (int i = 0; i < 5; ++i) {
        m_thumbs[i] = std::make_unique<PictureBox>(15, 15);
        thumbs[i] = m_thumbs[i].get();
    }
    return std::make_unique<ShotStore>(ShotStore::Views{m_picture1, *m_preview, *m_label, thumbs},
                                       ShotStore::Hooks{[] {}, [] {},
                                                        [](QString &) { return true; }, [] {},
                                                        [](const QString &) {
                                                        }},
                                       events);
}

void tst_Pause::endsOnTimeWithTicksDelivered()
{
    QtEventPump pump;
    auto store = makeStore(pump);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(50);
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();
    bool posted = false;
    QMetaObject::invokeMethod(
        &timer, [&] { posted = true; }, Qt::QueuedConnection);

    QElapsedTimer wall;
    wall.start();
    const double cpuBefore = processCpuSeconds();
    store->Pause(0.5f);
    const qint64 elapsed = wall.elapsed();
    const double cpuSeconds = processCpuSeconds() - cpuBefore;

    QVERIFY2(elapsed >= 500, qPrintable(QString::number(elapsed)));
    QVERIFY2(elapsed < 1500, qPrintable(QString::number(elapsed)));
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
    QVERIFY(posted);
    // A spinning wait would use the processor for the whole half second.
    QVERIFY2(cpuSeconds < 0.25, qPrintable(QString::number(cpuSeconds)));
}

void tst_Pause::endsWhenTheFakeClockPassesTheEnd()
{
    FakeEventPump pump;
    auto store = makeStore(pump);
    pump.now = 86399.9; // one tenth of a second before midnight, as a time of day
    store->Pause(0.5f);
    QVERIFY(pump.now >= 86399.9 + 0.5);
    QVERIFY(pump.now < 86399.9 + 0.52);
    QCOMPARE(pump.runForCalls, 1);
}

QTEST_MAIN(tst_Pause)
#include "tst_pause.moc"
