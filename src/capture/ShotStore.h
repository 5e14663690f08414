#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <array>

// "Entire Screen Shot Selected - W1024 x H768": the status text of a whole shot.
QString entireShotText(QSize shot);

// The five shot slots and the current shot. Each slot holds a picture: its shot, or the
// placeholder while it is empty. Pictures are implicitly shared, so each shot is held once.
class ShotStore : public QObject
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 5;

    explicit ShotStore(QImage placeholder, QObject *parent = nullptr);

    // The slot the next grab fills: the one after the current slot, or the current one itself
    // once the user picked it.
    static int nextSlot(int current, bool replaceSelected);
    int nextSlot() const { return nextSlot(m_current, m_replaceSelected); }

    // No current slot, every slot empty.
    void reset();
    // Keeps a new shot in the slot and makes it the current one.
    void store(int slot, const QImage &shot);
    // The user's pick: the slot becomes the current one, and the next grab replaces it.
    void pick(int slot);

    int current() const { return m_current; }
    bool isFilled(int slot) const;
    bool currentIsFilled() const { return isFilled(m_current); }
    // The current slot's full-size picture; null before the first selection.
    QImage currentShot() const { return picture(m_current); }
    // What the slot shows: its shot, or the placeholder.
    QImage picture(int slot) const;
    // What the label over the preview says of the current slot.
    QString caption() const;
    // What a screen reader calls the slot's thumbnail: "Shot 2, 1920 x 1080, shown".
    QString thumbnailName(int slot) const;
    static QString thumbnailName(int slot, QSize size, bool filled, bool shown);

signals:
    // The slot's picture is another one.
    void pictureChanged(int slot);
    // Another slot is the current one (or the same one again, chosen anew); -1 after a reset.
    void currentChanged(int slot);

private:
    void select(int slot);

    QImage m_placeholder;
    int m_current = -1;
    bool m_replaceSelected = false;
    std::array<QImage, SlotCount> m_shots;
    std::array<bool, SlotCount> m_filled{};
};
