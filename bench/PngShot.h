// Saves what the screen shows of a window as a PNG file (stored, not
// compressed: no library needed).
#pragma once

#include <windows.h>

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace shot {

inline std::uint32_t Crc(const std::uint8_t* P, std::size_t N, std::uint32_t C = 0xFFFFFFFFu)
{
    for (std::size_t I = 0; I < N; ++I) {
        C ^= P[I];
        for (int K = 0; K < 8; ++K)
            C = (C >> 1) ^ (0xEDB88320u & (0u - (C & 1u)));
    }
    return C;
}

inline void Put32(std::vector<std::uint8_t>& V, std::uint32_t X)
{
    for (int S = 24; S >= 0; S -= 8)
        V.push_back(static_cast<std::uint8_t>(X >> S));
}

inline void Chunk(std::vector<std::uint8_t>& Out, const char* Type, const std::vector<std::uint8_t>& Data)
{
    Put32(Out, static_cast<std::uint32_t>(Data.size()));
    std::vector<std::uint8_t> Body(Type, Type + 4);
    Body.insert(Body.end(), Data.begin(), Data.end());
    Out.insert(Out.end(), Body.begin(), Body.end());
    Put32(Out, Crc(Body.data(), Body.size()) ^ 0xFFFFFFFFu);
}

}  // namespace shot

// What the screen shows in R, as 0x00RRGGBB pixels row by row; empty when
// R is empty or the screen could not be read.
inline std::vector<std::uint32_t> CaptureScreen(const RECT& R)
{
    const int W = R.right - R.left, H = R.bottom - R.top;
    std::vector<std::uint32_t> Pixels;
    if (W <= 0 || H <= 0)
        return Pixels;
    HDC Screen = ::GetDC(nullptr);
    HDC Mem = ::CreateCompatibleDC(Screen);
    BITMAPINFO Bi = {};
    Bi.bmiHeader.biSize = sizeof(Bi.bmiHeader);
    Bi.bmiHeader.biWidth = W;
    Bi.bmiHeader.biHeight = -H;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    void* Bits = nullptr;
    HBITMAP Bmp = ::CreateDIBSection(Screen, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
    if (Bmp) {
        HGDIOBJ Old = ::SelectObject(Mem, Bmp);
        ::BitBlt(Mem, 0, 0, W, H, Screen, R.left, R.top, SRCCOPY);
        ::GdiFlush();
        const auto* Px = static_cast<const std::uint32_t*>(Bits);
        Pixels.reserve(static_cast<std::size_t>(W) * H);
        for (std::size_t I = 0; I < static_cast<std::size_t>(W) * H; ++I)
            Pixels.push_back(Px[I] & 0xFFFFFFu);
        ::SelectObject(Mem, Old);
        ::DeleteObject(Bmp);
    }
    ::DeleteDC(Mem);
    ::ReleaseDC(nullptr, Screen);
    return Pixels;
}

// Writes W x H pixels (0x00RRGGBB, row by row) as a PNG file.
inline bool WritePng(const std::string& File, int W, int H, const std::vector<std::uint32_t>& Pixels)
{
    if (W <= 0 || H <= 0 || Pixels.size() != static_cast<std::size_t>(W) * H)
        return false;
    std::vector<std::uint8_t> Raw;
    for (int Y = 0; Y < H; ++Y) {
        Raw.push_back(0);  // no filter
        for (int X = 0; X < W; ++X) {
            const std::uint32_t P = Pixels[static_cast<std::size_t>(Y) * W + X];
            Raw.insert(Raw.end(), {static_cast<std::uint8_t>(P >> 16), static_cast<std::uint8_t>(P >> 8),
                                   static_cast<std::uint8_t>(P)});
        }
    }
    // zlib stream of stored blocks.
    std::vector<std::uint8_t> Z = {0x78, 0x01};
    for (std::size_t Pos = 0; Pos < Raw.size();) {
        const std::size_t N = std::min<std::size_t>(65535, Raw.size() - Pos);
        Z.push_back(Pos + N == Raw.size() ? 1 : 0);
        Z.insert(Z.end(), {static_cast<std::uint8_t>(N), static_cast<std::uint8_t>(N >> 8),
                           static_cast<std::uint8_t>(~N), static_cast<std::uint8_t>(~N >> 8)});
        Z.insert(Z.end(), Raw.begin() + static_cast<std::ptrdiff_t>(Pos),
                 Raw.begin() + static_cast<std::ptrdiff_t>(Pos + N));
        Pos += N;
    }
    std::uint32_t A = 1, B = 0;
    for (std::uint8_t C : Raw) {
        A = (A + C) % 65521;
        B = (B + A) % 65521;
    }
    shot::Put32(Z, (B << 16) | A);
    std::vector<std::uint8_t> Out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> Header;
    shot::Put32(Header, static_cast<std::uint32_t>(W));
    shot::Put32(Header, static_cast<std::uint32_t>(H));
    Header.insert(Header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    shot::Chunk(Out, "IHDR", Header);
    shot::Chunk(Out, "IDAT", Z);
    shot::Chunk(Out, "IEND", {});
    FILE* F = std::fopen(File.c_str(), "wb");
    if (!F)
        return false;
    const bool Ok = std::fwrite(Out.data(), 1, Out.size(), F) == Out.size();
    return std::fclose(F) == 0 && Ok;
}

// False when the window could not be read or the file not written.
inline bool SaveWindowPng(HWND Wnd, const std::string& File)
{
    RECT R;
    if (!::GetWindowRect(Wnd, &R))
        return false;
    return WritePng(File, R.right - R.left, R.bottom - R.top, CaptureScreen(R));
}
