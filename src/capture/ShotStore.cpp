#include "ShotStore.h"

ShotStore::ShotStore(QImage placeholder, QObject *parent)
    : QObject(parent)
    , m_placeholder(std::move(placeholder))
{
    m_shots.fill(m_placeholder);
}

int ShotStore::nextSlot(int current, bool replaceSelected)
{
    if (replaceSelected)
        return current;
    return current + 1 == SlotCount ? 0 : current + 1;
}

QImage ShotStore::picture(int slot) const
{
    return slot >= 0 && slot < SlotCount ? m_shots[size_t(slot)] : QImage();
}

void ShotStore::reset()
{
    m_current = -1;
    m_replaceSelected = false;
    m_filled = {};
    m_shots.fill(m_placeholder);
    for (int i = 0; i < SlotCount; ++i)
        emit pictureChanged(i);
    emit currentChanged(m_current);
}

QString ShotStore::thumbnailName(int slot, QSize size, bool filled, bool shown)
{
    QString name = QStringLiteral("Shot %1").arg(slot + 1);
    name += filled ? QStringLiteral(", %1 x %2").arg(size.width()).arg(size.height())
                   : QStringLiteral(", empty");
    return shown ? name + QStringLiteral(", shown") : name;
}

QString ShotStore::thumbnailName(int slot) const
{
    return thumbnailName(slot, picture(slot).size(), isFilled(slot), slot == m_current);
}

QString ShotStore::caption() const
{
    return currentIsFilled() ? entireShotText(currentShot().size())
                             : QStringLiteral("Screen Shot - Empty");
}

void ShotStore::store(int slot, const QImage &shot)
{
    if (slot < 0 || slot >= SlotCount || shot.isNull())
        return;
    m_replaceSelected = false;
    m_shots[size_t(slot)] = shot;
    m_filled[size_t(slot)] = true;
    emit pictureChanged(slot);
    select(slot);
}

void ShotStore::pick(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    select(slot);
    m_replaceSelected = true;
}

void ShotStore::select(int slot)
{
    m_current = slot;
    emit currentChanged(slot);
}

bool ShotStore::isFilled(int slot) const
{
    return slot >= 0 && slot < SlotCount && m_filled[size_t(slot)];
}

QString entireShotText(QSize shot)
{
    return QStringLiteral("Entire Screen Shot Selected - W%1 x H%2")
        .arg(shot.width())
        .arg(shot.height());
}
