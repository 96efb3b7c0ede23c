#include "components/StaticImageList.h"

bool IsCheckableIcon(const std::string& CheckableIcons, int Index)
{
    return Index >= 0 && static_cast<std::size_t>(Index) < CheckableIcons.size() &&
           CheckableIcons[static_cast<std::size_t>(Index)] != '-';
}

template <typename T> static void SetAndChange(TStaticImageListState& List, T& Field, const T& Value)
{
    if (Field == Value)
        return;
    Field = Value;
    List.Change();
}

void TStaticImageListState::SetCheckableIcons(const std::string& Value)
{
    SetAndChange(*this, FCheckableIcons, Value);
}

void TStaticImageListState::SetDrawBorder(bool Value) { SetAndChange(*this, FDrawBorder, Value); }
void TStaticImageListState::SetBorderColor(TColor Value) { SetAndChange(*this, FBorderColor, Value); }
void TStaticImageListState::SetTransparent(bool Value) { SetAndChange(*this, FTransparent, Value); }

void TStaticImageListState::BeginUpdate()
{
    ++FUpdateCount;
}

void TStaticImageListState::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    Change();
}

void TStaticImageListState::Change()
{
    if (FUpdateCount == 0)
        NotifyChange();
}

TImageLook TStaticImageListState::LookFor(int Index, bool Enabled, bool Checked) const
{
    if (!Enabled)
        return TImageLook::Embossed;
    if (IsCheckableIcon(FCheckableIcons, Index) && !Checked)
        return TImageLook::Greyscale;
    if (FDrawBorder)
        return TImageLook::Framed;
    if (!FTransparent)
        return TImageLook::Opaque;
    return TImageLook::Direct;
}
