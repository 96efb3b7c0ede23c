#include "hosting/FileVersion.h"

#include "hosting/Velmora.h"


TFileVersion MakeVersion(unsigned A, unsigned B, unsigned C, unsigned D)
{
    TFileVersion V;
    V.MS = ((A & 0xFFFFu) << 16) | (B & 0xFFFFu);
    V.LS = ((C & 0xFFFFu) << 16) | (D & 0xFFFFu);
    return V;
}

std::string VersionToStr(const TFileVersion& V)
{
    if (V.MS == 0 && V.LS == 0)
        return std::string();
    std::string R = IntToStr(V.MS >> 16) + "." + IntToStr(V.MS & 0xFFFFu);
    if (V.LS != 0)
        R += "." + IntToStr(V.LS >> 16);
    if ((V.LS & 0xFFFFu) != 0)
        R += "." + IntToStr(V.LS & 0xFFFFu);
    return R;
}

bool StrToVersion(const std::string& Text, TFileVersion& V)
{
    V = TFileVersion();
    const int N = FieldCount(Text, '.');
    if (N < 1 || N > 4)
        return false;
    unsigned Parts[4] = {0, 0, 0, 0};
    for (int I = 0; I < N; ++I) {
        int Value;
        if (!TryStrToInt(GetField(Text, I + 1, '.'), Value) || Value < 0 || Value > 65535)
            return false;
        Parts[I] = static_cast<unsigned>(Value);
        V = MakeVersion(Parts[0], Parts[1], Parts[2], Parts[3]);
    }
    return true;
}

bool VersionsEqual(const TFileVersion& A, const TFileVersion& B)
{
    return A.MS == B.MS && A.LS == B.LS;
}

bool VersionLess(const TFileVersion& A, const TFileVersion& B)
{
    return A.MS < B.MS || (A.MS == B.MS && A.LS < B.LS);
}

bool VersionLessOrEqual(const TFileVersion& A, const TFileVersion& B)
{
    return !VersionLess(B, A);
}

bool VersionGreater(const TFileVersion& A, const TFileVersion& B)
{
    return VersionLess(B, A);
}

bool VersionGreaterOrEqual(const TFileVersion& A, const TFileVersion& B)
{
    return !VersionLess(A, B);
}
