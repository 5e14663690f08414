#include "ShotStore.h"

#include "VbText.h"
#include "platform/EventPump.h"
#include "platform/PictureBox.h"

#include <QLabel>

#include <cmath>

int ShotStore::nextSlot(int current, bool replaceSelected)
{
    if (replaceSelected)
        return current;
    return current + 1 == SlotCount ? 0 : current + 1;
}

QImage ShotStore::currentShot() const
{
    return CurrentShotIndex >= 0 && CurrentShotIndex < SlotCount ? GrabbedImage[CurrentShotIndex]
                                                                 : QImage();
}

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

void ShotStore::storeShot(int slot)
{
    ReplaceSelectedShot = false;
    GrabbedImage[slot] = m_views.Picture1.image();
    paintThumbnail(slot);
    m_views.GrabbedPicture[slot]->setTag(NotEmpty);
    SelectShot(slot);
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
    // Only the current thumbnail looks pressed; before the first selection the first one did.
    for (PictureBox *thumb : m_views.GrabbedPicture)
        if (thumb != m_views.GrabbedPicture[index] && thumb->look() != PictureBox::Look::Flat) {
            thumb->setLook(PictureBox::Look::Flat);
            thumb->repaint();
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

void Pause(IEventPump &events, float seconds)
{
    // A monotonic clock: the time of day jumps at midnight and when the clock is set.
    const double end = events.monotonicSeconds() + double(seconds);
    for (;;) {
        events.doEvents();
        const double now = events.monotonicSeconds();
        if (now >= end)
            break;
        events.runFor(int(std::ceil((end - now) * 1000.0)));
    }
}
