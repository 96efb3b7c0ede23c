// TreeView: the common tree control with an image list for node icons and a
// state image list of its own (state n draws image n; 0 shows none).
#pragma once

#include "toolkit/Control.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

class ImageList;

struct TreeViewArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 200, Height = 200;
    TAlign Align = TAlign::None;
    int Indent = 19;
    bool ReadOnly = true;
    // Node icons; not owned (it may be the shell's shared list).
    HIMAGELIST Images = nullptr;
    ImageList* StateImages = nullptr;
};

class TreeView : public Control {
public:
    TreeView(Component* Owner, const TreeViewArgs& Args);

    // Appends a node under Parent (nullptr: at the top level).
    HTREEITEM AddChild(HTREEITEM Parent, const std::string& Text, int Image, int SelectedImage,
                       int State, LPARAM Data);
    void Delete(HTREEITEM Item);
    void Clear();

    std::string ItemText(HTREEITEM Item) const;
    LPARAM ItemData(HTREEITEM Item) const;
    int ItemState(HTREEITEM Item) const;
    void SetItemState(HTREEITEM Item, int State);
    // 0 for a top-level node.
    int Level(HTREEITEM Item) const;

    HTREEITEM FirstRoot() const;
    HTREEITEM FirstChild(HTREEITEM Item) const;
    HTREEITEM NextSibling(HTREEITEM Item) const;
    HTREEITEM ParentOf(HTREEITEM Item) const;
    // The children of Parent (top-level nodes for nullptr), in order.
    std::vector<HTREEITEM> Children(HTREEITEM Parent) const;
    std::vector<HTREEITEM> Siblings(HTREEITEM Item) const { return Children(ParentOf(Item)); }

    HTREEITEM Selected() const;
    void Select(HTREEITEM Item);
    void FullExpand();
    // Stops painting between BeginUpdate and the matching EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    // The node at P (client coordinates) and the part hit (TVHT_*).
    HTREEITEM HitTest(POINT P, UINT& Flags) const;
    // Where the left button last went down, in client coordinates.
    POINT MouseDownPos() const { return FMouseDown; }

    std::function<void(TreeView& Sender)> OnClick;
    std::function<void(TreeView& Sender)> OnDblClick;
    std::function<void(TreeView& Sender, WORD Key)> OnKeyDown;
    std::function<void(TreeView& Sender, HTREEITEM Item, bool& AllowCollapse)> OnCollapsing;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    LRESULT NotifyReflect(NMHDR* Header, bool& Handled) override;

private:
    int FUpdateCount = 0;
    POINT FMouseDown = {-1, -1};
};
