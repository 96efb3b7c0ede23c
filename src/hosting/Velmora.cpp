#include "hosting/Velmora.h"

#include <climits>
#include <cmath>

std::string UpperCaseAscii(const std::string& S)
{
    std::string R = S;
    for (char& C : R)
        C = UpCaseAscii(C);
    return R;
}

std::string LowerCaseAscii(const std::string& S)
{
    std::string R = S;
    for (char& C : R)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return R;
}

bool SameText(std::string_view A, std::string_view B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (A[I] != B[I] && UpCaseAscii(A[I]) != UpCaseAscii(B[I]))
            return false;
    return true;
}

int CompareText(std::string_view A, std::string_view B)
{
    const std::size_t N = A.size() < B.size() ? A.size() : B.size();
    for (std::size_t I = 0; I < N; ++I) {
        const auto CA = static_cast<unsigned char>(UpCaseAscii(A[I]));
        const auto CB = static_cast<unsigned char>(UpCaseAscii(B[I]));
        if (CA != CB)
            return CA < CB ? -1 : 1;
    }
    return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
}

static bool IsTrimmed(char C)
{
    return static_cast<unsigned char>(C) <= ' ';
}

static std::string_view TrimLeftView(std::string_view S)
{
    std::size_t B = 0;
    while (B < S.size() && IsTrimmed(S[B]))
        ++B;
    return S.substr(B);
}

static std::string_view TrimRightView(std::string_view S)
{
    std::size_t E = S.size();
    while (E > 0 && IsTrimmed(S[E - 1]))
        --E;
    return S.substr(0, E);
}

std::string TrimLeft(std::string_view S)
{
    return std::string(TrimLeftView(S));
}

std::string TrimRight(std::string_view S)
{
    return std::string(TrimRightView(S));
}

std::string Trim(std::string_view S)
{
    return std::string(TrimView(S));
}

bool TryStrToInt(std::string_view S, int& Value)
{
    std::size_t I = 0;
    while (I < S.size() && S[I] == ' ')
        ++I;
    bool Negative = false;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) {
        Negative = S[I] == '-';
        ++I;
    }
    if (I >= S.size())
        return false;
    long long Acc = 0;
    for (; I < S.size(); ++I) {
        if (S[I] < '0' || S[I] > '9')
            return false;
        Acc = Acc * 10 + (S[I] - '0');
        if (Acc > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (Negative)
        Acc = -Acc;
    if (Acc > INT_MAX || Acc < INT_MIN)
        return false;
    Value = static_cast<int>(Acc);
    return true;
}

std::string IntToStr(long long Value)
{
    return std::to_string(Value);
}

int FieldCount(const std::string& S, char Delim)
{
    if (S.empty())
        return 0;
    int N = 1;
    for (char C : S)
        if (C == Delim)
            ++N;
    return N;
}

void LocateField(const std::string& S, int Index, char Delim, int& Start, int& Len)
{
    Start = 0;
    Len = 0;
    if (Index < 1 || S.empty())
        return;
    int Field = 1;
    std::size_t Pos = 0;
    while (Field < Index) {
        std::size_t Next = S.find(Delim, Pos);
        if (Next == std::string::npos)
            return;
        Pos = Next + 1;
        ++Field;
    }
    std::size_t End = S.find(Delim, Pos);
    if (End == std::string::npos)
        End = S.size();
    Start = static_cast<int>(Pos) + 1;
    Len = static_cast<int>(End - Pos);
}

std::string GetField(const std::string& S, int Index, char Delim)
{
    int Start, Len;
    LocateField(S, Index, Delim, Start, Len);
    if (Start == 0 || Len == 0)
        return std::string();
    return S.substr(static_cast<std::size_t>(Start - 1), static_cast<std::size_t>(Len));
}

bool ReplaceField(std::string& S, int Index, char Delim, const std::string& Value)
{
    int Start, Len;
    LocateField(S, Index, Delim, Start, Len);
    if (Start == 0)
        return false;
    S.replace(static_cast<std::size_t>(Start - 1), static_cast<std::size_t>(Len), Value);
    return true;
}

std::string ReplaceFieldTo(const std::string& S, int Index, char Delim, const std::string& Value)
{
    std::string R = S;
    ReplaceField(R, Index, Delim, Value);
    return R;
}

std::string JoinStrings(const StringList& List, const std::string& Sep)
{
    try {
        std::string R;
        for (std::size_t I = 0; I < List.size(); ++I) {
            if (I > 0)
                R += Sep;
            R += List[I];
        }
        return R;
    } catch (...) {
        return std::string();
    }
}

std::string JoinStringsChar(const StringList& List, char Sep)
{
    return JoinStrings(List, std::string(1, Sep));
}

// The fields of Text's first Size characters.
static void SplitFirst(StringList& List, const std::string& Text, std::size_t Size, char Delim)
{
    List.clear();
    std::size_t Pos = 0;
    while (Pos < Size) {
        std::size_t End = Text.find(Delim, Pos);
        if (End == std::string::npos || End > Size)
            End = Size;
        List.push_back(Text.substr(Pos, End - Pos));
        Pos = End < Size ? End + 1 : End;
    }
}

void SplitToStrings(StringList& List, const std::string& Text, char Delim)
{
    // A NUL ends the text, as it would a C string.
    const std::size_t Nul = Text.find('\0');
    SplitFirst(List, Text, Nul == std::string::npos ? Text.size() : Nul, Delim);
}

void SplitToStringsWhole(StringList& List, const std::string& Text, char Delim)
{
    SplitFirst(List, Text, Text.size(), Delim);
}

void AppendPadded(std::string& Out, std::string_view S, int Width, char Fill, std::uint8_t Mode)
{
    if (Width <= 0)
        return;
    const std::size_t W = static_cast<std::size_t>(Width);
    S = S.substr(0, W);
    const std::size_t Missing = W - S.size();
    const std::size_t Front = PadFront(Missing, Mode);
    Out.append(Front, Fill);
    Out.append(S);
    Out.append(Missing - Front, Fill);
}

void PadString(std::string& S, int Width, char Fill, std::uint8_t Mode)
{
    std::string R;
    AppendPadded(R, S, Width, Fill, Mode);
    S = std::move(R);
}

std::string PadStringTo(const std::string& S, int Width, char Fill, std::uint8_t Mode)
{
    std::string R = S;
    PadString(R, Width, Fill, Mode);
    return R;
}

std::string MakeIdentifier(const std::string& S)
{
    std::string R;
    for (char C : S) {
        if (C == ' ')
            R += '_';
        else if ((C >= '0' && C <= '9') || (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z'))
            R += C;
    }
    return R;
}

void CollapseSeparators(std::string& S, char Sep)
{
    std::string R;
    for (char C : S)
        if (C != Sep || R.empty() || R.back() != Sep)
            R += C;
    if (!R.empty() && R.front() == Sep)
        R.erase(0, 1);
    if (!R.empty() && R.back() == Sep)
        R.pop_back();
    S = R;
}

int StrToIntDefTrim(std::string_view S, int Default)
{
    int V;
    return TryStrToInt(TrimView(S), V) ? V : Default;
}

bool IsPathDelimiter(char C)
{
    return C == '\\' || C == '/';
}

static std::size_t NameStart(const std::string& FileName)
{
    std::size_t I = FileName.size();
    while (I > 0 && !IsPathDelimiter(FileName[I - 1]) && FileName[I - 1] != ':')
        --I;
    return I;
}

std::string ExtractFilePath(const std::string& FileName)
{
    return FileName.substr(0, NameStart(FileName));
}

std::string ExtractFileName(const std::string& FileName)
{
    return FileName.substr(NameStart(FileName));
}

std::string ExtractFileExt(const std::string& FileName)
{
    const std::string Name = ExtractFileName(FileName);
    const std::size_t Dot = Name.rfind('.');
    return Dot == std::string::npos ? std::string() : Name.substr(Dot);
}

// Drops the first folder of Dir, leaving "...\" in its place.
static void CutFirstDirectory(std::string& Dir)
{
    // A bare root has no folder left to cut; keeping it would never shorten.
    if (Dir == "\\") {
        Dir.clear();
        return;
    }
    const bool Root = !Dir.empty() && Dir[0] == '\\';
    if (Root)
        Dir.erase(0, 1);
    if (Dir.compare(0, 4, "...\\") == 0)
        Dir.erase(0, 4);
    const std::size_t P = Dir.find('\\');
    if (P != std::string::npos)
        Dir = "...\\" + Dir.substr(P + 1);
    else
        Dir.clear();
    if (Root)
        Dir = "\\" + Dir;
}

std::string MinimizeName(const std::string& FileName,
                         const std::function<int(const std::string&)>& TextWidth,
                         int MaxWidth)
{
    std::string Result = FileName;
    std::string Dir = ExtractFilePath(Result);
    const std::string Name = ExtractFileName(Result);
    std::string Drive;
    if (Dir.size() >= 2 && Dir[1] == ':') {
        Drive = Dir.substr(0, 2);
        Dir.erase(0, 2);
    }
    while ((!Dir.empty() || !Drive.empty()) && TextWidth(Result) > MaxWidth) {
        if (Dir == "\\...\\") {
            Drive.clear();
            Dir = "...\\";
        } else if (Dir.empty()) {
            Drive.clear();
        } else {
            CutFirstDirectory(Dir);
        }
        Result = Drive + Dir + Name;
    }
    return Result;
}

bool IsValidDate(int Year, int Month, int Day)
{
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1)
        return false;
    const bool Leap = (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0;
    const int Max = Days[Month - 1] + ((Month == 2 && Leap) ? 1 : 0);
    return Day <= Max;
}

// Day number of a proleptic Gregorian date (days from 1 March of year 0).
static long long DayNumber(int Y, int M, int D)
{
    if (M <= 2) {
        Y -= 1;
        M += 12;
    }
    return 365LL * Y + Y / 4 - Y / 100 + Y / 400 + (153 * (M - 3) + 2) / 5 + D - 1;
}

static const long long Epoch = DayNumber(1899, 12, 30);

bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date)
{
    if (!IsValidDate(Year, Month, Day))
        return false;
    Date = static_cast<TDateTime>(DayNumber(Year, Month, Day) - Epoch);
    return true;
}

void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day)
{
    const long long N = static_cast<long long>(std::floor(Date)) + Epoch;
    // Inverse of DayNumber.
    long long Y = (10000 * N + 14780) / 3652425;
    long long DDD = N - (365 * Y + Y / 4 - Y / 100 + Y / 400);
    if (DDD < 0) {
        --Y;
        DDD = N - (365 * Y + Y / 4 - Y / 100 + Y / 400);
    }
    const long long MI = (100 * DDD + 52) / 3060;
    const long long MM = (MI + 2) % 12 + 1;
    Y += (MI + 2) / 12;
    Year = static_cast<int>(Y);
    Month = static_cast<int>(MM);
    Day = static_cast<int>(DDD - (MI * 306 + 5) / 10 + 1);
}
