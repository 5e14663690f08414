#pragma once

// Forms are designed in twips (1440 per inch); the screen tells how many twips one pixel is.
class IScreenMetrics
{
public:
    virtual ~IScreenMetrics() = default;
    virtual float twipsPerPixelX() const = 0;
    virtual float twipsPerPixelY() const = 0;
};

// The design resolution: 96 dots per inch, 15 twips per pixel.
class FixedScreenMetrics final : public IScreenMetrics
{
public:
    explicit FixedScreenMetrics(float x = 15.0f, float y = 15.0f)
        : m_x(x)
        , m_y(y)
    {}
    float twipsPerPixelX() const override { return m_x; }
    float twipsPerPixelY() const override { return m_y; }

private:
    float m_x;
    float m_y;
};
