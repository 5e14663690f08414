#pragma once

#include <QImage>
#include <QString>

#include <array>

class IEventPump;
class PictureBox;
class PictureSurface;
class QLabel;

// Waits, handling window events meanwhile, without keeping the processor busy.
void pause(IEventPump &events, float seconds);

// "Entire Screen Shot Selected - W1024 x H768": the status text of a whole shot in Picture1.
QString entireShotText(const PictureSurface &Picture1);

// The five shot slots, the current shot and its thumbnails. The slot pictures are shared with
// the full-size buffer, never copied, so each shot is held once.
class ShotStore
{
public:
    static constexpr int SlotCount = 5;

    struct Views
    {
        PictureSurface &Picture1;
        PictureBox &CurrentImage1;
        QLabel &CurrentImageLabel;
        std::array<PictureBox *, SlotCount> GrabbedPicture;
    };
    explicit ShotStore(Views views)
        : m_views(views)
    {}

    // The slot the next grab fills: the one after the current slot, or the current one itself
    // once the user picked it.
    static int nextSlot(int current, bool replaceSelected);
    int nextSlot() const { return nextSlot(m_current, m_replaceSelected); }

    // No current slot, every slot empty and showing Picture1's placeholder.
    void reset();
    // Keeps what Picture1 now holds as the slot's shot and makes it the current one.
    void store(int slot);
    // The user's pick: the slot becomes the current one, and the next grab replaces it.
    void pick(int slot);

    bool isFilled(int slot) const;
    bool currentIsFilled() const { return isFilled(m_current); }
    // The current slot's full-size picture; null before the first selection.
    QImage currentShot() const { return shot(m_current); }
    QImage shot(int slot) const;

    // What a screen reader calls a thumbnail: "Shot 2, 1920 x 1080, shown", "Shot 4, empty".
    static QString thumbnailName(int slot, QSize size, bool filled, bool shown);

private:
    void select(int slot);
    void paintThumbnail(int slot);
    void nameThumbnails();

    Views m_views;
    int m_current = -1;
    bool m_replaceSelected = false;
    std::array<QImage, SlotCount> m_shots;
    std::array<bool, SlotCount> m_filled{};
};
