#include "hosting/Identify.h"

#include <string_view>
#include <unordered_map>
#include <vector>

static const IFileProbe* ActiveProbe = nullptr;

void SetFileProbe(const IFileProbe* Probe)
{
    ActiveProbe = Probe;
}

const IFileProbe* GetFileProbe()
{
    return ActiveProbe;
}

static bool ExeExists(const std::string& ExeName)
{
    return ActiveProbe && ActiveProbe->FileExists(ExeName);
}

bool MatchExePattern(const std::string& FileName, const std::string& Pattern)
{
    const std::size_t Star = Pattern.find('*');
    if (Star == std::string::npos)
        return SameText(FileName, Pattern);
    const std::string Prefix = Pattern.substr(0, Star);
    const std::string Suffix = Pattern.substr(Star + 1);
    // Prefix and suffix are tested independently, so they may overlap.
    if (FileName.size() < Prefix.size() || FileName.size() < Suffix.size())
        return false;
    return SameText(FileName.substr(0, Prefix.size()), Prefix) &&
           SameText(FileName.substr(FileName.size() - Suffix.size()), Suffix);
}

bool CheckVersion(const TVersionCondition& Cond, const TFileVersion& FileVersion)
{
    switch (Cond.Operator) {
    case vcEqual: return VersionsEqual(FileVersion, Cond.Version);
    case vcLess: return VersionLess(FileVersion, Cond.Version);
    case vcLessOrEqual: return VersionLessOrEqual(FileVersion, Cond.Version);
    case vcGreater: return VersionGreater(FileVersion, Cond.Version);
    case vcGreaterOrEqual: return VersionGreaterOrEqual(FileVersion, Cond.Version);
    default: return true;
    }
}

namespace {

enum class TEntryMatch { No, Yes, VersionOnly };

// One pass over the cell: the fields after the first name the files.
bool NeededFilesPresent(const IFileProbe& Probe, const std::string& FilesNeeded,
                        const std::string& Folder)
{
    std::size_t Start = FilesNeeded.find(';');
    while (Start != std::string::npos) {
        const std::size_t End = FilesNeeded.find(';', Start + 1);
        const std::size_t Len = (End == std::string::npos ? FilesNeeded.size() : End) - Start - 1;
        if (!Probe.FileExists(Folder + FilesNeeded.substr(Start + 1, Len)))
            return false;
        Start = End;
    }
    return true;
}

// The executable's version, read at the first entry that asks for it: the
// entries of one program's versions all test the same file.
struct TVersionRead {
    bool Read = false;
    bool Has = false;
    TFileVersion Version;
    bool Get(const IFileProbe& Probe, const std::string& ExeName, TFileVersion& V)
    {
        if (!Read) {
            Has = Probe.GetFileVersion(ExeName, Version);
            Read = true;
        }
        V = Has ? Version : TFileVersion();
        return Has;
    }
};

// Tests one entry; Version receives the file version when it was read.
TEntryMatch MatchEntry(const IFileProbe& Probe, const Tknownapp& Entry, const std::string& AppName,
                       const std::string& ExeName, TFileVersion& Version, TVersionRead& Read)
{
    Version = TFileVersion();
    if (!MatchExePattern(ExtractFileName(ExeName), GetField(Entry.FilesNeeded, 1, ';')))
        return TEntryMatch::No;
    if (!AppName.empty() && !SameText(AppName, Entry.Name))
        return TEntryMatch::No;
    if (!NeededFilesPresent(Probe, Entry.FilesNeeded, ExtractFilePath(ExeName)))
        return TEntryMatch::No;
    if (Entry.ExeSize > 0) {
        std::int64_t Size;
        if (!Probe.GetFileSize(ExeName, Size) || Size != Entry.ExeSize)
            return TEntryMatch::No;
    }
    const TVersionCondition& Cond = Entry.VersionCondition;
    if (Cond.Operator == vcNone)
        return TEntryMatch::Yes;
    if (!Read.Get(Probe, ExeName, Version))
        return Cond.Operator == vcAny ? TEntryMatch::Yes : TEntryMatch::No;
    return CheckVersion(Cond, Version) ? TEntryMatch::Yes : TEntryMatch::VersionOnly;
}

using TNameMap = std::unordered_map<std::string_view, int, SameTextHash, SameTextEqual>;

// Chains the entries by a key: First holds the first entry of each key,
// Next from every entry the next one of the same key (-1 after the last).
// KeyOf(I, Key) false leaves entry I out.
template <typename F> void ChainByKey(TNameMap& First, std::vector<int>& Next, F KeyOf)
{
    const auto Count = static_cast<std::size_t>(KnownApps.Count());
    First.clear();
    First.reserve(Count);
    Next.assign(Count, -1);
    std::vector<int> Last(Count, -1);
    for (int I = 0; I < static_cast<int>(Count); ++I) {
        std::string_view Key;
        if (!KeyOf(I, Key))
            continue;
        const auto Added = First.emplace(Key, I);
        int& Tail = Last[static_cast<std::size_t>(Added.first->second)];
        if (!Added.second)
            Next[static_cast<std::size_t>(Tail)] = I;
        Tail = I;
    }
}

// The entries by their executable's pattern (the first field of Files
// needed): the first entry of each plain name and, from every entry, the
// next one of the same name (-1 after the last); the patterns with '*'
// apart, in index order. The keys point into the entries, so the index is
// built again after every change of KnownApps.
struct TExeIndex {
    std::uint64_t Revision = ~std::uint64_t(0);
    TNameMap First;
    std::vector<int> Next;
    std::vector<int> Wild;
};

TExeIndex Exes;

// The entries whose pattern can match FileName, in index order: a search
// over 20,000 entries identifies each executable without a walk of them all.
std::vector<int> EntriesForExe(const std::string& FileName)
{
    if (Exes.Revision != KnownApps.Revision()) {
        Exes.Wild.clear();
        ChainByKey(Exes.First, Exes.Next, [](int I, std::string_view& Pattern) {
            const std::string& Files = KnownApps.GetKnownApp(I)->FilesNeeded;
            Pattern = std::string_view(Files).substr(0, Files.find(';'));
            if (Pattern.find('*') == std::string_view::npos)
                return true;
            Exes.Wild.push_back(I);
            return false;
        });
        Exes.Revision = KnownApps.Revision();
    }
    std::vector<int> Entries;
    const auto It = Exes.First.find(FileName);
    int Named = It == Exes.First.end() ? -1 : It->second;
    auto Wild = Exes.Wild.begin();
    while (Named >= 0 || Wild != Exes.Wild.end()) {
        if (Named >= 0 && (Wild == Exes.Wild.end() || Named < *Wild)) {
            Entries.push_back(Named);
            Named = Exes.Next[static_cast<std::size_t>(Named)];
        } else {
            Entries.push_back(*Wild++);
        }
    }
    return Entries;
}

// IdentifyApplication, also telling which condition failed last.
TIdentifyResult Identify(const std::string& AppName, const std::string& ExeName,
                         TIdentifyInfo& Info, TVersionCondition& FailedCondition)
{
    Info = TIdentifyInfo();
    FailedCondition = TVersionCondition();
    if (!ExeExists(ExeName))
        return irExeNotFound;
    TIdentifyResult Result = irUnknown;
    TVersionRead Read;
    for (const int I : EntriesForExe(ExtractFileName(ExeName))) {
        const Tknownapp& Entry = *KnownApps.GetKnownApp(I);
        TFileVersion Version;
        switch (MatchEntry(*ActiveProbe, Entry, AppName, ExeName, Version, Read)) {
        case TEntryMatch::Yes:
            Info.Index = I;
            Info.Version = Version;
            return static_cast<TIdentifyResult>(Entry.Method);
        case TEntryMatch::VersionOnly:
            Result = irIllegalVersion;
            FailedCondition = Entry.VersionCondition;
            break;
        case TEntryMatch::No:
            break;
        }
    }
    return Result;
}

std::string_view WithoutSuffix(std::string_view Name)
{
    return Name.substr(0, Name.find(" ("));
}

// The first entry of each name and, from every entry, the next one of the
// same name (-1 after the last); the first entry of each name without its
// suffix. The keys point into the entries' names, so the index is built
// again after every change of KnownApps.
struct TNameIndex {
    std::uint64_t Revision = ~std::uint64_t(0);
    TNameMap First;
    std::vector<int> Next;
    std::uint64_t StrippedRevision = ~std::uint64_t(0);
    TNameMap Stripped;
};

TNameIndex Names;

const TNameIndex& NameIndex()
{
    if (Names.Revision != KnownApps.Revision()) {
        ChainByKey(Names.First, Names.Next, [](int I, std::string_view& Name) {
            Name = KnownApps.GetKnownApp(I)->Name;
            return true;
        });
        Names.Revision = KnownApps.Revision();
    }
    return Names;
}

int FirstEntryNamed(std::string_view Name)
{
    const TNameMap& First = NameIndex().First;
    const auto It = First.find(Name);
    return It == First.end() ? -1 : It->second;
}

int FirstEntryStripped(std::string_view Name)
{
    if (Names.StrippedRevision != KnownApps.Revision()) {
        Names.Stripped.clear();
        for (int I = 0; I < KnownApps.Count(); ++I) {
            const std::string& Full = KnownApps.GetKnownApp(I)->Name;
            Names.Stripped.emplace(WithoutSuffix(Full), I);
        }
        Names.StrippedRevision = KnownApps.Revision();
    }
    const auto It = Names.Stripped.find(WithoutSuffix(Name));
    return It == Names.Stripped.end() ? -1 : It->second;
}

std::string Quoted(const std::string& Text)
{
    return "\"" + Text + "\"";
}

// Names the condition that failed, so the user is never sent for a newer
// version when an older one is wanted.
std::string VersionAdvice(const TVersionCondition& Cond)
{
    std::string Version = VersionToStr(Cond.Version);
    if (Version.empty())
        Version = "0";
    switch (Cond.Operator) {
    case vcGreaterOrEqual:
        return "Please try to download a newer version (minimum " + Version + ")!";
    case vcGreater:
        return "Please try to download a newer version (later than " + Version + ")!";
    case vcLessOrEqual:
        return "Please try to download an older version (maximum " + Version + ")!";
    case vcLess:
        return "Please try to download an older version (earlier than " + Version + ")!";
    default:
        return "Please try to download version " + Version + "!";
    }
}

std::string IdentifyMessage(TIdentifyResult Result, const std::string& ExeName,
                            const TIdentifyInfo& Info, const TVersionCondition& FailedCondition,
                            bool AsExternal)
{
    const Tknownapp* Entry = KnownApps.GetKnownApp(Info.Index);
    const std::string FileName = ExtractFileName(ExeName);
    switch (Result) {
    case irUnknown:
        return Quoted(FileName) + " is not a known application\r" +
               "or not all necessary files are present!";
    case irUnsupported: {
        std::string Message = Quoted(Entry->Name) + " is not supported by Tessarine!";
        if (!Entry->Problems.empty())
            Message += "\rReason: " + Entry->Problems;
        return Message;
    }
    case irExternal:
        if (AsExternal)
            return std::string();
        return Quoted(Entry->Name) + " cannot be executed in a panel!\r" +
               "But you may start it as an external application.";
    case irExeNotFound:
        return "EXE file not found!";
    case irIllegalVersion:
        return "Illegal version of " + Quoted(FileName) + ".\r" + VersionAdvice(FailedCondition);
    default:
        return std::string();
    }
}

} // namespace

TIdentifyResult IdentifyApplication(const std::string& AppName, const std::string& ExeName,
                                    TIdentifyInfo& Info, TFileVersion& MinVersion)
{
    TVersionCondition Failed;
    const TIdentifyResult Result = Identify(AppName, ExeName, Info, Failed);
    MinVersion = Failed.Version;
    return Result;
}

TIdentifyResult CheckApplication(const std::string& AppName, const std::string& ExeName,
                                 TIdentifyInfo& Info, std::string& Message, bool AsExternal)
{
    Info = TIdentifyInfo();
    TVersionCondition Failed;
    const TIdentifyResult Result =
        ExeExists(ExeName) ? Identify(AppName, ExeName, Info, Failed) : irExeNotFound;
    Message = IdentifyMessage(Result, ExeName, Info, Failed, AsExternal);
    return Result;
}

static bool FieldFits(const std::string& RuleField, const std::string& Value)
{
    return RuleField == NotGiven || SameText(RuleField, Value);
}

static bool RuleMatches(const Tappwindow& Rule, const std::string& FileName,
                        const std::string& Title, const std::string& Class)
{
    return FieldFits(Rule.WindowTitle, Title) && FieldFits(Rule.WindowClass, Class) &&
           (Rule.ExePattern == NotGiven || MatchExePattern(FileName, Rule.ExePattern));
}

static bool AnyRuleMatches(const Tappwindowlist& List, const std::string& FileName,
                           const std::string& Title, const std::string& Class)
{
    for (int I = 0; I < List.Count(); ++I)
        if (RuleMatches(*List.GetAppWindow(I), FileName, Title, Class))
            return true;
    return false;
}

bool IsForbiddenWindow(const std::string& ExeName, const std::string& Title,
                       const std::string& Class)
{
    const std::string FileName = ExtractFileName(ExeName);
    if (AnyRuleMatches(AllowedWindows, FileName, Title, Class))
        return false;
    return AnyRuleMatches(ForbiddenWindows, FileName, Title, Class);
}

std::string StripNameSuffix(const std::string& Name)
{
    return std::string(WithoutSuffix(Name));
}

bool SameAppName(const std::string& A, const std::string& B, bool IgnoreSuffix)
{
    if (IgnoreSuffix)
        return SameText(StripNameSuffix(A), StripNameSuffix(B));
    return SameText(A, B);
}

bool FindKnownAppByName(const std::string& Name, int& Index, bool IgnoreSuffix)
{
    Index = IgnoreSuffix ? FirstEntryStripped(Name) : FirstEntryNamed(Name);
    return Index >= 0;
}

bool FindKnownAppOfExecutable(const std::string& Name, const std::string& ExeName, int& Index)
{
    if (!FindKnownAppByName(Name, Index, false))
        return false;
    // Only entries of that name can match: one is the answer whatever the
    // executable; of several the first the executable meets, else the
    // first. An empty name would let any entry match.
    const std::vector<int>& Next = NameIndex().Next;
    if (Name.empty() || Next[static_cast<std::size_t>(Index)] < 0 || !ExeExists(ExeName))
        return true;
    TVersionRead Read;
    for (int I = Index; I >= 0; I = Next[static_cast<std::size_t>(I)]) {
        TFileVersion Version;
        if (MatchEntry(*ActiveProbe, *KnownApps.GetKnownApp(I), Name, ExeName, Version, Read) ==
            TEntryMatch::Yes) {
            Index = I;
            break;
        }
    }
    return true;
}

// The nearest entry before Index with Window # 1; -1 when an entry that
// stands alone (Window # 0) or the start of the list comes first.
static int MainEntryBefore(int Index)
{
    for (int I = Index - 1; I >= 0; --I) {
        const std::int32_t Number = KnownApps.GetKnownApp(I)->WindowNumber;
        if (Number == 1)
            return I;
        // A negative number is stored as no number: it ends the chain too.
        if (Number <= 0)
            return -1;
    }
    return -1;
}

int MainEntryOf(int Index)
{
    const Tknownapp* Entry = KnownApps.GetKnownApp(Index);
    if (!Entry)
        return -1;
    if (Entry->WindowNumber < 2)
        return Index;
    const int Main = MainEntryBefore(Index);
    return Main >= 0 ? Main : Index;
}

int FindMainEntryByName(const std::string& Name)
{
    int Index;
    if (!FindKnownAppByName(Name, Index, false) || KnownApps.GetKnownApp(Index)->WindowNumber <= 1)
        return -1;
    return MainEntryBefore(Index);
}

int FindFurtherWindowByName(const std::string& Name)
{
    int Index;
    if (!FindKnownAppByName(Name, Index, false) || KnownApps.GetKnownApp(Index)->WindowNumber <= 1)
        return -1;
    return Index;
}

bool IsFurtherWindowOf(const std::string& Name, int MainIndex)
{
    const std::vector<int>& Next = NameIndex().Next;
    for (int I = FirstEntryNamed(Name); I >= 0; I = Next[static_cast<std::size_t>(I)])
        if (KnownApps.GetKnownApp(I)->WindowNumber > 1 && MainEntryOf(I) == MainIndex)
            return true;
    return false;
}

std::string GetMainEntryName(const std::string& Name)
{
    const int Main = FindMainEntryByName(Name);
    return Main >= 0 ? KnownApps.GetKnownApp(Main)->Name : Name;
}
