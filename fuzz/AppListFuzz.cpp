// Fuzz entry point for the application list's stored text "FoundAppList":
// the input is the registry value's bytes (lines joined by a carriage
// return). Besides memory errors it checks that no more records come in
// than the text has lines, and that what was read writes out as a text that
// reads back to the same records and then settles.
#include "dialogs/applicationlist.h"

#include "hosting/Velmora.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool Condition)
{
    if (!Condition)
        std::abort();
}

const char* const Columns[] = {"Flags", "Category", "Application", "Version", "Location"};

using Records = std::vector<std::vector<std::string>>;

// The non-blank records, cell by cell: the writer leaves blank ones out.
Records RecordsOf(const TDatabaseGrid& T)
{
    Records R;
    for (int Row = 1; Row <= T.RecordCount(); ++Row) {
        std::vector<std::string> Cells;
        bool Blank = true;
        for (const char* C : Columns) {
            Cells.push_back(T.CellByName(C, Row));
            Blank = Blank && Cells.back().empty();
        }
        if (!Blank)
            R.push_back(Cells);
    }
    return R;
}

// Reads a stored value into a fresh list; answers its records and the value
// it writes back.
Records ReadValue(const std::string& Value, std::string& Written)
{
    TDatabaseGrid Table;
    ConfigureApplicationTable(Table);
    TApplicationList List(Table);
    StringList Lines;
    SplitToStrings(Lines, Value, '\r');
    List.ReadApplicationList(Lines);
    Require(Lines.size() < 2 || Table.RecordCount() <= static_cast<int>(Lines.size()) - 1);
    StringList Out;
    List.WriteApplicationList(Out);
    Written = JoinStringsChar(Out, '\r');
    return RecordsOf(Table);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Value(reinterpret_cast<const char*>(Data), Size);
    std::string First, Second, Third;
    const Records Read = ReadValue(Value, First);
    Require(ReadValue(First, Second) == Read);
    ReadValue(Second, Third);
    Require(Third == Second);
    return 0;
}
