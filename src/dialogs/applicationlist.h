// The user's application list: one record per known application with the
// executable found for it, kept in a named-column table, stored as the text
// table "FoundAppList". Portable; TApplicationListForm shows it.
#pragma once

#include "components/DatabaseGrid.h"
#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Kinds of method: 0 bind, 1 external. A kinds set holds one bit per kind;
// the empty set means no filter.
enum : int { akBind = 0, akExternal = 1 };
using TAppKinds = unsigned;
constexpr TAppKinds KindBit(int Kind) { return 1u << Kind; }
bool MethodToKind(std::uint8_t Method, int& Kind);

// Removes every "N" and "C".
std::string StripNewChangedLetters(const std::string& Flags);

// Where a Flags cell draws its images, from X on: "N", "C" and "U" show
// flag images 0, 1 and 2; "U" takes 16 pixels, the others ImageWidth, each
// with a gap of 2; other letters take no room.
struct TFlagImage {
    int Image;
    int X;
};
std::vector<TFlagImage> FlagImages(const std::string& Flags, int X, int ImageWidth);

// What reading a stored list left out: each fault with its 1-based line
// (0: the text as a whole).
struct TListFault {
    int Line = 0;
    std::string What;
};
struct TListReadReport {
    std::vector<TListFault> Faults;
    int Records = 0;  // read
    bool Whole() const { return Faults.empty(); }
};

// The table's columns, headers, types and settings.
void ConfigureApplicationTable(TDatabaseGrid& Table);

class TApplicationList {
public:
    explicit TApplicationList(TDatabaseGrid& Table) : FTable(Table) {}

    TDatabaseGrid& Table() const { return FTable; }

    bool ApplicationListModified() const { return FTable.Modified(); }
    void SetListModified(bool Value);

    // Appends the records as a text table: header, rule, one line each.
    void WriteApplicationList(StringList& Lines) const;
    // Adds the records of a text table: every line of the header's number of
    // fields and without a NUL; a header that lacks a title reads nothing.
    TListReadReport ReadApplicationList(const StringList& Lines);

    void BindableApplications(TAppKinds Kinds, StringList& List, bool WithVersion) const;
    // The items of an application combo box (LeadingItem first) and the
    // index of Current among them (-1 when Current is empty or absent).
    void ApplicationComboItems(TAppKinds Kinds, const std::string& LeadingItem,
                               const std::string& Current, StringList& Items,
                               int& ItemIndex) const;
    int RowOfApplication(const std::string& Name) const;
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) const;

    bool AddApplication(const std::string& Path, const TIdentifyInfo& Info);
    void AddOrUpdateFoundApplication(const std::string& Path, const TIdentifyInfo& Info,
                                     int& FirstRow);
    void ClearNewChangedFlags();
    void AddStillKnownListedApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs) const;
    // Resolves duplicates with the user, then enters the kept executables
    // (flags of earlier finds cleared) and makes the first row current;
    // false when the user cancelled or the lists disagree.
    bool EnterFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs);
    // Deletes record Row after the user's Yes; false (and no change) else.
    bool RemoveApplication(int Row, bool Confirmed);

    // The duplicates resolver: reduces Found and Refs; false when cancelled.
    std::function<bool(StringList& Found, std::vector<TIdentifyInfo>& Refs)> OnResolveDuplicates;
    std::function<void(const std::string& Text)> OnMessage;
    // Makes Row the current row; the table's own FocusCell when not set.
    std::function<void(int Row)> OnCurrentRow;
    // After every SetListModified, with the value set.
    std::function<void(bool Modified)> OnListModified;

private:
    void Message(const std::string& Text) const;
    static bool FileExists(const std::string& Path);

    TDatabaseGrid& FTable;
};
