#pragma once

// The main window's design, in twips (1440 per inch, 15 per pixel at 96 dpi).
namespace FormLayout {

struct Rect
{
    double left, top, width, height;
};
struct Line
{
    double x1, y1, x2, y2;
};

inline constexpr double ClientWidth = 11055;
inline constexpr double ClientHeight = 7320;

inline constexpr Rect CurrentImageLabel{240, 50, 4695, 255};
inline constexpr Rect CurrentImage1{240, 240, 8535, 6255};
inline constexpr Line Line4{0, 0, 11400, 0};
inline constexpr Line Line1{0, 20, 11400, 20};
inline constexpr Line Line3{8975, 0, 8975, 7320};
inline constexpr Line Line2{9000, 0, 9000, 7320};
inline constexpr Rect GrabButton{240, 6720, 1335, 375};
inline constexpr Rect PrintButton{1680, 6720, 1335, 375};
inline constexpr Rect AutoDumpButton{7320, 6720, 1455, 375};

inline constexpr Rect GrabbedPicture(int index)
{
    return {9240, 240 + 1440.0 * index, 1695, 1215};
}

inline constexpr int Timer1Interval = 300;

} // namespace FormLayout
