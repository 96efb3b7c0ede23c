#include "hosting/MonitorRules.h"

#include "hosting/KnownApps.h"

namespace {

// A rule compared only when both sides say something.
bool TextFits(const std::string& Rule, const std::string& Value)
{
    return Value.empty() || Rule == NotGiven || SameText(Rule, Value);
}

bool ItemFits(const TItemFacts& I, const TItemQuery& Q, bool SameProcess)
{
    if (I.State != Q.State || (Q.BereftOnly && !I.Bereft))
        return false;
    if (SameProcess) {
        if (I.ProcessId != Q.ProcessId)
            return false;
        if (I.Handle != 0 && Q.Handle != 0 && I.Handle != Q.Handle)
            return false;
    } else if (Q.OwnOnly ? I.Handle == 0 || I.Handle != Q.Handle
                         : I.Handle != 0 && I.Handle != Q.Handle) {
        return false;
    }
    const bool Further = I.WindowNo >= 2;
    if (Further && !TextFits(*I.ClassName, Q.ClassName))
        return false;
    if (Further && !TextFits(*I.Caption, Q.Title))
        return false;
    if (!SameText(*I.ExeName, Q.Exe))
        return false;
    if (!Q.AllowBound && !Further && Q.ProcessBound)
        return false;
    return Further || !Q.Forbidden;
}

}  // namespace

int FindItemIndex(const std::vector<TItemFacts>& Items, const TItemQuery& Query)
{
    for (const bool SameProcess : {true, false})
        for (std::size_t I = 0; I < Items.size(); ++I)
            if (ItemFits(Items[I], Query, SameProcess))
                return static_cast<int>(I);
    return -1;
}

bool WindowFitsRules(const TWindowItem& Rec, const std::string& ResolvedExe,
                     const std::string& Exe, const std::string& TitleRule,
                     const std::string& ClassRule)
{
    return TextFits(ClassRule, Rec.ClassName) && TextFits(TitleRule, Rec.Title) &&
           SameText(ResolvedExe, Exe);
}

bool HasOtherWindow(const TAppWindowCollection& List, std::uint32_t Pid, int ExceptIndex)
{
    for (int I = 0; I < List.Count(); ++I)
        if (I != ExceptIndex && List.Items(I)->ProcessId == Pid && List.Items(I)->State != wisGone)
            return true;
    return false;
}

bool IsListed(const TWindowItem& Rec)
{
    return Rec.State != wisGone && Rec.State != wisIgnored;
}

bool WindowListed(const TAppWindowCollection& List, TWindowHandle Handle, std::uint32_t Pid)
{
    for (int I = 0; I < List.Count(); ++I) {
        const TWindowItem& R = *List.Items(I);
        if (R.Handle == Handle && R.ProcessId == Pid && IsListed(R))
            return true;
    }
    return false;
}

std::string StartCommandLine(const std::string& Exe, const std::string& Params)
{
    // Unquoted, "C:\Program Files\x.exe" would start "C:\Program.exe".
    std::string Line = Exe.find_first_of(" \t") == std::string::npos ? Exe : "\"" + Exe + "\"";
    if (!Params.empty())
        Line += " " + Params;
    return Line;
}
