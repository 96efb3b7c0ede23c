// Helpers shared by the rules-text tests: resetting the three global lists
// and describing them as text, so that two databases compare field by field
// with a readable difference.
#pragma once

#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"

#include <string>

inline void ClearDatabase()
{
    KnownApps.Clear();
    KnownApps.RulesDate = 0;
    KnownApps.Modified = false;
    AllowedWindows.Clear();
    AllowedWindows.Modified = false;
    ForbiddenWindows.Clear();
    ForbiddenWindows.Modified = false;
}

inline std::string ShowText(const std::string& S)
{
    return S == NotGiven ? std::string("<not given>") : "[" + S + "]";
}

inline std::string DescribeWindowRules(const Tappwindowlist& List)
{
    std::string R;
    for (int I = 0; I < List.Count(); ++I) {
        const Tappwindow& W = *List.GetAppWindow(I);
        R += ShowText(W.ExePattern) + " " + ShowText(W.WindowTitle) + " " +
             ShowText(W.WindowClass) + "\n";
    }
    return R;
}

// Every field of the three lists, entries with their category names.
inline std::string DescribeDatabase()
{
    std::string R = "date " + IntToStr(static_cast<long long>(KnownApps.RulesDate)) + "\n";
    for (const std::string& C : KnownApps.Categories)
        R += "category " + ShowText(C) + "\n";
    for (int I = 0; I < KnownApps.Count(); ++I) {
        const Tknownapp& E = *KnownApps.GetKnownApp(I);
        R += "entry " + ShowText(KnownApps.Categories.at(static_cast<std::size_t>(E.CategoryIndex))) +
             " " + ShowText(E.Name) + " age " + IntToStr(E.Age) + " cond " +
             IntToStr(E.VersionCondition.Operator) + ":" + VersionToStr(E.VersionCondition.Version) +
             " size " + IntToStr(E.ExeSize) + " method " + IntToStr(E.Method) + " opts " +
             IntToStr(E.NoTitle) + IntToStr(E.HardSizing) + IntToStr(E.OnlyOnce) + " min " +
             IntToStr(E.MinWidth) + "," + IntToStr(E.MinHeight) + " files " +
             ShowText(E.FilesNeeded) + " url " + ShowText(E.URL) + " problems " +
             ShowText(E.Problems) + " title " + ShowText(E.WindowTitle) + " class " +
             ShowText(E.WindowClass) + " window " + IntToStr(E.WindowNumber) + "\n";
    }
    return R + "allowed\n" + DescribeWindowRules(AllowedWindows) + "forbidden\n" +
           DescribeWindowRules(ForbiddenWindows);
}

inline StringList WrittenRules()
{
    StringList Lines;
    WriteApplicationRules(Lines);
    return Lines;
}

// Reads Lines as if no database had been stored yet.
inline std::uint8_t ReadFresh(const StringList& Lines, int& ErrorLine)
{
    KnownApps.RulesDate = 0;
    return ReadApplicationRules(Lines, ErrorLine);
}
