#include "hosting/KnownApps.h"

#include <climits>
#include <cstring>

const std::string NotGiven(1, '\0');

Tknownapplist KnownApps;
Tappwindowlist AllowedWindows;
Tappwindowlist ForbiddenWindows;

const char* const ImportErrors[ImportErrorCount] = {
    "",
    "Old version date. File not imported!",
    "Missing columns (Application table)!",
    "Invalid window parameter!",
    "Missing columns (Allowed/Forbidden windows tables)!",
    "Invalid version date!",
    "Invalid window title format!",
    "Invalid window class format!",
    "Invalid EXE file format!",
    "Invalid version format!",
    "Invalid window size format!",
    "Invalid method description item!",
    "Invalid method!",
    "Internal error!",
    "Invalid text: '|', a line break, a blank at its start or end, or a category beginning with ';'!",
};

bool IsStorableQuotedText(const std::string& Text)
{
    // memchr, not find_first_of: the rules reader asks this of every cell.
    for (const char C : {'|', '\r', '\n'})
        if (std::memchr(Text.data(), C, Text.size()))
            return false;
    return true;
}

bool IsStorableCellText(const std::string& Text)
{
    return IsStorableQuotedText(Text) && TrimView(Text).size() == Text.size();
}

bool IsStorableCategory(const std::string& Category)
{
    return IsStorableCellText(Category) && (Category.empty() || Category.front() != ';');
}

std::string OperatorText(std::uint16_t Operator)
{
    if (Operator == vcNone)
        return std::string();
    std::string R;
    R += static_cast<char>(Operator & 0xFF);
    R += static_cast<char>(Operator >> 8);
    return R;
}

int IndexOfCategory(const Tcategorylist& Categories, const std::string& Name)
{
    for (std::size_t I = 0; I < Categories.size(); ++I)
        if (SameText(Categories[I], Name))
            return static_cast<int>(I);
    return -1;
}

int AddCategory(Tcategorylist& Categories, const std::string& Name)
{
    // Rows come grouped by category, so the newest one is the likely match;
    // names never repeat, so it is also the first match.
    if (!Categories.empty() && SameText(Categories.back(), Name))
        return static_cast<int>(Categories.size()) - 1;
    const int I = IndexOfCategory(Categories, Name);
    if (I >= 0)
        return I;
    Categories.push_back(Name);
    return static_cast<int>(Categories.size()) - 1;
}

void Tknownapplist::Clear()
{
    ++FRevision;
    Items.clear();
    Categories.clear();
}

Tknownapp* Tknownapplist::GetKnownApp(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return Items[static_cast<std::size_t>(Index)].get();
}

int Tknownapplist::Add(std::unique_ptr<Tknownapp> Entry)
{
    ++FRevision;
    Items.push_back(std::move(Entry));
    return Count() - 1;
}

void Tknownapplist::Assign(Tknownapplist& Source)
{
    if (&Source == this)
        return;
    Clear();
    for (auto& Entry : Source.Items)
        Items.push_back(std::move(Entry));
    Source.Items.clear();
    ++Source.FRevision;
    Categories = Source.Categories;
    Modified = Source.Modified;
    RulesDate = Source.RulesDate;
}

void GetVersionCondition(const Tknownapp& Entry, TVersionCondition& Cond)
{
    Cond = Entry.VersionCondition;
}

void SetVersionCondition(Tknownapp& Entry, const TVersionCondition& Cond)
{
    Entry.VersionCondition = Cond;
}

Tappwindow* Tappwindowlist::GetAppWindow(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return Items[static_cast<std::size_t>(Index)].get();
}

int Tappwindowlist::Add(std::unique_ptr<Tappwindow> Rule)
{
    Items.push_back(std::move(Rule));
    return Count() - 1;
}

int Tappwindowlist::AddAppWindow(const std::string& ExePattern, const std::string& WindowTitle,
                                 const std::string& WindowClass)
{
    return Add(std::make_unique<Tappwindow>(ExePattern, WindowTitle, WindowClass));
}

void Tappwindowlist::Assign(Tappwindowlist& Source)
{
    if (&Source == this)
        return;
    Clear();
    for (auto& Rule : Source.Items)
        Items.push_back(std::move(Rule));
    Source.Items.clear();
    Modified = Source.Modified;
}

bool UnquoteString(const std::string& Text, int MaxLength, std::string& Result)
{
    if (Text.empty()) {
        Result = NotGiven;
        return true;
    }
    if (static_cast<long long>(Text.size()) <= MaxLength && Text.front() == '"' &&
        Text.back() == '"') {
        Result = Text.size() >= 2 ? Text.substr(1, Text.size() - 2) : std::string();
        return true;
    }
    Result.clear();
    return false;
}

bool ParseVersionCondition(const std::string& Text, TVersionCondition& Cond)
{
    Cond = TVersionCondition();
    if (Text.size() < 2)
        return false;
    const std::uint16_t Op = static_cast<std::uint16_t>(
        static_cast<unsigned char>(Text[0]) | (static_cast<unsigned char>(Text[1]) << 8));
    switch (Op) {
    case vcEqual:
    case vcLess:
    case vcLessOrEqual:
    case vcGreater:
    case vcGreaterOrEqual:
    case vcAny:
        break;
    default:
        return false;
    }
    TFileVersion V;
    if (!StrToVersion(Trim(Text.substr(2)), V))
        return false;
    Cond.Operator = Op;
    Cond.Version = V;
    return true;
}

// Reads the bind options (the ';'-fields after the first) into Entry.
static std::uint8_t ParseBindOptions(const std::string& Method, Tknownapp& Entry)
{
    // One scan over the fields: looking each up from the start would be
    // quadratic on a long (corrupt) method text.
    std::size_t Pos = Method.find(';');
    while (Pos != std::string::npos) {
        const std::size_t End = Method.find(';', Pos + 1);
        const std::string Item =
            Trim(Method.substr(Pos + 1, End == std::string::npos ? std::string::npos : End - Pos - 1));
        Pos = End;
        if (SameText(Item, "no title")) {
            Entry.NoTitle = true;
        } else if (SameText(Trim(GetField(Item, 1, '=')), "minsize")) {
            const std::string Size = Trim(GetField(Item, 2, '='));
            if (SameText(Size, "start")) {
                Entry.MinWidth = -1;
                Entry.MinHeight = -1;
            } else {
                if (FieldCount(Size, ',') != 2)
                    return ieWindowSize;
                Entry.MinWidth = StrToIntDefTrim(GetField(Size, 1, ','), 0);
                Entry.MinHeight = StrToIntDefTrim(GetField(Size, 2, ','), 0);
            }
        } else if (SameText(Item, "only 1x")) {
            Entry.OnlyOnce = true;
        } else if (SameText(Item, "hard sizing")) {
            Entry.HardSizing = true;
        } else {
            return ieMethodItem;
        }
    }
    return ieOk;
}

std::uint8_t AddKnownApp(Tknownapplist& List, const std::string& Category,
                         const std::string& Name, const std::string& Version,
                         const std::string& ExeSize, const std::string& Method,
                         const std::string& FilesNeeded, const std::string& Age,
                         const std::string& URL, const std::string& Problems,
                         const std::string& WindowTitle, const std::string& WindowClass,
                         const std::string& WindowNumber)
{
    try {
        // A category that begins with ';' is not refused here: the rules
        // reader takes it from a row whose Category cell is not the first.
        const bool Storable = IsStorableCellText(Category) && IsStorableCellText(Name) &&
                              IsStorableCellText(FilesNeeded) && IsStorableCellText(URL) &&
                              IsStorableCellText(Problems);
        auto Entry = std::make_unique<Tknownapp>();
        Entry->CategoryIndex = AddCategory(List.Categories, Category);
        if (!Storable)
            return ieText;
        Entry->Name = Name;
        if (!Version.empty()) {
            TVersionCondition Cond;
            if (!ParseVersionCondition(Version, Cond))
                return ieVersion;
            Entry->VersionCondition = Cond;
        }
        Entry->ExeSize = StrToIntDefTrim(ExeSize, 0);
        const std::string Kind = Trim(GetField(Method, 1, ';'));
        if (SameText(Kind, "external")) {
            Entry->Method = amExternal;
        } else if (SameText(Kind, "unsupported")) {
            Entry->Method = amUnsupported;
        } else if (SameText(Kind, "bind")) {
            Entry->Method = amBind;
            const std::uint8_t Code = ParseBindOptions(Method, *Entry);
            if (Code != ieOk)
                return Code;
        } else {
            return ieMethod;
        }
        Entry->FilesNeeded = FilesNeeded;
        Entry->Age = StrToIntDefTrim(Age, 0);
        Entry->URL = URL;
        Entry->Problems = Problems;
        if (!UnquoteString(WindowTitle, 50, Entry->WindowTitle) ||
            !IsStorableQuotedText(Entry->WindowTitle))
            return ieWindowTitle;
        if (!UnquoteString(WindowClass, 50, Entry->WindowClass) ||
            !IsStorableQuotedText(Entry->WindowClass))
            return ieWindowClass;
        Entry->WindowNumber = StrToIntDefTrim(WindowNumber, 0);
        List.Add(std::move(Entry));
        return ieOk;
    } catch (...) {
        return ieInternal;
    }
}

std::uint8_t AddWindowRule(Tappwindowlist& List, const std::string& ExePattern,
                           const std::string& WindowTitle, const std::string& WindowClass)
{
    // The rules reader takes window cells of any length, so no limit here
    // either: a rule it accepted must survive being re-added from the table.
    std::string Exe, Title, Class;
    if (!UnquoteString(ExePattern, INT_MAX, Exe) || !IsStorableQuotedText(Exe))
        return ieExeFile;
    if (!UnquoteString(WindowTitle, INT_MAX, Title) || !IsStorableQuotedText(Title))
        return ieWindowTitle;
    if (!UnquoteString(WindowClass, INT_MAX, Class) || !IsStorableQuotedText(Class))
        return ieWindowClass;
    List.AddAppWindow(Exe, Title, Class);
    return ieOk;
}
