// Native stand-ins for the layout tests, the layouts fuzzer and benchmark:
// a registry key in memory (a value in Ints reads as no string, one in
// Strings as no integer, as the registry's types do) and a compact text
// form of a tree ("Text[kind]{children}").
#pragma once

#include "mainwindow/LayoutBorders.h"
#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include <map>
#include <string>

class FakeRegistry : public IRegistryValues {
public:
    int ReadIntegerDef(const std::string& Name, int Default) override
    {
        const auto It = Ints.find(Name);
        return It == Ints.end() ? Default : It->second;
    }
    std::string ReadStringDef(const std::string& Name, const std::string& Default) override
    {
        ++StringReads;
        const auto It = Strings.find(Name);
        return It == Strings.end() ? Default : It->second;
    }
    void WriteInteger(const std::string& Name, int Value) override { Ints[Name] = Value; }
    void WriteString(const std::string& Name, const std::string& Value) override
    {
        Strings[Name] = Value;
    }
    bool ValueExists(const std::string& Name) override
    {
        return Ints.count(Name) || Strings.count(Name);
    }
    bool DeleteValue(const std::string& Name) override
    {
        return Ints.erase(Name) + Strings.erase(Name) > 0;
    }

    std::map<std::string, int> Ints;
    std::map<std::string, std::string> Strings;
    int StringReads = 0;
};

// Panel bounds in memory, put where a relayout puts the host panels.
class FakePanelBounds : public IPanelBounds, public ILayoutVisitor {
public:
    bool PanelBounds(TNodeId Node, TLayoutRect& R) override
    {
        const auto It = Bounds.find(Node);
        if (It != Bounds.end())
            R = It->second;
        return It != Bounds.end();
    }
    void SetPanelBounds(TNodeId Node, const TLayoutRect& R) override { Bounds[Node] = R; }
    void VisitNode(TNodeId Node, const TLayoutRect& R) override
    {
        if (Node != Layout)
            Bounds[Node] = R;
    }
    void Place(const TLayoutTree& T, TNodeId L, const TLayoutRect& Host)
    {
        Layout = L;
        LayoutPanels(T, L, Host, lmPlace, *this);
    }
    TNodeId Layout = NoNode;
    std::map<TNodeId, TLayoutRect> Bounds;
};

inline std::string RectText(const TLayoutRect& R)
{
    return IntToStr(R.Left) + "," + IntToStr(R.Top) + "," + IntToStr(R.Right) + "," +
           IntToStr(R.Bottom);
}

inline std::string DumpNode(const TLayoutTree& T, TNodeId N)
{
    std::string S = T.Text(N) + "[" + IntToStr(T.Kind(N)) + "]";
    if (T.Children(N).empty())
        return S;
    S += "{";
    for (std::size_t I = 0; I < T.Children(N).size(); ++I)
        S += (I ? "," : "") + DumpNode(T, T.Children(N)[I]);
    return S + "}";
}

inline std::string DumpTree(const TLayoutTree& T)
{
    std::string S;
    for (std::size_t I = 0; I < T.Roots().size(); ++I)
        S += (I ? " / " : "") + DumpNode(T, T.Roots()[I]);
    return S;
}
