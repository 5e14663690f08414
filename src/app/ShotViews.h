#pragma once

class CropSelection;
class QObject;
class ShotStore;
struct FormControls;

// The shots and the crop on the window: the store and the selection say what changed, and the
// window's controls show it (the thumbnails, the preview with its outline, the label); the
// mouse on the preview drags the crop. Connections last as long as the context.
void showShots(QObject &context, const FormControls &controls, ShotStore &shots,
               CropSelection &crop);
