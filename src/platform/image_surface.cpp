#include "platform/image_surface.h"

#include <algorithm>

ImageSurface::ImageSurface(int width, int height, QColor background, QColor ink)
    : image_(width, height, QImage::Format_Indexed8)
{
    setColors(background, ink);
    image_.fill(0);
}

void ImageSurface::plot(int x, int y)
{
    if (!image_.valid(x, y))
        return;
    image_.setPixel(x, y, 1);
    if (listener_)
        listener_(QRect(x, y, 1, 1));
}

void ImageSurface::plotRow(int y, std::span<const unsigned char> flags)
{
    if (y < 0 || y >= image_.height())
        return;
    uchar* line = image_.scanLine(y);
    const std::size_t width = std::min(flags.size(), std::size_t(image_.width()));
    unsigned char any = 0;
    for (std::size_t x = 0; x < width; ++x) {
        line[x] = uchar(line[x] | (flags[x] ? 1 : 0));
        any |= flags[x];
    }
    if (listener_ && any)
        listener_(QRect(0, y, int(width), 1));
}

void ImageSurface::clear()
{
    image_.fill(0);
    if (listener_)
        listener_(image_.rect());
}

void ImageSurface::setColors(QColor background, QColor ink)
{
    image_.setColorTable({background.rgb(), ink.rgb()});
    if (listener_)
        listener_(image_.rect());
}
