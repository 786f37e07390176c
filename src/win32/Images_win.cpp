#include "win32/Images_win.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

namespace prowl::win32 {
namespace {

// Pixels the list treats as transparent: nothing in the pictures uses this colour.
constexpr COLORREF kKey = RGB(255, 0, 255);

constexpr COLORREF kOutline = RGB(64, 64, 64);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kRule = RGB(150, 150, 150);
constexpr COLORREF kFolderEdge = RGB(166, 124, 0);
constexpr COLORREF kFolder = RGB(255, 210, 70);
constexpr COLORREF kFolderLight = RGB(255, 234, 150);
constexpr COLORREF kDllBand = RGB(30, 80, 200);
constexpr COLORREF kOcxBand = RGB(130, 40, 160);
constexpr COLORREF kAlarm = RGB(220, 20, 20);

// One 16x16 picture drawn pixel by pixel: at this size exact pixels read better than
// anti-aliased GDI shapes, and they look the same under every renderer.
class Picture {
  public:
    Picture() { px_.fill(kKey); }

    void Dot(int x, int y, COLORREF c) {
        if (x >= 0 && y >= 0 && x < kImageSize && y < kImageSize) px_[y * kImageSize + x] = c;
    }
    void Fill(int x0, int y0, int x1, int y1, COLORREF c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Dot(x, y, c);
    }
    void Box(int x0, int y0, int x1, int y1, COLORREF edge, COLORREF inside) {
        Fill(x0, y0, x1, y1, edge);
        Fill(x0 + 1, y0 + 1, x1 - 1, y1 - 1, inside);
    }
    void Disc(double cx, double cy, double r, COLORREF c) {
        for (int y = 0; y < kImageSize; ++y)
            for (int x = 0; x < kImageSize; ++x)
                if (std::hypot(x - cx, y - cy) <= r) Dot(x, y, c);
    }
    void Ring(double cx, double cy, double r, double width, COLORREF c) {
        for (int y = 0; y < kImageSize; ++y)
            for (int x = 0; x < kImageSize; ++x) {
                double d = std::hypot(x - cx, y - cy);
                if (d <= r && d >= r - width) Dot(x, y, c);
            }
    }
    // Letters of a 3x5 pixel font: only those the pictures need.
    void Text(int x, int y, std::string_view text, COLORREF c) {
        for (char ch : text) {
            const char* rows = Glyph(ch);
            for (int row = 0; row < 5; ++row)
                for (int col = 0; col < 3; ++col)
                    if (rows[row * 3 + col] == '#') Dot(x + col, y + row, c);
            x += 4;
        }
    }
    const std::array<COLORREF, kImageSize * kImageSize>& Pixels() const { return px_; }

  private:
    static const char* Glyph(char ch) {
        switch (ch) {
            case 'D':
                return "##.#.##.##.###.";
            case 'L':
                return "#..#..#..#..###";
            case 'O':
                return ".#.#.##.##.#.#.";
            case 'C':
                return ".###..#..#...##";
            case 'X':
                return "#.##.#.#.#.##.#";
            default:
                return "...............";
        }
    }
    std::array<COLORREF, kImageSize * kImageSize> px_;
};

void DrawFolder(Picture& p) {
    p.Box(1, 2, 6, 5, kFolderEdge, kFolder);
    p.Box(1, 4, 14, 13, kFolderEdge, kFolder);
    p.Fill(2, 5, 13, 5, kFolderLight);
}

// A page with a coloured band naming the kind of file.
void DrawComponent(Picture& p, std::string_view letters, COLORREF band) {
    p.Box(2, 0, 13, 15, kOutline, kPaper);
    for (int y = 10; y <= 14; y += 2) p.Fill(4, y, 11, y, kRule);
    p.Fill(0, 1, 15, 7, band);
    p.Text(2, 2, letters, kPaper);
}

// A red exclamation mark in a white halo, low on the right, clear of the band's letters.
void DrawMissingMark(Picture& p) {
    p.Fill(10, 7, 14, 15, kPaper);
    p.Fill(11, 8, 13, 12, kAlarm);
    p.Fill(11, 14, 13, 15, kAlarm);
}

void DrawNew(Picture& p) {
    p.Box(2, 0, 13, 15, kOutline, kPaper);
    // Folded corner.
    for (int i = 0; i < 4; ++i) {
        p.Fill(13 - 3 + i, 0, 13, i, kKey);
        p.Dot(10 + i, i, kOutline);
    }
    p.Fill(10, 1, 10, 3, kOutline);
    p.Fill(10, 3, 13, 3, kOutline);
    p.Dot(11, 2, kRule);
    for (int y = 6; y <= 12; y += 2) p.Fill(4, y, 11, y, kRule);
}

void DrawOpen(Picture& p) {
    p.Box(0, 2, 5, 5, kFolderEdge, kFolder);
    p.Box(0, 4, 12, 14, kFolderEdge, kFolder);
    // The lid, tipped towards the viewer.
    for (int y = 8; y <= 14; ++y) {
        int shift = (y - 8) / 2;
        int x0 = 4 - shift, x1 = 15 - shift;
        p.Fill(x0, y, x1, y, y == 8 || y == 14 ? kFolderEdge : kFolderLight);
        p.Dot(x0, y, kFolderEdge);
        p.Dot(x1, y, kFolderEdge);
    }
}

void DrawSave(Picture& p) {
    constexpr COLORREF kDisk = RGB(40, 70, 160);
    constexpr COLORREF kShutter = RGB(190, 190, 200);
    p.Box(1, 1, 14, 14, RGB(20, 35, 90), kDisk);
    p.Fill(4, 2, 11, 7, kPaper);
    p.Fill(5, 4, 10, 4, kRule);
    p.Fill(5, 6, 10, 6, kRule);
    p.Fill(4, 10, 11, 14, kShutter);
    p.Fill(8, 11, 9, 13, kDisk);
}

void DrawReprowl(Picture& p) {
    constexpr COLORREF kGlass = RGB(190, 225, 255);
    constexpr COLORREF kRim = RGB(40, 60, 90);
    constexpr COLORREF kHandle = RGB(120, 70, 20);
    p.Disc(6, 6, 5.2, kRim);
    p.Disc(6, 6, 3.6, kGlass);
    p.Dot(4, 4, kPaper);
    p.Dot(5, 3, kPaper);
    p.Dot(3, 5, kPaper);
    for (int i = 0; i < 5; ++i) {
        p.Fill(10 + i, 10 + i, 11 + i, 11 + i, kHandle);
        p.Dot(10 + i, 11 + i, kHandle);
    }
}

void DrawStop(Picture& p) {
    p.Disc(7.5, 7.5, 7.5, RGB(140, 0, 0));
    p.Disc(7.5, 7.5, 6.4, kAlarm);
    p.Fill(3, 6, 12, 9, kPaper);
}

HIMAGELIST MakeList(const std::vector<Picture>& pictures, int scale) {
    scale = std::max(1, scale);
    const int size = kImageSize * scale;
    const int count = static_cast<int>(pictures.size());
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, count, 0);
    if (!list) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size * count;
    info.bmiHeader.biHeight = -size;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP strip = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (!strip) {
        ImageList_Destroy(list);
        return nullptr;
    }
    auto* out = static_cast<uint32_t*>(bits);
    const int stride = size * count;
    for (int i = 0; i < count; ++i) {
        const auto& px = pictures[i].Pixels();
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                COLORREF c = px[(y / scale) * kImageSize + x / scale];
                // A DIB holds blue in the low byte, a COLORREF holds red there.
                out[y * stride + i * size + x] =
                    (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
    }
    ImageList_AddMasked(list, strip, kKey);
    DeleteObject(strip);
    return list;
}

}  // namespace

int ImageScale() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return std::max(1, dpi / 96 + (dpi % 96 >= 48 ? 1 : 0));
}

HIMAGELIST CreateTreeImageList(int scale) {
    std::vector<Picture> pictures(6);
    DrawFolder(pictures[0]);
    DrawComponent(pictures[1], "DLL", kDllBand);
    DrawComponent(pictures[2], "OCX", kOcxBand);
    for (int i = 0; i < 3; ++i) {
        pictures[3 + i] = pictures[i];
        DrawMissingMark(pictures[3 + i]);
    }
    return MakeList(pictures, scale);
}

HIMAGELIST CreateToolbarImageList(int scale) {
    std::vector<Picture> pictures(5);
    DrawNew(pictures[0]);
    DrawOpen(pictures[1]);
    DrawSave(pictures[2]);
    DrawReprowl(pictures[3]);
    DrawStop(pictures[4]);
    return MakeList(pictures, scale);
}

}  // namespace prowl::win32
