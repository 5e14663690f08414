#pragma once

#include <QImage>
#include <QString>

#include <array>
#include <functional>

class IEventPump;
class PictureBox;
class PictureSurface;
class QLabel;

// The five shot slots, the current shot, and the grab that fills them. The slot pictures are
// shared with the full-size buffer, never copied, so each shot is held once.
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
    struct Hooks
    {
        std::function<void()> hideWindow;
        std::function<void()> showWindow;
        std::function<bool(QString &error)> copyDesktop; // into Picture1
        std::function<void()> resetCrop;
        std::function<void(const QString &error)> reportCaptureFailure;
    };

    ShotStore(Views views, Hooks hooks, IEventPump &events);

    void resetState();       // no current slot, no pending replacement, thumbnail 0 sunken
    void fillPlaceholders(); // every slot shows Picture1's picture, all empty

    // True when a new shot was stored; false when the screen could not be read.
    bool GrabButton_Click();
    void GrabbedPicture_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void SelectShot(int index);
    void Pause(float seconds);

    int CurrentShotIndex = -1;
    bool ReplaceSelectedShot = false;
    std::array<QImage, SlotCount> GrabbedImage;

    bool isFilled(int slot) const;
    // The status text that an entire, filled shot gets.
    QString entireShotText() const;

private:
    void paintThumbnail(int slot);

    Views m_views;
    Hooks m_hooks;
    IEventPump &m_events;
};
