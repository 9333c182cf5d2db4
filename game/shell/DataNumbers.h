#pragma once

#include <string>

// Numbers from the game's own data files (help pages, stories, UI descriptions, stage
// settings), which a player or a modder can replace: bounds that keep every sum the game
// works with them inside an int, and readers that never overflow.
namespace DataNumbers {

// Pages of a help or story file.
constexpr int kMaxPages = 256;
// Coordinates and sizes in pixels lie within this distance of the 1024x768 screen's
// origin: far enough for anything placed off screen, near enough that sums of a few never
// wrap.
constexpr int kMaxCoordinate = 1 << 16;
// The screen the game draws on: the largest size an element can use.
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
// Times in updates (100 a second): about 46 hours.
constexpr int kMaxTicks = 1 << 24;

int Clamp(long long value, int low, int high);
inline int ClampCoordinate(long long value) { return Clamp(value, -kMaxCoordinate, kMaxCoordinate); }
// a + b, held at the int range instead of wrapping.
int AddClamped(int a, int b);

// The leading decimal number of the text as atoi reads it (spaces, a sign, digits, the
// rest ignored; 0 without digits), but held at the int range instead of being undefined.
int LeadingInt(const std::string& text);

// Strictly a whole number: an optional '-', then decimal digits or "0x" and hex digits,
// and nothing else. A decimal number must fit an int; a hex one may use all 32 bits
// (colours with alpha), which it keeps. False for anything else ("", "-", "0x",
// "1junk", "99999999999").
bool ParseWhole(const std::string& text, int* value);

}  // namespace DataNumbers
