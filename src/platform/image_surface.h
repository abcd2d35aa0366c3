#pragma once

#include "platform/drawing_surface.h"

#include <QColor>
#include <QImage>

#include <functional>

// A kept two-colour image: what is plotted survives repainting and goes only by clear().
// A listener hears which rectangle changed, so a view repaints just that.
class ImageSurface : public DrawingSurface {
public:
    ImageSurface(int width, int height, QColor background, QColor ink);

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void plot(int x, int y) override;
    void plotRow(int y, std::span<const unsigned char> flags) override;
    void clear() override;

    bool isSet(int x, int y) const { return image_.pixelIndex(x, y) == 1; }
    void setColors(QColor background, QColor ink);
    const QImage& image() const { return image_; }
    void setChangeListener(std::function<void(const QRect&)> listener)
    {
        listener_ = std::move(listener);
    }

private:
    QImage image_;
    std::function<void(const QRect&)> listener_;
};
