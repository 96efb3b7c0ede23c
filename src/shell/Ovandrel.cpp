#include "shell/Ovandrel.h"

#include "shell/Shell_Win32.h"

#include <cstdio>

std::wstring ExtractFileDriveW(const std::wstring& Path)
{
    if (Path.size() >= 2 && Path[1] == L':')
        return Path.substr(0, 2);
    if (Path.size() >= 2 && Path[0] == L'\\' && Path[1] == L'\\') {
        // Up to the backslash that ends the share name.
        int Seen = 0;
        std::size_t I = 2;
        for (; I < Path.size(); ++I)
            if (Path[I] == L'\\' && ++Seen == 2)
                break;
        return Path.substr(0, I);
    }
    return std::wstring();
}

std::wstring IncludeTrailingBackslash(const std::wstring& Path)
{
    return !Path.empty() && Path.back() == L'\\' ? Path : Path + L'\\';
}

std::wstring ExcludeTrailingBackslash(const std::wstring& Path)
{
    return !Path.empty() && Path.back() == L'\\' ? Path.substr(0, Path.size() - 1) : Path;
}

std::wstring ExtractFileExtW(const std::wstring& Path)
{
    const std::size_t Dot = Path.find_last_of(L".\\:");
    return Dot != std::wstring::npos && Path[Dot] == L'.' ? Path.substr(Dot) : std::wstring();
}

bool IsDriveRoot(const std::wstring& Path)
{
    const std::wstring Drive = ExtractFileDriveW(Path);
    if (Drive.empty())
        return false;
    return Drive == Path || (Path.back() == L'\\' && Drive == Path.substr(0, Path.size() - 1));
}

bool IsDriveLetterPath(const std::wstring& Path)
{
    if (Path.size() < 3 || Path[1] != L':' || Path[2] != L'\\')
        return false;
    const wchar_t Letter = UpperCaseW(Path.substr(0, 1))[0];
    return Letter >= L'A' && Letter <= L'Z';
}

bool IsUncPath(const std::wstring& Path)
{
    if (Path.size() < 3 || Path[0] != L'\\' || Path[1] != L'\\')
        return false;
    if (Path.size() >= 4 && Path.compare(0, 4, L"\\\\?\\") == 0)
        return Path.size() >= 8 && UpperCaseW(Path.substr(4, 3)) == L"UNC" && Path[7] == L'\\';
    return Path.find(L'\\', 2) != std::wstring::npos;
}

bool IsAbsolutePath(const std::wstring& Path)
{
    return IsDriveLetterPath(Path) || IsUncPath(Path);
}

bool HasFileExt(const std::wstring& Path, const std::wstring& Ext)
{
    std::wstring Wanted = Ext;
    if (!Wanted.empty() && Wanted[0] != L'.')
        Wanted = L'.' + Wanted;
    return SameTextW(ExtractFileExtW(ExcludeTrailingBackslash(Path)), Wanted);
}

bool SamePath(const std::wstring& A, const std::wstring& B)
{
    return SameTextW(ExcludeTrailingBackslash(A), ExcludeTrailingBackslash(B));
}

bool StartsWithText(const std::wstring& S, const std::wstring& Prefix)
{
    return !Prefix.empty() && S.size() >= Prefix.size() &&
           SameTextW(S.substr(0, Prefix.size()), Prefix);
}

bool IsPathBelow(const std::wstring& Folder, const std::wstring& Path)
{
    if (Path.empty() || Folder.empty())
        return false;
    return StartsWithText(IncludeTrailingBackslash(Path), IncludeTrailingBackslash(Folder)) &&
           !SamePath(Folder, Path);
}

std::int64_t MakeInt64(std::uint32_t Low, std::uint32_t High)
{
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(High) << 32) | Low);
}

std::wstring ReplaceTextIgnoringCase(const std::wstring& Text, const std::wstring& What,
                                     const std::wstring& With)
{
    if (What.empty())
        return Text;
    const std::wstring Upper = UpperCaseW(Text), Key = UpperCaseW(What);
    std::wstring Result;
    std::size_t From = 0, At;
    while ((At = Upper.find(Key, From)) != std::wstring::npos) {
        Result.append(Text, From, At - From).append(With);
        From = At + What.size();
    }
    return Result.append(Text, From, std::wstring::npos);
}

static std::wstring Digits(const char* Format, int A, int B, int C)
{
    char Buf[32];
    std::snprintf(Buf, sizeof Buf, Format, A, B, C);
    return std::wstring(Buf, Buf + std::char_traits<char>::length(Buf));
}

std::wstring ReplacePlaceholders(const std::wstring& Text, const TClockReading& Now,
                                 const std::function<std::wstring()>& MyDocuments)
{
    std::wstring R = ReplaceTextIgnoringCase(
        Text, L"%DATE%", Digits("%04d-%02d-%02d", Now.Year, Now.Month, Now.Day));
    R = ReplaceTextIgnoringCase(R, L"%TIME%",
                                Digits("%02d-%02d-%02d", Now.Hour, Now.Minute, Now.Second));
    if (UpperCaseW(R).find(L"%MYDOCUMENTS%") != std::wstring::npos)
        R = ReplaceTextIgnoringCase(R, L"%MYDOCUMENTS%", MyDocuments());
    return R;
}

std::vector<std::wstring> ParseFilter(const std::wstring& Filter)
{
    std::vector<std::wstring> Patterns;
    if (Filter.empty() || Filter == L"*")
        return Patterns;
    std::size_t From = 0, At;
    const std::wstring Text = Filter.back() == L';' ? Filter : Filter + L';';
    while ((At = Text.find(L';', From)) != std::wstring::npos) {
        Patterns.push_back(Text.substr(From, At - From));
        From = At + 1;
    }
    return Patterns;
}

std::wstring JoinFilter(const std::vector<std::wstring>& Patterns)
{
    if (Patterns.empty())
        return L"*";
    std::wstring R;
    for (const std::wstring& P : Patterns)
        R += (R.empty() ? L"" : L";") + P;
    return R;
}

std::wstring NormalizeListPath(const std::wstring& Path)
{
    return IsDriveRoot(Path) ? IncludeTrailingBackslash(Path) : ExcludeTrailingBackslash(Path);
}

bool PathTakesFolderIcon(const std::wstring& Path)
{
    if (Path.empty())
        return false;
    if (Path.back() == L'\\')
        return true;
    std::size_t Backslashes = 0;
    for (wchar_t C : Path)
        Backslashes += C == L'\\';
    return Path[0] == L'\\' && Backslashes <= 3;
}

std::wstring ExtensionProbeName(const std::wstring& Root, const std::wstring& Ext)
{
    if (Ext.empty())
        return Root + L"test";
    return Root + (Ext[0] == L'.' ? L"test" : L"test.") + Ext;
}
