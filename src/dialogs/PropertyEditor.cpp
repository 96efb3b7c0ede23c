#include "dialogs/PropertyEditor.h"

static bool HasLetter(const std::string& Letters, char C)
{
    return Letters.find(C) != std::string::npos;
}

TPropertyChoice PropertyChoiceOf(const std::string& Letters)
{
    TPropertyChoice C;
    C.BindingItem = HasLetter(Letters, 'B') ? biBind : HasLetter(Letters, 'U') ? biUnsupported : biExternal;
    C.RemoveCaption = HasLetter(Letters, 'R');
    C.OneInstance = HasLetter(Letters, '1');
    C.HardResizing = HasLetter(Letters, 'H');
    return C;
}

std::string PropertyLettersOf(const TPropertyChoice& Choice)
{
    std::string R = Choice.BindingItem == biBind ? "B" : Choice.BindingItem == biUnsupported ? "U" : "E";
    if (Choice.RemoveCaption)
        R += 'R';
    if (Choice.OneInstance)
        R += '1';
    if (Choice.HardResizing)
        R += 'H';
    return R;
}
