#pragma once

#include "capture/ShotStore.h"

#include <array>

class FormBackground;
class PictureBox;
class QAction;
class QImage;
class QLabel;
class QMainWindow;
class QPalette;
class QPushButton;

// The main window's controls, placed where the design puts them, and its menus. Each menu item
// is an action named after the item ("SaveToFileMenuItem"), for the window to connect.
struct FormControls
{
    FormBackground *background = nullptr;
    QLabel *CurrentImageLabel = nullptr;
    PictureBox *CurrentImage1 = nullptr;
    std::array<PictureBox *, ShotStore::SlotCount> GrabbedPicture{};
    QPushButton *GrabButton = nullptr;
    QPushButton *PrintButton = nullptr;
    QPushButton *AutoDumpButton = nullptr;

    static FormControls build(QMainWindow &window, float twipsPerPixelX, float twipsPerPixelY);
    static void buildMenus(QMainWindow &window);
    void buildThumbnails(float twipsPerPixelX, float twipsPerPixelY, const QPalette &palette);

    // The shots on the window: each stretched over its box.
    void paintThumbnail(int slot, const QImage &picture) const;
    void paintPreview(const QImage &picture) const;
    // Only the slot's thumbnail looks pressed.
    void pressThumbnail(int slot) const;
    void nameThumbnails(const ShotStore &shots) const;
};
