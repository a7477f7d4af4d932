// Draws the product icon (a window rolling up into its caption bar) and writes it as an .ico
// holding a 32x32 16-colour and a 48x48 256-colour image. Runs on the build machine.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

enum Paint : uint8_t { Clear, Ink, Caption, CaptionLight, Body, BodyShade, Arrow, ArrowEdge, ButtonFace, Count };

// The sixteen colours of the classic VGA palette; the 16-colour image uses only these.
const Rgb kVga[16] = {{0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},  {0, 0, 128}, {128, 0, 128},
                      {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},    {0, 255, 0}, {255, 255, 0},
                      {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
const uint8_t kVgaIndex[Count] = {0, 0, 4, 12, 15, 7, 11, 3, 7};
const Rgb kTrue[Count] = {{0, 0, 0},       {24, 28, 40},   {28, 62, 140}, {84, 132, 214}, {246, 246, 242},
                          {206, 210, 214}, {255, 196, 40}, {176, 112, 0}, {220, 224, 230}};

// The picture on a 48-unit grid, sampled at pixel centres for any size.
Paint Sample(double x, double y)
{
    const bool inFrame = x >= 3 && x < 45 && y >= 5 && y < 43;
    if (!inFrame) return Clear;
    const bool edge = x < 5 || x >= 43 || y < 7 || y >= 41;
    if (edge) return Ink;
    if (y < 16) {
        if (x >= 35 && x < 40 && y >= 9 && y < 14) return ButtonFace;
        return y < 11 ? CaptionLight : Caption;
    }
    // The arrow: a chevron pointing up at the caption, with a stem.
    const double cx = 24, tip = 19;
    const double dx = x < cx ? cx - x : x - cx;
    const bool head = y >= tip + dx && y < tip + dx + 6 && dx < 11;
    const bool stem = dx < 3 && y >= tip + 4 && y < 38;
    if (head || stem) return (y >= tip + dx + 4 && head && !stem) ? ArrowEdge : Arrow;
    return (static_cast<int>(y) / 3) % 2 == 0 ? Body : BodyShade;
}

void Put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void Put32(std::vector<uint8_t>& out, unsigned v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One icon image: BITMAPINFOHEADER, palette, colour bits and mask, rows bottom-up.
std::vector<uint8_t> Image(int size, int bits)
{
    const int colours = 1 << bits;
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, size);
    Put32(out, size * 2);
    Put16(out, 1);
    Put16(out, bits);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int i = 0; i < colours; ++i) {
        Rgb c{0, 0, 0};
        if (bits == 4)
            c = kVga[i];
        else if (i < Count)
            c = kTrue[i];
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    const double scale = 48.0 / size;
    auto paintAt = [&](int px, int row) { return Sample((px + 0.5) * scale, (size - 1 - row + 0.5) * scale); };

    const int colourStride = ((size * bits + 31) / 32) * 4;
    for (int row = 0; row < size; ++row) {
        std::vector<uint8_t> line(colourStride, 0);
        for (int px = 0; px < size; ++px) {
            const Paint p = paintAt(px, row);
            const uint8_t index = bits == 4 ? kVgaIndex[p] : static_cast<uint8_t>(p);
            if (bits == 4)
                line[px / 2] |= (px % 2 == 0) ? index << 4 : index;
            else
                line[px] = index;
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    const int maskStride = ((size + 31) / 32) * 4;
    for (int row = 0; row < size; ++row) {
        std::vector<uint8_t> line(maskStride, 0);
        for (int px = 0; px < size; ++px)
            if (paintAt(px, row) == Clear) line[px / 8] |= 0x80 >> (px % 8);
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    const struct {
        int size, bits;
    } kImages[] = {{32, 4}, {48, 8}};
    std::vector<std::vector<uint8_t>> images;
    for (const auto& spec : kImages) images.push_back(Image(spec.size, spec.bits));

    std::vector<uint8_t> file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 2);
    unsigned offset = 6 + 16 * 2;
    for (size_t i = 0; i < images.size(); ++i) {
        file.push_back(static_cast<uint8_t>(kImages[i].size));
        file.push_back(static_cast<uint8_t>(kImages[i].size));
        file.push_back(kImages[i].bits == 4 ? 16 : 0);
        file.push_back(0);
        Put16(file, 1);
        Put16(file, kImages[i].bits);
        Put32(file, static_cast<unsigned>(images[i].size()));
        Put32(file, offset);
        offset += static_cast<unsigned>(images[i].size());
    }
    for (const auto& image : images) file.insert(file.end(), image.begin(), image.end());

    FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() || std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
