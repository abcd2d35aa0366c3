#include "platform/image_surface.h"

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
