#include "ShotStore.h"

#include "VbText.h"
#include "designcontrols/Accessibility.h"
#include "designcontrols/PictureBox.h"
#include "platform/EventPump.h"

#include <QLabel>

#include <cmath>

int ShotStore::nextSlot(int current, bool replaceSelected)
{
    if (replaceSelected)
        return current;
    return current + 1 == SlotCount ? 0 : current + 1;
}

QImage ShotStore::shot(int slot) const
{
    return slot >= 0 && slot < SlotCount ? m_shots[size_t(slot)] : QImage();
}

void ShotStore::reset()
{
    m_current = -1;
    m_replaceSelected = false;
    m_filled = {};
    m_views.GrabbedPicture[0]->setLook(PictureBox::Look::Sunken);
    for (int i = 0; i < SlotCount; ++i) {
        paintThumbnail(i);
        m_shots[size_t(i)] = m_views.Picture1.image();
    }
    nameThumbnails();
}

QString ShotStore::thumbnailName(int slot, QSize size, bool filled, bool shown)
{
    QString name = QStringLiteral("Shot %1").arg(slot + 1);
    name += filled ? QStringLiteral(", %1 x %2").arg(size.width()).arg(size.height())
                   : QStringLiteral(", empty");
    return shown ? name + QStringLiteral(", shown") : name;
}

void ShotStore::nameThumbnails()
{
    for (int i = 0; i < SlotCount; ++i)
        m_views.GrabbedPicture[size_t(i)]->setAccessibleName(
            thumbnailName(i, m_shots[size_t(i)].size(), isFilled(i), i == m_current));
}

void ShotStore::paintThumbnail(int slot)
{
    PictureBox &thumb = *m_views.GrabbedPicture[size_t(slot)];
    const PictureSurface &s = thumb.surface();
    const double width = s.width() - 2 * s.twipsPerPixelX();
    const double height = s.height() - 2 * s.twipsPerPixelY();
    thumb.paintPicture(m_views.Picture1.image(), QRectF(0, 0, width, height));
}

void ShotStore::store(int slot)
{
    m_replaceSelected = false;
    m_shots[size_t(slot)] = m_views.Picture1.image();
    paintThumbnail(slot);
    m_filled[size_t(slot)] = true;
    select(slot);
}

void ShotStore::pick(int slot)
{
    select(slot);
    m_replaceSelected = true;
}

void ShotStore::select(int slot)
{
    // Only the current thumbnail looks pressed; before the first selection the first one did.
    for (PictureBox *thumb : m_views.GrabbedPicture)
        if (thumb != m_views.GrabbedPicture[size_t(slot)] &&
            thumb->look() != PictureBox::Look::Flat) {
            thumb->setLook(PictureBox::Look::Flat);
            thumb->repaint();
        }
    m_views.GrabbedPicture[size_t(slot)]->setLook(PictureBox::Look::Sunken);
    m_views.GrabbedPicture[size_t(slot)]->repaint();
    m_current = slot;
    m_views.Picture1.setPicture(m_shots[size_t(slot)]);

    PictureBox &preview = m_views.CurrentImage1;
    preview.paintPicture(m_views.Picture1.image(), QRectF(0, 0, preview.surface().scaleWidth(),
                                                          preview.surface().scaleHeight()));
    Accessibility::setCaption(m_views.CurrentImageLabel,
                              isFilled(slot) ? entireShotText(m_views.Picture1)
                                             : QStringLiteral("Screen Shot - Empty"));
    nameThumbnails();
}

QString entireShotText(const PictureSurface &Picture1)
{
    const float w = Picture1.scaleWidth() / Picture1.twipsPerPixelX();
    const float h = Picture1.scaleHeight() / Picture1.twipsPerPixelY();
    return QStringLiteral("Entire Screen Shot Selected - W") + singleText(w) +
           QStringLiteral(" x H") + singleText(h);
}

bool ShotStore::isFilled(int slot) const
{
    return slot >= 0 && slot < SlotCount && m_filled[size_t(slot)];
}

void pause(IEventPump &events, float seconds)
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
