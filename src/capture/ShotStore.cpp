#include "ShotStore.h"

#include "VbText.h"
#include "platform/EventPump.h"
#include "platform/PictureBox.h"

#include <QLabel>

#include <cmath>

ShotStore::ShotStore(Views views, Hooks hooks, IEventPump &events)
    : m_views(views)
    , m_hooks(std::move(hooks))
    , m_events(events)
{}

void ShotStore::resetState()
{
    CurrentShotIndex = -1;
    ReplaceSelectedShot = false;
    m_views.GrabbedPicture[0]->setLook(PictureBox::Look::Sunken);
}

void ShotStore::fillPlaceholders()
{
    for (int i = 0; i < SlotCount; ++i) {
        paintThumbnail(i);
        GrabbedImage[i] = m_views.Picture1.image();
    }
}

void ShotStore::paintThumbnail(int slot)
{
    PictureBox &thumb = *m_views.GrabbedPicture[slot];
    const PictureSurface &s = thumb.surface();
    const double width = s.width() - 2 * s.twipsPerPixelX();
    const double height = s.height() - 2 * s.twipsPerPixelY();
    thumb.setAutoRedraw(true);
    thumb.paintPicture(m_views.Picture1.image(), QRectF(0, 0, width, height), std::nullopt,
                       PictureSurface::Scaling::Smooth);
}

bool ShotStore::GrabButton_Click()
{
    int slot;
    if (ReplaceSelectedShot) {
        slot = CurrentShotIndex;
    } else {
        slot = CurrentShotIndex + 1;
        if (slot == SlotCount)
            slot = 0;
    }
    m_hooks.hideWindow();
    Pause(0.5f);
    QString error;
    if (!m_hooks.copyDesktop(error)) {
        // Storing the old buffer as a new shot would print something that was never on screen.
        // Nothing changes, not even which slot the next grab replaces.
        m_hooks.showWindow();
        if (m_hooks.reportCaptureFailure)
            m_hooks.reportCaptureFailure(error);
        return false;
    }
    ReplaceSelectedShot = false;
    GrabbedImage[slot] = m_views.Picture1.image();
    paintThumbnail(slot);
    m_views.GrabbedPicture[slot]->setTag(NotEmpty);
    SelectShot(slot);
    m_hooks.showWindow();
    return true;
}

void ShotStore::GrabbedPicture_MouseDown(int Index, int Button, int, float, float)
{
    if (Button != 1)
        return;
    SelectShot(Index);
    ReplaceSelectedShot = true;
}

void ShotStore::SelectShot(int index)
{
    if (CurrentShotIndex != -1) {
        m_views.GrabbedPicture[CurrentShotIndex]->setLook(PictureBox::Look::Flat);
        m_views.GrabbedPicture[CurrentShotIndex]->repaint();
    }
    m_views.GrabbedPicture[index]->setLook(PictureBox::Look::Sunken);
    m_views.GrabbedPicture[index]->repaint();
    CurrentShotIndex = index;
    m_views.Picture1.setPicture(GrabbedImage[index]);

    PictureBox &preview = m_views.CurrentImage1;
    preview.setAutoRedraw(true);
    preview.paintPicture(
        m_views.Picture1.image(),
        QRectF(0, 0, preview.surface().scaleWidth(), preview.surface().scaleHeight()), std::nullopt,
        PictureSurface::Scaling::Smooth);
    preview.setAutoRedraw(false);
    preview.refresh();

    m_hooks.resetCrop();
    m_views.CurrentImageLabel.setText(isFilled(index) ? entireShotText()
                                                      : QStringLiteral("Screen Shot - Empty"));
}

QString ShotStore::entireShotText() const
{
    const PictureSurface &p = m_views.Picture1;
    const float w = p.scaleWidth() / p.twipsPerPixelX();
    const float h = p.scaleHeight() / p.twipsPerPixelY();
    return QStringLiteral("Entire Screen Shot Selected - W") + singleText(w) +
           QStringLiteral(" x H") + singleText(h);
}

bool ShotStore::isFilled(int slot) const
{
    return slot >= 0 && slot < SlotCount && m_views.GrabbedPicture[slot]->tag() == NotEmpty;
}

void ShotStore::Pause(float seconds)
{
    // A monotonic clock: the time of day jumps at midnight and when the clock is set.
    const double end = m_events.monotonicSeconds() + double(seconds);
    for (;;) {
        m_events.doEvents();
        const double now = m_events.monotonicSeconds();
        if (now >= end)
            break;
        m_events.runFor(int(std::ceil((end - now) * 1000.0)));
    }
}
