// Fuzz entry point for the application list's stored text "FoundAppList":
// the input is the registry value's bytes (lines joined by a carriage
// return, NULs kept as the start-up keeps them). Besides memory errors it
// checks that no more records and faults come than the text has data lines,
// that the table holds the records told, and that what was read writes out
// as a text that reads back whole to the same records and then settles.
#include "dialogs/applicationlist.h"

#include "hosting/Velmora.h"

#include <algorithm>
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
Records ReadValue(const std::string& Value, std::string& Written, bool& Whole)
{
    TDatabaseGrid Table;
    ConfigureApplicationTable(Table);
    TApplicationList List(Table);
    StringList Lines;
    SplitToStringsWhole(Lines, Value, '\r');
    const TListReadReport Report = List.ReadApplicationList(Lines);
    Whole = Report.Whole();
    int DataFaults = 0;
    for (const TListFault& F : Report.Faults) {
        Require(F.Line >= 0 && F.Line <= static_cast<int>(Lines.size()) && !F.What.empty());
        DataFaults += F.Line > 2;
    }
    Require(Report.Records + DataFaults <= std::max(0, static_cast<int>(Lines.size()) - 2));
    Require(Table.RecordCount() == std::max(1, Report.Records));
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
    bool Whole = false;
    const Records Read = ReadValue(Value, First, Whole);
    Require(ReadValue(First, Second, Whole) == Read && Whole);
    ReadValue(Second, Third, Whole);
    Require(Third == Second);
    return 0;
}
