#pragma once

#include <cstdarg>
#include <string>

namespace Velm {

// Byte strings are std::string; wide strings hold one 16-bit character per
// wchar_t. The framework's text-string type is the byte string.

std::string StringToUpper(const std::string& text);
std::string StringToLower(const std::string& text);
// Each byte becomes one wide character of the same unsigned value (no code page).
std::wstring StringToWideString(const std::string& text);
// Characters up to 0xFF become one byte each; any other character makes the
// whole result empty, as the C locale's conversion fails on it.
std::string WideStringToString(const std::wstring& text);
std::string StringToText(const std::string& text);
std::wstring TextToWideString(const std::string& text);
std::string WideStringToText(const std::wstring& text);
std::string TrimString(const std::string& text);
// Index of the first case-insensitive occurrence of pattern in text, or -1.
int FindNoCase(const char* text, const char* pattern);

// Strict decimal and "0x" hexadecimal parser; false and 0 on any other character.
bool StringToInt(const std::string& text, int* value);
// Strict "[-]digits[.digits]" parser with no exponent; false and 0 otherwise.
bool StringToDouble(const std::string& text, double* value);
// Decimal text with a ',' before every group of three digits from the right.
std::string FormatThousands(int value);

std::string FormatString(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 1, 2)))
#endif
        ;
std::string FormatStringV(const char* format, va_list args);

// Symbolic name of a DirectDraw, Direct3D or DirectSound result code, or the
// code in lower-case hexadecimal when it is not one of the known ones.
std::string GetDirectXErrorName(long result);

// There is no Windows family on this platform: never the 9x family, and the
// behaviour of the newer systems everywhere.
bool IsWindows9x();
bool IsWindowsVistaOrLater();

// A display aspect ratio, always stored reduced; a new ratio is 1/1.
class Ratio {
public:
    Ratio() : mNumerator(1), mDenominator(1) {}
    Ratio(int numerator, int denominator) { Set(numerator, denominator); }
    void Set(int numerator, int denominator);
    bool operator==(const Ratio& other) const {
        return mNumerator == other.mNumerator && mDenominator == other.mDenominator;
    }
    bool operator!=(const Ratio& other) const { return !(*this == other); }

    int mNumerator;
    int mDenominator;
};

}  // namespace Velm
