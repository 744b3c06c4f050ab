#pragma once

// Window sizes are given in twips; 15 twips make one pixel at 96 dpi.
namespace Twips {
constexpr int PerPixel = 15;
constexpr int pixel(int twips)
{
    return twips / PerPixel;
}
constexpr int twips(int pixel)
{
    return pixel * PerPixel;
}
} // namespace Twips
