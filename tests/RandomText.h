// Seeded random texts for the stored-form property tests: every printable
// character, often a blank at either end, sometimes empty.
#pragma once

#include <random>
#include <string>

inline std::string RandomPrintable(std::mt19937& Rng, unsigned MaxLength)
{
    std::string S(Rng() % (MaxLength + 1), ' ');
    for (char& C : S)
        C = static_cast<char>(' ' + Rng() % 95);
    if (Rng() % 8 == 0)
        S.insert(S.begin(), ' ');
    if (Rng() % 8 == 0)
        S += ' ';
    return S;
}
