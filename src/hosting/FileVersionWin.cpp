#include "hosting/FileVersionWin.h"

#include <windows.h>

#include <cstring>
#include <vector>

bool GetFileVersion(const std::string& FileName, TFileVersion& V)
{
    V = TFileVersion();
    DWORD Dummy = 0;
    const DWORD Size = ::GetFileVersionInfoSizeA(FileName.c_str(), &Dummy);
    if (Size == 0)
        return false;
    std::vector<char> Buffer(Size);
    if (!::GetFileVersionInfoA(FileName.c_str(), 0, Size, Buffer.data()))
        return false;
    void* Fixed = nullptr;
    UINT Len = 0;
    if (!::VerQueryValueA(Buffer.data(), "\\", &Fixed, &Len) || Fixed == nullptr)
        return false;
    // The block comes from an arbitrary file: the answer must lie inside
    // the buffer, be a whole record and carry the record's signature.
    const char* P = static_cast<const char*>(Fixed);
    if (Len < sizeof(VS_FIXEDFILEINFO) || P < Buffer.data() ||
        P + sizeof(VS_FIXEDFILEINFO) > Buffer.data() + Buffer.size())
        return false;
    VS_FIXEDFILEINFO Info;
    memcpy(&Info, P, sizeof(Info));
    if (Info.dwSignature != 0xFEEF04BDu)
        return false;
    V.MS = Info.dwFileVersionMS;
    V.LS = Info.dwFileVersionLS;
    return true;
}
