#pragma once

#include <QImage>
#include <QString>

#include <array>

class IEventPump;
class PictureBox;
class PictureSurface;
class QLabel;

// Waits, handling window events meanwhile, without keeping the processor busy.
void Pause(IEventPump &events, float seconds);

// The five shot slots, the current shot and its thumbnails. The slot pictures are shared with
// the full-size buffer, never copied, so each shot is held once.
class ShotStore
{
public:
    static constexpr int SlotCount = 5;
    static inline const QString NotEmpty = QStringLiteral("NotEmpty");

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
    int nextSlot() const { return nextSlot(CurrentShotIndex, ReplaceSelectedShot); }

    void resetState();       // no current slot, no pending replacement, thumbnail 0 sunken
    void fillPlaceholders(); // every slot shows Picture1's picture, all empty

    // Keeps what Picture1 now holds as the slot's shot and makes it the current one.
    void storeShot(int slot);
    void GrabbedPicture_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void SelectShot(int index);

    int CurrentShotIndex = -1;
    bool ReplaceSelectedShot = false;
    std::array<QImage, SlotCount> GrabbedImage;

    bool isFilled(int slot) const;
    // The current slot's full-size picture; null before the first selection.
    QImage currentShot() const;
    // The status text that an entire, filled shot gets.
    QString entireShotText() const;

private:
    void paintThumbnail(int slot);

    Views m_views;
};
