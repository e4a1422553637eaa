// Draws the program's pictures so that the artwork is reproducible from the source tree:
//   GenerateArtwork <output dir>
// writes toner135.bmp ... toner153.bmp (the toner gauge) and Orvix.ico (the program icon).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kSilver{192, 192, 192};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kNavy{0, 0, 128};

// The 16 colours of the standard VGA palette; the 16-colour icons use them.
constexpr std::array<Rgb, 16> kVga = {{{0, 0, 0},
                                       {128, 0, 0},
                                       {0, 128, 0},
                                       {128, 128, 0},
                                       {0, 0, 128},
                                       {128, 0, 128},
                                       {0, 128, 128},
                                       {192, 192, 192},
                                       {128, 128, 128},
                                       {255, 0, 0},
                                       {0, 255, 0},
                                       {255, 255, 0},
                                       {0, 0, 255},
                                       {255, 0, 255},
                                       {0, 255, 255},
                                       {255, 255, 255}}};

class Canvas {
public:
    Canvas(int width, int height, Rgb background)
        : w(width), h(height), pixels(static_cast<std::size_t>(width * height), background) {}

    int Width() const { return w; }
    int Height() const { return h; }
    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y * w + x)]; }

    void Set(int x, int y, Rgb colour) {
        if (x >= 0 && y >= 0 && x < w && y < h) {
            pixels[static_cast<std::size_t>(y * w + x)] = colour;
        }
    }
    void Fill(int x0, int y0, int x1, int y1, Rgb colour) {
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                Set(x, y, colour);
            }
        }
    }
    void Frame(int x0, int y0, int x1, int y1, Rgb colour) {
        Fill(x0, y0, x1, y0 + 1, colour);
        Fill(x0, y1 - 1, x1, y1, colour);
        Fill(x0, y0, x0 + 1, y1, colour);
        Fill(x1 - 1, y0, x1, y1, colour);
    }
    void Line(int x0, int y0, int x1, int y1, int thickness, Rgb colour) {
        const int steps = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
        for (int i = 0; i <= steps; ++i) {
            const int x = x0 + (x1 - x0) * i / (steps == 0 ? 1 : steps);
            const int y = y0 + (y1 - y0) * i / (steps == 0 ? 1 : steps);
            Fill(x - thickness / 2, y - thickness / 2, x + (thickness + 1) / 2,
                 y + (thickness + 1) / 2, colour);
        }
    }
    // A glyph given as rows of '#' and '.', scaled by `scale`.
    void Glyph(const std::vector<std::string>& rows, int x0, int y0, int scale, Rgb colour) {
        for (std::size_t row = 0; row < rows.size(); ++row) {
            for (std::size_t col = 0; col < rows[row].size(); ++col) {
                if (rows[row][col] == '#') {
                    const int x = x0 + static_cast<int>(col) * scale;
                    const int y = y0 + static_cast<int>(row) * scale;
                    Fill(x, y, x + scale, y + scale, colour);
                }
            }
        }
    }

private:
    int w, h;
    std::vector<Rgb> pixels;
};

// A toner cartridge standing upright: a case with a window showing the toner left.
void DrawCartridge(Canvas& c, int x0, int width, int fillPercent) {
    const int top = 4, bottom = c.Height() - 3;
    c.Fill(x0, top, x0 + width, bottom, kSilver);
    c.Frame(x0, top, x0 + width, bottom, kBlack);
    c.Fill(x0 + width / 3, top - 3, x0 + 2 * width / 3, top, kGrey);  // the handle
    const int wx0 = x0 + 5, wx1 = x0 + width - 5, wy0 = top + 6, wy1 = bottom - 6;
    c.Fill(wx0, wy0, wx1, wy1, kWhite);
    c.Frame(wx0 - 1, wy0 - 1, wx1 + 1, wy1 + 1, kGrey);
    const int filled = (wy1 - wy0) * fillPercent / 100;
    c.Fill(wx0, wy1 - filled, wx1, wy1, kNavy);
}

void WriteLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

// A bottom-up DIB: 24 bits per pixel, or indexed with the given palette.
std::vector<std::uint8_t> Dib(const Canvas& c, int bitsPerPixel, const std::vector<Rgb>& palette,
                              bool iconHeight) {
    std::vector<std::uint8_t> out;
    WriteLe(out, 40, 4);
    WriteLe(out, static_cast<std::uint32_t>(c.Width()), 4);
    WriteLe(out, static_cast<std::uint32_t>(c.Height() * (iconHeight ? 2 : 1)), 4);
    WriteLe(out, 1, 2);
    WriteLe(out, static_cast<std::uint32_t>(bitsPerPixel), 2);
    WriteLe(out, 0, 4);
    WriteLe(out, 0, 4);
    WriteLe(out, 2835, 4);
    WriteLe(out, 2835, 4);
    WriteLe(out, static_cast<std::uint32_t>(palette.size()), 4);
    WriteLe(out, 0, 4);
    for (const Rgb& p : palette) {
        out.insert(out.end(), {p.b, p.g, p.r, 0});
    }
    const auto index = [&](Rgb colour) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            if (palette[i] == colour) {
                return static_cast<std::uint8_t>(i);
            }
        }
        return std::uint8_t{0};
    };
    const int rowBits = c.Width() * bitsPerPixel;
    const int stride = ((rowBits + 31) / 32) * 4;
    for (int y = c.Height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < c.Width(); ++x) {
            const Rgb p = c.At(x, y);
            if (bitsPerPixel == 24) {
                row[static_cast<std::size_t>(x * 3)] = p.b;
                row[static_cast<std::size_t>(x * 3 + 1)] = p.g;
                row[static_cast<std::size_t>(x * 3 + 2)] = p.r;
            } else if (bitsPerPixel == 8) {
                row[static_cast<std::size_t>(x)] = index(p);
            } else {
                const std::uint8_t i = index(p);
                row[static_cast<std::size_t>(x / 2)] |=
                    static_cast<std::uint8_t>(x % 2 == 0 ? i << 4 : i);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    if (iconHeight) {
        // AND mask: all opaque.
        const int maskStride = ((c.Width() + 31) / 32) * 4;
        out.insert(out.end(), static_cast<std::size_t>(maskStride * c.Height()), 0);
    }
    return out;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteBmp(const std::string& path, const Canvas& c) {
    const std::vector<std::uint8_t> dib = Dib(c, 24, {}, false);
    std::vector<std::uint8_t> out = {'B', 'M'};
    WriteLe(out, static_cast<std::uint32_t>(14 + dib.size()), 4);
    WriteLe(out, 0, 4);
    WriteLe(out, 14 + 40, 4);
    out.insert(out.end(), dib.begin(), dib.end());
    return WriteFile(path, out);
}

Canvas Gauge(int id) {
    switch (id) {
        case 153: {  // empty cartridge with a red cross
            Canvas c(33, 70, kWhite);
            DrawCartridge(c, 2, 29, 0);
            c.Line(6, 16, 26, 56, 3, kRed);
            c.Line(26, 16, 6, 56, 3, kRed);
            return c;
        }
        case 135: {  // low cartridge with a yellow warning triangle
            Canvas c(56, 69, kWhite);
            DrawCartridge(c, 2, 30, 10);
            for (int row = 0; row < 20; ++row) {
                c.Fill(45 - row / 2, 40 + row, 46 + row / 2, 41 + row, kYellow);
            }
            c.Line(35, 60, 45, 40, 1, kBlack);
            c.Line(45, 40, 55, 60, 1, kBlack);
            c.Fill(35, 60, 56, 61, kBlack);
            c.Fill(44, 46, 46, 55, kBlack);
            c.Fill(44, 57, 46, 59, kBlack);
            return c;
        }
        case 152: {  // no answer: a question mark
            Canvas c(36, 69, kWhite);
            DrawCartridge(c, 2, 32, 0);
            c.Glyph({".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}, 8, 20, 4,
                    kBlack);
            return c;
        }
        default: {  // 136..139: low, medium, high, full
            Canvas c(36, 69, kWhite);
            const int fill[] = {40, 62, 82, 100};
            DrawCartridge(c, 2, 32, fill[id - 136]);
            return c;
        }
    }
}

// A grey desktop printer with paper on top and a green light.
Canvas Printer(int size) {
    Canvas c(size, size, kWhite);
    const int s = size;
    c.Fill(s * 3 / 10, s / 8, s * 7 / 10, s * 4 / 10, kWhite);
    c.Frame(s * 3 / 10, s / 8, s * 7 / 10, s * 4 / 10, kBlack);
    c.Fill(s / 10, s * 4 / 10, s * 9 / 10, s * 8 / 10, kSilver);
    c.Frame(s / 10, s * 4 / 10, s * 9 / 10, s * 8 / 10, kBlack);
    c.Fill(s / 10 + 1, s * 6 / 10, s * 9 / 10 - 1, s * 6 / 10 + std::max(1, s / 16), kGrey);
    const int light = std::max(2, s / 10);
    c.Fill(s * 7 / 10, s * 45 / 100, s * 7 / 10 + light, s * 45 / 100 + light, kGreen);
    return c;
}

bool WriteIcon(const std::string& path) {
    struct Image {
        int size;
        int bits;
    };
    const Image images[] = {{16, 4}, {32, 4}, {48, 4}, {32, 8}, {48, 8}};
    std::vector<Rgb> palette16(kVga.begin(), kVga.end());
    std::vector<Rgb> palette256 = palette16;
    palette256.resize(256, kBlack);

    std::vector<std::vector<std::uint8_t>> dibs;
    for (const Image& image : images) {
        dibs.push_back(
            Dib(Printer(image.size), image.bits, image.bits == 4 ? palette16 : palette256, true));
    }
    std::vector<std::uint8_t> out;
    WriteLe(out, 0, 2);
    WriteLe(out, 1, 2);
    WriteLe(out, static_cast<std::uint32_t>(dibs.size()), 2);
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * dibs.size());
    for (std::size_t i = 0; i < dibs.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(static_cast<std::uint8_t>(images[i].size));
        out.push_back(images[i].bits == 4 ? 16 : 0);
        out.push_back(0);
        WriteLe(out, 1, 2);
        WriteLe(out, static_cast<std::uint32_t>(images[i].bits), 2);
        WriteLe(out, static_cast<std::uint32_t>(dibs[i].size()), 4);
        WriteLe(out, offset, 4);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs) {
        out.insert(out.end(), dib.begin(), dib.end());
    }
    return WriteFile(path, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output dir>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (int id : {135, 136, 137, 138, 139, 152, 153}) {
        ok = WriteBmp(dir + "/toner" + std::to_string(id) + ".bmp", Gauge(id)) && ok;
    }
    ok = WriteIcon(dir + "/Orvix.ico") && ok;
    return ok ? 0 : 1;
}
