#include "ScreenCapture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace driver {

ScreenImage ScreenImage::Capture() {
    ScreenImage image;
    image.width_ = ::GetSystemMetrics(SM_CXSCREEN);
    image.height_ = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        throw std::runtime_error("GetDC(screen) failed");
    }
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width_;
    info.bmiHeader.biHeight = -image.height_;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (memory != nullptr && bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        copied = ::BitBlt(memory, 0, 0, image.width_, image.height_, screen, 0, 0, SRCCOPY) != 0;
        ::GdiFlush();
        if (copied) {
            const auto* p = static_cast<const std::uint32_t*>(bits);
            image.pixels_.assign(p,
                                 p + static_cast<std::size_t>(image.width_) * static_cast<std::size_t>(image.height_));
        }
        ::SelectObject(memory, old);
    }
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
    if (memory != nullptr) {
        ::DeleteDC(memory);
    }
    ::ReleaseDC(nullptr, screen);
    if (!copied) {
        throw std::runtime_error("copying the screen failed");
    }
    return image;
}

COLORREF ScreenImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return 0;
    }
    const std::uint32_t p =
        pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool ScreenImage::SaveBmp(const std::wstring& path) const {
    const std::size_t rowBytes = (static_cast<std::size_t>(width_) * 3 + 3) & ~static_cast<std::size_t>(3);
    const std::size_t dataBytes = rowBytes * static_cast<std::size_t>(height_);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + dataBytes);
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_;  // bottom row first, as BMP readers expect
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    std::vector<char> data(dataBytes, 0);
    for (int y = 0; y < height_; ++y) {
        char* row = data.data() + static_cast<std::size_t>(height_ - 1 - y) * rowBytes;
        for (int x = 0; x < width_; ++x) {
            const COLORREF c = At(x, y);
            row[x * 3 + 0] = static_cast<char>(GetBValue(c));
            row[x * 3 + 1] = static_cast<char>(GetGValue(c));
            row[x * 3 + 2] = static_cast<char>(GetRValue(c));
        }
    }
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

bool NearColour(COLORREF pixel, int red, int green, int blue, int slack) {
    return std::abs(GetRValue(pixel) - red) <= slack && std::abs(GetGValue(pixel) - green) <= slack &&
           std::abs(GetBValue(pixel) - blue) <= slack;
}

}  // namespace driver
