#include "ShotViews.h"

#include "FormControls.h"
#include "capture/CropSelection.h"
#include "capture/ShotStore.h"
#include "designcontrols/Accessibility.h"
#include "designcontrols/PictureBox.h"

#include <QLabel>

#include <algorithm>

namespace {

// The current slot: its thumbnail pressed, its shot in the preview, the crop on it anew.
void showCurrent(const FormControls &c, const ShotStore &shots, CropSelection &crop, int slot)
{
    // Before the first selection the first thumbnail looks pressed, its placeholder is the shot.
    const QImage picture = shots.picture(std::max(slot, 0));
    c.pressThumbnail(std::max(slot, 0));
    crop.setShot(picture.size(), shots.isFilled(slot));
    if (slot >= 0) {
        c.paintPreview(picture);
        Accessibility::setCaption(*c.CurrentImageLabel, shots.caption());
    }
    c.nameThumbnails(shots);
}

} // namespace

void showShots(QObject &context, const FormControls &c, ShotStore &shots, CropSelection &crop)
{
    QObject::connect(&shots, &ShotStore::pictureChanged, &context, [c, &shots](int slot) {
        c.paintThumbnail(slot, shots.picture(slot));
        c.nameThumbnails(shots);
    });
    QObject::connect(&shots, &ShotStore::currentChanged, &context,
                     [c, &shots, &crop](int slot) { showCurrent(c, shots, crop, slot); });
    QLabel *label = c.CurrentImageLabel;
    QObject::connect(&crop, &CropSelection::captionChanged, &context,
                     [label](const QString &text) { Accessibility::setCaption(*label, text); });
    PictureBox *preview = c.CurrentImage1;
    QObject::connect(&crop, &CropSelection::toolTipChanged, preview, &QWidget::setToolTip);
    QObject::connect(&crop, &CropSelection::outlineChanged, preview,
                     [preview](QPointF a, QPointF b, bool shown) {
                         preview->refresh();
                         if (shown)
                             preview->drawInvertedBox(a, b);
                     });
    QObject::connect(preview, &PictureBox::mouseDown, &crop,
                     [&crop](int button, float x, float y) { crop.press(button, x, y); });
    QObject::connect(preview, &PictureBox::mouseMove, &crop,
                     [&crop](int buttons, float x, float y) { crop.move(buttons, x, y); });
    QObject::connect(preview, &PictureBox::mouseUp, &crop,
                     [&crop](int button, float, float) { crop.release(button); });
}
