#include "shell/Shell_Win32.h"

#include <stdexcept>

static bool EndsWith(const std::wstring& S, const std::wstring& Tail)
{
    return S.size() >= Tail.size() && S.compare(S.size() - Tail.size(), Tail.size(), Tail) == 0;
}

std::wstring UpperCaseW(const std::wstring& S)
{
    std::wstring R = S;
    for (wchar_t& C : R)
        if (C >= L'a' && C <= L'z')
            C = static_cast<wchar_t>(C - L'a' + L'A');
    return R;
}

bool SameTextW(const std::wstring& A, const std::wstring& B)
{
    return A.size() == B.size() && UpperCaseW(A) == UpperCaseW(B);
}

std::wstring AdjustWildcard(const std::wstring& Pattern)
{
    return EndsWith(Pattern, L"*.*") ? Pattern + L".*" : Pattern;
}

static std::vector<std::wstring> SplitPatterns(const std::wstring& Pattern)
{
    std::vector<std::wstring> Parts;
    std::size_t Start = 0;
    while (Start <= Pattern.size()) {
        std::size_t End = Pattern.find(L';', Start);
        if (End == std::wstring::npos)
            End = Pattern.size();
        std::wstring Part = Pattern.substr(Start, End - Start);
        const std::size_t First = Part.find_first_not_of(L' ');
        Part = First == std::wstring::npos ? std::wstring() : Part.substr(First);
        if (!Part.empty())
            Parts.push_back(Part);
        Start = End + 1;
    }
    return Parts;
}

std::vector<std::wstring> SpecCandidates(const std::wstring& Pattern)
{
    std::vector<std::wstring> Result{AdjustWildcard(Pattern)};
    if (Pattern.find(L"*.*") == std::wstring::npos)
        return Result;
    for (const std::wstring& Part : SplitPatterns(Pattern))
        if (EndsWith(Part, L"*.*"))
            Result.push_back(Part.substr(0, Part.size() - 2));
    return Result;
}

// Iterative matcher with one backtrack point for the last '*'.
static bool MatchOne(const std::wstring& Name, const std::wstring& Pattern)
{
    const std::wstring N = UpperCaseW(Name), P = UpperCaseW(Pattern);
    std::size_t I = 0, J = 0, StarJ = std::wstring::npos, StarI = 0;
    while (I < N.size()) {
        if (J < P.size() && (P[J] == L'?' || P[J] == N[I])) {
            ++I;
            ++J;
        } else if (J < P.size() && P[J] == L'*') {
            StarJ = J++;
            StarI = I;
        } else if (StarJ != std::wstring::npos) {
            J = StarJ + 1;
            I = ++StarI;
        } else {
            return false;
        }
    }
    while (J < P.size() && P[J] == L'*')
        ++J;
    // A trailing ".*" may match a name without an extension.
    if (J < P.size() && P.compare(J, std::wstring::npos, L".*") == 0)
        J = P.size();
    return J == P.size();
}

bool WildcardMatch(const std::wstring& Name, const std::wstring& Pattern)
{
    for (const std::wstring& Part : SplitPatterns(Pattern))
        if (MatchOne(Name, Part))
            return true;
    return false;
}

int PosFrom(const std::wstring& Sub, const std::wstring& Text, int Start)
{
    if (Start < 1)
        throw std::out_of_range("PosFrom: start below 1");
    if (Sub.empty() || static_cast<std::size_t>(Start - 1) + Sub.size() > Text.size())
        return 0;
    const std::size_t At = Text.find(Sub, static_cast<std::size_t>(Start - 1));
    return At == std::wstring::npos ? 0 : static_cast<int>(At) + 1;
}

bool IsReparsePoint(unsigned long Attributes)
{
    return Attributes != 0xFFFFFFFFul && (Attributes & 0x400ul) != 0;
}
