#include "hosting/RulesFile.h"

#include "RandomText.h"
#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

std::string Pick(std::mt19937& Rng, std::initializer_list<const char*> Items)
{
    return *(Items.begin() + Rng() % Items.size());
}

std::string RandomNumber(std::mt19937& Rng)
{
    return Rng() % 3 == 0 ? std::string() : IntToStr(static_cast<long long>(Rng() % 100000));
}

std::string RandomQuoted(std::mt19937& Rng, unsigned MaxInner)
{
    return Rng() % 3 == 0 ? std::string() : "\"" + RandomPrintable(Rng, MaxInner) + "\"";
}

std::string RandomVersion(std::mt19937& Rng)
{
    if (Rng() % 3 == 0)
        return std::string();
    std::string V = IntToStr(static_cast<long long>(Rng() % 65536));
    for (unsigned Parts = Rng() % 4; Parts > 0; --Parts)
        V += "." + IntToStr(static_cast<long long>(Rng() % 65536));
    return Pick(Rng, {"= ", "< ", "<=", "> ", ">=", "? "}) + std::string(" ") + V;
}

std::string RandomMethod(std::mt19937& Rng)
{
    std::string M = Pick(Rng, {"bind", "bind", "external", "unsupported"});
    if (M != "bind")
        return M;
    const char* Options[] = {"no title", "hard sizing", "only 1x"};
    for (const char* O : Options)
        if (Rng() % 2)
            M += std::string("; ") + O;
    if (Rng() % 3 == 0)
        M += "; minsize=start";
    else if (Rng() % 2)
        M += "; minsize=" + IntToStr(static_cast<long long>(Rng() % 2000)) + "," +
             IntToStr(static_cast<long long>(Rng() % 2000));
    return M;
}

// The lines of a description without its category list: a category whose
// only row was refused after its category was taken is not written.
std::string EntriesAndRules(const std::string& Description)
{
    std::istringstream In(Description);
    std::string Out;
    for (std::string L; std::getline(In, L);)
        if (L.compare(0, 9, "category ") != 0)
            Out += L + "\n";
    return Out;
}

// What the editor takes (its category check, then AddKnownApp) must come
// back unchanged from the rules text; what cannot come back is refused
// where it is entered.
TEST(RulesRoundTrip, RandomDatabasesComeBackOrAreRefused)
{
    std::mt19937 Rng(20140424);
    int Accepted = 0, Refused = 0;
    for (int Round = 0; Round < 40; ++Round) {
        SCOPED_TRACE(Round);
        ClearDatabase();
        // Categories in order of first use, so that the writer's grouping by
        // category keeps the entries' order.
        StringList Pool;
        while (Pool.size() < 4) {
            const std::string C = RandomPrintable(Rng, 8);
            if (IndexOfCategory(Pool, C) < 0)
                Pool.push_back(C);
        }
        std::size_t Category = 0;
        for (int Row = 0; Row < 30; ++Row) {
            if (Rng() % 8 == 0 && Category + 1 < Pool.size())
                ++Category;
            const std::string Texts[] = {Pool[Category], RandomPrintable(Rng, 6),
                                         RandomPrintable(Rng, 6), RandomPrintable(Rng, 6),
                                         RandomPrintable(Rng, 6)};
            const std::string Title = RandomQuoted(Rng, 46), Class = RandomQuoted(Rng, 46);
            // The editor refuses it; the writer would drop the ';'.
            if (!IsStorableCategory(Texts[0])) {
                ++Refused;
                continue;
            }
            const std::uint8_t Code =
                AddKnownApp(KnownApps, Texts[0], Texts[1], RandomVersion(Rng), RandomNumber(Rng),
                            RandomMethod(Rng), Texts[2], RandomNumber(Rng), Texts[3], Texts[4],
                            Title, Class, RandomNumber(Rng));
            const bool Storable =
                std::all_of(std::begin(Texts), std::end(Texts), IsStorableCellText) &&
                Title.find('|') == std::string::npos &&
                Class.find('|') == std::string::npos;
            ASSERT_EQ(Code == ieOk, Storable) << int(Code) << " [" << Texts[0] << "] [" << Texts[1] << "]";
            (Code == ieOk ? Accepted : Refused)++;
        }
        for (int Rule = 0; Rule < 6; ++Rule)
            if (AddWindowRule(Rule % 2 ? AllowedWindows : ForbiddenWindows, RandomQuoted(Rng, 20),
                              RandomQuoted(Rng, 20), RandomQuoted(Rng, 20)) != ieOk)
                ++Refused;
        const std::string Before = EntriesAndRules(DescribeDatabase());
        const StringList Text = WrittenRules();
        ClearDatabase();
        int ErrorLine = 0;
        ASSERT_EQ(ReadFresh(Text, ErrorLine), ieOk) << "line " << ErrorLine << ": " << Text.at(ErrorLine - 1);
        KnownApps.RulesDate = 0;
        EXPECT_EQ(EntriesAndRules(DescribeDatabase()), Before);
    }
    EXPECT_GT(Accepted, 100);
    EXPECT_GT(Refused, 100);
}

}  // namespace
