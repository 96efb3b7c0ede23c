// The application monitor's decisions that need no window system: which
// hosted item a window belongs to, and the tests on the desktop window list
// that its passes make. Portable.
#pragma once

#include "hosting/AppInfo.h"

#include <cstdint>
#include <string>
#include <vector>

// What the item search compares of one hosted item.
struct TItemFacts {
    const std::string* ExeName;
    const std::string* Caption;    // the title rule while waiting
    const std::string* ClassName;  // the class rule while waiting
    std::uint8_t State;
    std::uint32_t ProcessId;
    TWindowHandle Handle;  // 0 while the item has no window
    std::int32_t WindowNo;
    // It sits in a panel and its window is no longer listed (the caller
    // works this out only for a query that asks for it).
    bool Bereft = false;
};

// A window looking for its item.
struct TItemQuery {
    std::string Exe;
    TWindowHandle Handle = 0;  // 0: any
    std::uint32_t ProcessId = 0;
    std::uint8_t State = 0;
    std::string ClassName;
    std::string Title;
    bool AllowBound = false;
    // The same for every item, so the caller works them out once: some bound
    // item has the process, and the window is forbidden.
    bool ProcessBound = false;
    bool Forbidden = false;
    // Without regard to the process only an item holding this very window
    // fits: a gone window must not take a stranger's item with it.
    bool OwnOnly = false;
    // Only an item that lost its window: a window its program shows then
    // takes it over, whatever its class.
    bool BereftOnly = false;
};

// The first item that fits with the same process, else the first that fits
// without regard to the process; -1 for none. Only further windows
// (Window # 2 and above) compare class and title, and only they may join a
// process that already has a bound window or take a forbidden one.
int FindItemIndex(const std::vector<TItemFacts>& Items, const TItemQuery& Query);

// FindAppWindow's test of one record: class and title against the rules
// (an empty record text or a rule of NotGiven passes), the record's
// executable (ResolvedExe) against Exe.
bool WindowFitsRules(const TWindowItem& Rec, const std::string& ResolvedExe,
                     const std::string& Exe, const std::string& TitleRule,
                     const std::string& ClassRule);

// Another record than the one at ExceptIndex has the process and is not gone.
bool HasOtherWindow(const TAppWindowCollection& List, std::uint32_t Pid, int ExceptIndex);
// Found by the pass: neither gone nor ignored.
bool IsListed(const TWindowItem& Rec);
// A record of that window and process that this pass has not found gone
// (nor ignored): the window still lives.
bool WindowListed(const TAppWindowCollection& List, TWindowHandle Handle, std::uint32_t Pid);

// The command line that starts Exe: the path, quoted only when it holds a
// blank or tab, then one blank and Params when there are any.
std::string StartCommandLine(const std::string& Exe, const std::string& Params);
