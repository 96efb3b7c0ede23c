// The location chooser driven by messages, and the whole search over a
// fixture drive (SearchEndToEnd.*, run by SearchEndToEnd.sh in a throwaway
// prefix whose drive Q: holds the fixture).
#include "dialogs/SearchForFilesWin.h"

#include "DialogsWinTestSupport.h"
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/applicationlist.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/RulesTestSupport.h"

#include "ScreenShotSupport.h"

#include <gtest/gtest.h>

#include <algorithm>


static ::testing::Environment* const Env =
    ::testing::AddGlobalTestEnvironment(new ShellLibraryEnvironment);

namespace {

class SearchWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        new TProgressbarForm(&App);
        new TConfirmDuplicatesForm(&App);
        Chooser = new TSearchForFilesForm(&App);
    }

    HWND Tree() const { return Chooser->TV->Handle(); }
    int State(HTREEITEM Item) const { return Chooser->TV->ItemState(Item); }
    // The node whose text is Text, at any level.
    HTREEITEM Node(const std::string& Text) const
    {
        for (HTREEITEM Root : Chooser->TV->Children(nullptr)) {
            if (Chooser->TV->ItemText(Root) == Text)
                return Root;
            for (HTREEITEM Child : Chooser->TV->Children(Root))
                if (Chooser->TV->ItemText(Child) == Text)
                    return Child;
        }
        return nullptr;
    }
    void Click(HTREEITEM Item, bool OnStateImage) { ClickTreeItem(*Chooser->TV, Item, OnStateImage); }
    std::vector<int> States(const std::vector<std::string>& Texts) const
    {
        std::vector<int> S;
        for (const std::string& T : Texts)
            S.push_back(State(Node(T)));
        return S;
    }

    TApplication App;
    TSearchForFilesForm* Chooser = nullptr;
};

TEST_F(SearchWin, StateImagesShowEveryBoxOnTheWhiteTree)
{
    // Dark pixels of each state image drawn on white: the outline of the
    // box, and the tick or dot in its middle.
    struct Case { int Image; bool Outline, Middle; };
    const Case Cases[] = {
        {0, false, false},  // no box
        {1, true, false},   // unticked
        {2, true, true},    // ticked
        {3, true, false},   // option
        {4, true, true},    // chosen option
    };
    Chooser->EnsureHandle();  // its images are made with its window
    for (const Case& C : Cases) {
        DibCanvas Cv(16, 16);
        const RECT All = {0, 0, 16, 16};
        ::FillRect(Cv.Dc(), &All, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        Chooser->stateimages->Draw(Cv.Dc(), 0, 0, C.Image, true);
        const auto Dark = [&](int X, int Y) {
            const std::uint32_t P = Cv.Pixel(X, Y);
            return ((P & 0xFF) + ((P >> 8) & 0xFF) + (P >> 16)) < 3 * 200;
        };
        int Outline = 0, Middle = 0;
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X)
                (X >= 6 && X <= 10 && Y >= 6 && Y <= 10 ? Middle : Outline) += Dark(X, Y);
        EXPECT_EQ(Outline > 8, C.Outline) << C.Image << ": " << Outline;
        EXPECT_EQ(Middle > 0, C.Middle) << C.Image << ": " << Middle;
    }
}

TEST_F(SearchWin, ChooserTicksAndRoots)
{
    std::wstring Programs;
    GetSpecialFolderPath(SF_PROGRAM_FILES, Programs);
    const std::string ProgramFiles = WideToAnsi(Programs);
    const std::vector<std::string> Texts = {"Drives", "C:\\", "Z:\\", "Program locations",
                                            ProgramFiles};
    struct Step {
        const char* Node;
        enum { StateImage, Text, Space, Collapse } Action;
        std::vector<int> After;
    } Steps[] = {
        {"C:\\", Step::Text, {1, 1, 1, 1, 2}},
        {"Drives", Step::StateImage, {2, 2, 2, 1, 2}},
        {"Z:\\", Step::StateImage, {2, 2, 1, 1, 2}},
        {"Drives", Step::Space, {1, 2, 1, 1, 2}},
        {"Drives", Step::StateImage, {2, 2, 2, 1, 2}},
        {"Drives", Step::StateImage, {1, 1, 1, 1, 2}},
        {"C:\\", Step::StateImage, {1, 2, 1, 1, 2}},
        {"Drives", Step::Collapse, {1, 2, 1, 1, 2}},
    };
    std::vector<std::function<void()>> Script;
    for (const Step& S : Steps)
        Script.push_back([this, S, &Texts] {
            const HTREEITEM Item = Node(S.Node);
            switch (S.Action) {
            case Step::StateImage: Click(Item, true); break;
            case Step::Text: Click(Item, false); break;
            case Step::Space:
                Chooser->TV->Select(Item);
                ::SendMessageA(Tree(), WM_KEYDOWN, VK_SPACE, 0);
                break;
            case Step::Collapse: {
                // The answer the control gets (Wine's control collapses
                // whatever the answer; Windows' keeps the node open).
                NMTREEVIEWA Nm = {};
                Nm.hdr.hwndFrom = Tree();
                Nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(Tree()));
                Nm.hdr.code = TVN_ITEMEXPANDINGA;
                Nm.action = TVE_COLLAPSE;
                Nm.itemNew.hItem = Item;
                EXPECT_TRUE(::SendMessageA(::GetParent(Tree()), WM_NOTIFY, Nm.hdr.idFrom,
                                           reinterpret_cast<LPARAM>(&Nm)))
                    << "collapsing is refused";
                break;
            }
            }
            EXPECT_EQ(States(Texts), S.After) << S.Node;
        });
    Script.push_back(
        [this] { ::SendMessageA(Chooser->startbutton->Handle(), BM_CLICK, 0, 0); });
    ModalScript Modal(&App, [this] { return Chooser->Visible(); }, Script);
    StringList Roots = {"stale"};
    EXPECT_TRUE(Chooser->SelectSearchRoots(Roots));
    EXPECT_EQ(Modal.Done(), Script.size());
    EXPECT_EQ(Roots, (StringList{"C:\\", ProgramFiles}));

    // The system's icons, although the chooser was opened before any quiet
    // moment prepared them: (node, image, selected image).
    const auto Images = [this](const std::string& Text) {
        TVITEMA It = {};
        It.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        It.hItem = Node(Text);
        ::SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It));
        return std::make_pair(It.iImage, It.iSelectedImage);
    };
    TKivSystemImageList& Sys = *Chooser->SystemImageList;
    const int Computer = Sys.GetSpecialFolderIconIndex(SF_DRIVES), Closed = Sys.GetFolderIconIndex(false),
              Open = Sys.GetFolderIconIndex(true);
    ASSERT_GE(std::min({Computer, Closed, Open}), 0);
    ModalScript Cancel(&App, [this] { return Chooser->Visible(); },
                       {[&] {
                            EXPECT_EQ(Images("Drives"), std::make_pair(Computer, Computer));
                            EXPECT_EQ(Images("C:\\"), std::make_pair(Closed, Open));
                            EXPECT_EQ(Images("Program locations"), std::make_pair(Closed, Open));
                        },
                        [this] { ::SendMessageA(Chooser->cancelbutton->Handle(), BM_CLICK, 0, 0); }});
    EXPECT_FALSE(Chooser->SelectSearchRoots(Roots));
    EXPECT_TRUE(Roots.empty());
    EXPECT_EQ(States({"Drives", "Program locations", ProgramFiles}), (std::vector<int>{1, 1, 2}))
        << "each question starts afresh";
}

TEST_F(SearchWin, TheApplicationListsSearchActionAsksForLocations)
{
    // As at start-up: the list window first, the chooser after it.
    auto* ListForm = new TApplicationListForm(&App);
    Chooser = new TSearchForFilesForm(&App);
    // Its toolbar's action, which is made with its window.
    ListForm->EnsureHandle();
    ModalScript Cancel(&App, [this] { return Chooser->Visible(); },
                       {[this] { ::SendMessageA(Chooser->cancelbutton->Handle(), BM_CLICK, 0, 0); }});
    EXPECT_TRUE(ListForm->SearchForFilesAction->Execute());
    EXPECT_EQ(Cancel.Done(), 1u) << "the chooser was shown";
}

TEST_F(SearchWin, SearchEndToEnd)
{
    ClearDatabase();
    SetFileProbe(&Win32FileProbe);
    for (const auto& Rule : std::vector<std::vector<const char*>>{
             {"Bramble", ">= 1.0", "bind", "bramble.exe"},
             {"Glimcopy", "", "unsupported", "glimcopy.exe"},
             {"Orrel", ">= 2.0", "external", "orrel.exe"},
             {"Looped", ">= 1.0", "bind", "looped.exe"},
             {"Deep", ">= 1.0", "bind", "deep.exe"},
             {"Odd", ">= 1.0", "bind", "odd.exe"},
             {"Devcon", ">= 1.0", "bind", "devcon.exe"},
             {"Devaux", ">= 1.0", "bind", "devaux.exe"},
             {"Trail", ">= 1.0", "bind", "trail.exe"}})
        ASSERT_EQ(AddKnownApp(KnownApps, "Tools", Rule[0], Rule[1], "", Rule[2], Rule[3], "", "",
                              "", "", "", ""),
                  ieOk);
    TDatabaseGrid Table;
    ConfigureApplicationTable(Table);
    TApplicationList List(Table);
    List.OnResolveDuplicates = [](StringList& Found, std::vector<TIdentifyInfo>& Refs) {
        return ConfirmDuplicatesForm->Execute(Found, Refs);
    };
    TConfirmDuplicatesForm* Resolver = ConfirmDuplicatesForm;
    std::vector<std::function<void()>> Steps = {
        [this] {
            // Only the fixture drive: the program folder off, Q: on.
            Click(Node(Chooser->TV->ItemText(Chooser->TV->Children(Node("Program locations"))[0])),
                  true);
            Click(Node("Q:\\"), true);
        },
        [this] { ::SendMessageA(Chooser->startbutton->Handle(), BM_CLICK, 0, 0); },
    };
    ModalScript Choose(&App, [this] { return Chooser->Visible(); }, Steps);
    std::vector<std::string> Offered;
    ModalScript Resolve(&App, [Resolver] { return Resolver->Visible(); },
                        {[Resolver, &Offered] {
                            for (HTREEITEM G : Resolver->TV->Children(nullptr)) {
                                Offered.push_back(Resolver->TV->ItemText(G));
                                for (HTREEITEM C : Resolver->TV->Children(G))
                                    Offered.push_back(Resolver->TV->ItemText(C) + " " +
                                                      std::to_string(Resolver->TV->ItemState(C)));
                            }
                            ::SendMessageA(Resolver->okbutton->Handle(), BM_CLICK, 0, 0);
                        }});
    SearchForFilesActionExecute(List);
    EXPECT_EQ(Choose.Done(), Steps.size());
    EXPECT_EQ(Offered, (std::vector<std::string>{"Bramble", "Version 2.1: [Q:\\emu\\new\\bramble.exe] 4",
                                                 "Version 1.5: [Q:\\emu\\old\\bramble.exe] 3"}));
    std::vector<std::string> Rows;
    for (int Row = 1; Row <= Table.RecordCount(); ++Row)
        if (!Table.IsRecordEmpty(Row, false))
            Rows.push_back(Table.CellByName("Flags", Row) + "|" + Table.CellByName("Application", Row) +
                           "|" + Table.CellByName("Version", Row) + "|" +
                           Table.CellByName("Location", Row));
    std::string Deep = "Q:\\deep\\";
    for (int Level = 0; Level < 67; ++Level)
        Deep += "dd\\";
    // Each once: the links beside looped.exe are not followed, and the
    // root's own orrel.exe is not examined (it would be offered beside the
    // other one).
    EXPECT_EQ(Rows, (std::vector<std::string>{"N|Bramble|2.1|Q:\\emu\\new\\bramble.exe",
                                              "N|Deep|2.1|" + Deep + "deep.exe",
                                              "N|Devaux|2.1|Q:\\aux\\devaux.exe",
                                              "N|Devcon|2.1|Q:\\CON\\devcon.exe",
                                              "N|Looped|2.1|Q:\\loop\\looped.exe",
                                              "N|Odd|2.1|Q:\\odd names; 100% & more! [x]\\odd.exe",
                                              "N|Orrel|2.1|Q:\\ext\\orrel.exe",
                                              "N|Trail|2.1|Q:\\trail \\trail.exe"}));
    SetFileProbe(nullptr);
    ClearDatabase();
}

}  // namespace
