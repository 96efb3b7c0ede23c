// The rules text: the database of known applications and the two window-rule
// lists as one list of lines. The reader replaces the three global lists all
// or nothing; the writer produces aligned tables that the reader accepts
// again. Portable.
#pragma once

#include "hosting/KnownApps.h"

#include <cstdint>
#include <string>
#include <string_view>

extern const char* const MonthNames[12];

// Alignment is a PadString mode: 0 left, 1 right, 2 centred.
struct TRulesColumn {
    const char* Name;
    std::uint8_t Alignment;
};

enum : int {
    kcCategory = 0,
    kcName = 1,
    kcAge = 2,
    kcVersion = 3,
    kcExeSize = 4,
    kcMethod = 5,
    kcFilesNeeded = 6,
    kcURL = 7,
    kcProblems = 8,
    kcWindowNumber = 9,
    kcWindowTitle = 10,
    kcWindowClass = 11,
    KnownAppColumnCount = 12,
};

enum : int {
    wcExeFile = 0,
    wcWindowTitle = 1,
    wcWindowClass = 2,
    WindowColumnCount = 3,
};

extern const TRulesColumn KnownAppColumns[KnownAppColumnCount];
extern const TRulesColumn WindowColumns[WindowColumnCount];

// The id of the first column named Name (ASCII letters without case).
bool FindColumnName(const TRulesColumn* Columns, int Count, std::string_view Name, int& Index);

// Reads a whole rules text. Returns 0 and replaces KnownApps, AllowedWindows
// and ForbiddenWindows, or returns an ImportErrors code with the 1-based
// line that failed and leaves the three lists untouched. A text without any
// table section is refused as missing the application table, at its last
// line (line 1 when empty).
std::uint8_t ReadApplicationRules(const StringList& Lines, int& ErrorLine);
// Appends the rules text of the three global lists to Lines.
void WriteApplicationRules(StringList& Lines);

// 'year month day', the month as a number or an English month name (three
// letters suffice); years 2014 to 2099.
bool ParseRulesDate(const std::string& Text, TDateTime& Date);
std::string FormatRulesDate(TDateTime Date);
// True when Text holds only '+' and '-' (also when empty).
bool IsRuleLine(std::string_view Text);

// Empty for NotGiven, else the text between double quotes. Characters that
// would break the table ('|', CR, LF, NUL) become blanks.
std::string QuoteField(const std::string& Text);
// " " + cell text + " " of one column of KnownApps' entry Index.
std::string KnownAppFieldText(int Column, int Index);
std::string WindowFieldText(int Column, const Tappwindowlist& List, int Index);
// Adds Cell (padded to Width unless it is a left-aligned last column) to
// line Line, or as a new line when Lines has no such line yet, followed by
// Separator unless IsLastColumn; then advances Line.
void AppendTableCell(StringList& Lines, bool IsLastColumn, const std::string& Cell, int Width,
                     char Separator, std::uint8_t Alignment, int& Line);
// Writes nothing for an empty list.
void WriteWindowSection(StringList& Lines, const Tappwindowlist& List, const std::string& Header);
// The Version cell: empty without a condition, else operator, blank and
// version, e.g. "=  1.2", "<= 1.2"; a zero version is written as 0 so
// that the text parses again.
std::string FormatVersionCondition(const TVersionCondition& Cond);

// Splits a file's bytes into lines at CR, LF or CRLF; every other byte is
// kept. A final line break adds no empty line.
void TextToLines(const std::string& Text, StringList& Lines);
