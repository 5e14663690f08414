#pragma once

// Forms are designed in twips (1440 per inch); the screen tells how many twips one pixel is.
class IScreenMetrics
{
public:
    virtual ~IScreenMetrics() = default;
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
};
