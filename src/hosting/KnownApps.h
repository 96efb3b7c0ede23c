// The in-memory database of known applications and the allowed and
// forbidden window rules, with the row parsers that fill them. Portable.
#pragma once

#include "hosting/FileVersion.h"
#include "hosting/Velmora.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One character of code 0: a title, class or pattern that is not given and
// matches anything. Distinct from the empty text.
extern const std::string NotGiven;

// Operator codes: the two characters with the first in the low byte.
enum : std::uint16_t {
    vcNone = 0,
    vcEqual = 0x203D,         // "= "
    vcLess = 0x203C,          // "< "
    vcLessOrEqual = 0x3D3C,   // "<="
    vcGreater = 0x203E,       // "> "
    vcGreaterOrEqual = 0x3D3E,// ">="
    vcAny = 0x203F,           // "? "
};

struct TVersionCondition {
    std::uint16_t Operator = vcNone;
    TFileVersion Version;
};

// The two operator characters of a condition's code, e.g. "<=" or "= ".
std::string OperatorText(std::uint16_t Operator);

enum : std::uint8_t {
    amUnsupported = 1,
    amBind = 2,
    amExternal = 3,
};

class Tknownapp {
public:
    std::int32_t CategoryIndex = 0;
    std::string Name;
    std::int32_t Age = 0;
    bool HardSizing = false;
    TVersionCondition VersionCondition;
    std::int32_t ExeSize = 0;
    std::uint8_t Method = 0;
    bool NoTitle = false;
    std::int32_t MinWidth = 0;
    std::int32_t MinHeight = 0;
    bool OnlyOnce = false;
    std::string FilesNeeded;
    std::string URL;
    std::string Problems;
    std::string WindowTitle;
    std::string WindowClass;
    std::int32_t WindowNumber = 0;
};

// Category names in order of first appearance, never a duplicate (ASCII
// letters compared without case).
using Tcategorylist = StringList;

int IndexOfCategory(const Tcategorylist& Categories, const std::string& Name);
int AddCategory(Tcategorylist& Categories, const std::string& Name);

// Owns its entries. Entries are addressed by index in row order.
class Tknownapplist {
public:
    Tknownapplist() = default;
    Tknownapplist(const Tknownapplist&) = delete;
    Tknownapplist& operator=(const Tknownapplist&) = delete;

    Tcategorylist Categories;
    bool Modified = false;
    TDateTime RulesDate = 0;  // whole days; 0 = no valid data

    int Count() const { return static_cast<int>(Items.size()); }
    // Frees every entry and empties Categories; Modified and RulesDate stay.
    void Clear();
    Tknownapp* GetKnownApp(int Index) const;
    int Add(std::unique_ptr<Tknownapp> Entry);
    // Moves Source's entries here (Source ends empty), copies its
    // categories, Modified and RulesDate.
    void Assign(Tknownapplist& Source);
    Tcategorylist& GetCategories() { return Categories; }
    // Changes with every Clear, Add and Assign, so that what is built from
    // the entries (the index by name) knows when to build again.
    std::uint64_t Revision() const { return FRevision; }

private:
    std::vector<std::unique_ptr<Tknownapp>> Items;
    std::uint64_t FRevision = 0;
};

void GetVersionCondition(const Tknownapp& Entry, TVersionCondition& Cond);
void SetVersionCondition(Tknownapp& Entry, const TVersionCondition& Cond);

class Tappwindow {
public:
    Tappwindow(const std::string& ExePattern, const std::string& WindowTitle,
               const std::string& WindowClass)
        : ExePattern(ExePattern), WindowTitle(WindowTitle), WindowClass(WindowClass)
    {
    }
    std::string ExePattern;
    std::string WindowTitle;
    std::string WindowClass;
};

// Owns its rules.
class Tappwindowlist {
public:
    Tappwindowlist() = default;
    Tappwindowlist(const Tappwindowlist&) = delete;
    Tappwindowlist& operator=(const Tappwindowlist&) = delete;

    bool Modified = false;

    int Count() const { return static_cast<int>(Items.size()); }
    void Clear() { Items.clear(); }
    Tappwindow* GetAppWindow(int Index) const;
    int Add(std::unique_ptr<Tappwindow> Rule);
    int AddAppWindow(const std::string& ExePattern, const std::string& WindowTitle,
                     const std::string& WindowClass);
    void Assign(Tappwindowlist& Source);

private:
    std::vector<std::unique_ptr<Tappwindow>> Items;
};

extern Tknownapplist KnownApps;
extern Tappwindowlist AllowedWindows;
extern Tappwindowlist ForbiddenWindows;

// Result codes of the row parsers and of the rules-text reader, with their
// messages in ImportErrors (index = code).
enum : std::uint8_t {
    ieOk = 0,
    ieOldVersion = 1,
    ieMissingAppColumns = 2,
    ieInvalidWindowParameter = 3,
    ieMissingWindowColumns = 4,
    ieInvalidDate = 5,
    ieWindowTitle = 6,
    ieWindowClass = 7,
    ieExeFile = 8,
    ieVersion = 9,
    ieWindowSize = 10,
    ieMethodItem = 11,
    ieMethod = 12,
    ieInternal = 13,
    ieText = 14,
};
constexpr int ImportErrorCount = 15;
extern const char* const ImportErrors[ImportErrorCount];

// Whether the rules text carries Text unchanged as a cell: no '|' (the cell
// separator), no line break, no blank at either end (cells are trimmed).
bool IsStorableCellText(const std::string& Text);
// The same for the text between a quoted cell's quotes, where blanks stay.
bool IsStorableQuotedText(const std::string& Text);
// A storable cell that may also stand first in a row: the writer's rows
// begin with the category, and a line that begins with ';' is a comment.
// The known-applications editor asks it of what the user typed.
bool IsStorableCategory(const std::string& Category);

// Empty text gives NotGiven; a text of at most MaxLength characters that
// begins and ends with '"' loses those two; anything else fails.
bool UnquoteString(const std::string& Text, int MaxLength, std::string& Result);
bool ParseVersionCondition(const std::string& Text, TVersionCondition& Cond);

// Parses one table row into a new entry appended to List; 0 or an error code.
// A text that the rules text would not give back unchanged is refused
// (ieText; a title or class with its own code), never stored altered. The
// one exception is a category that begins with ';', which a rules text with
// the Category column after the first holds: the editor refuses it instead.
std::uint8_t AddKnownApp(Tknownapplist& List, const std::string& Category,
                         const std::string& Name, const std::string& Version,
                         const std::string& ExeSize, const std::string& Method,
                         const std::string& FilesNeeded, const std::string& Age,
                         const std::string& URL, const std::string& Problems,
                         const std::string& WindowTitle, const std::string& WindowClass,
                         const std::string& WindowNumber);

std::uint8_t AddWindowRule(Tappwindowlist& List, const std::string& ExePattern,
                           const std::string& WindowTitle, const std::string& WindowClass);
