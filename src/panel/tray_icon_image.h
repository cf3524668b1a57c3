#pragma once
// The tray icon: a 318-byte icon file (one 16 x 16 image, 16 colours, transparency mask) showing
// two pure green triangles pointing right on a transparent background. Built at compile time
// from its pixel description, so the bytes and the picture cannot drift apart.

#include <array>
#include <cstdint>

namespace motor {

inline constexpr int tray_icon_size = 16;

// True where a pixel of the icon is green; every other pixel is transparent.
constexpr bool tray_icon_pixel_is_green(int row, int column) {
    // One triangle fills, in row 3 + k (k = 0..5), columns 1..1+k, and in rows 9..13 columns
    // 1..6-(row-8): one pixel wide in rows 3 and 13, six in row 8. The second is 8 columns on.
    const int c = column >= 8 ? column - 8 : column;
    int last = 0;
    if (row >= 3 && row <= 8) last = 1 + (row - 3);
    if (row >= 9 && row <= 13) last = 6 - (row - 8);
    return last > 0 && c >= 1 && c <= last;
}

constexpr std::array<std::uint8_t, 318> make_tray_icon_image() {
    std::array<std::uint8_t, 318> ico{};
    std::size_t at = 0;
    auto u8 = [&](std::uint32_t v) { ico[at++] = static_cast<std::uint8_t>(v); };
    auto u16 = [&](std::uint32_t v) { u8(v & 0xFF), u8(v >> 8 & 0xFF); };
    auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); };

    constexpr std::uint32_t palette[16] = {
        // the standard 16 colours, 0xRRGGBB
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    constexpr std::uint8_t green = 10;
    constexpr std::uint32_t xor_bytes = 16 * 8, and_bytes = 16 * 4;
    constexpr std::uint32_t image_bytes = 40 + 16 * 4 + xor_bytes + and_bytes;

    u16(0), u16(1), u16(1);                         // icon directory: one icon
    u8(16), u8(16), u8(16), u8(0), u16(1), u16(4);  // 16 x 16, 16 colours, 4 bits per pixel
    u32(image_bytes), u32(6 + 16);                  // size and offset of the image
    u32(40), u32(16), u32(32), u16(1), u16(4);      // bitmap header; height counts both masks
    u32(0), u32(xor_bytes + and_bytes), u32(0), u32(0), u32(0), u32(0);
    for (std::uint32_t rgb : palette) u8(rgb & 0xFF), u8(rgb >> 8 & 0xFF), u8(rgb >> 16), u8(0);
    for (int row = 15; row >= 0; --row) {  // colour rows, bottom-up, two pixels a byte
        for (int column = 0; column < 16; column += 2) {
            const std::uint8_t high = tray_icon_pixel_is_green(row, column) ? green : 0;
            const std::uint8_t low = tray_icon_pixel_is_green(row, column + 1) ? green : 0;
            u8(static_cast<std::uint8_t>(high << 4 | low));
        }
    }
    for (int row = 15; row >= 0; --row) {  // transparency rows, bottom-up, padded to 4 bytes
        std::uint32_t bits = 0;
        for (int column = 0; column < 16; ++column) {
            if (!tray_icon_pixel_is_green(row, column)) bits |= 0x8000u >> column;
        }
        u8(bits >> 8), u8(bits & 0xFF), u8(0), u8(0);
    }
    return ico;
}

inline constexpr std::array<std::uint8_t, 318> tray_icon_image = make_tray_icon_image();

}  // namespace motor
