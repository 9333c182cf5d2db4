#pragma once

#include <string>
#include <vector>

// Small C-string tools shared by the engine's text readers (INI files, sprite,
// animation, particle and sound-description files). A "blank" is the space
// character only; a tab is not a blank here.
//
// Every pointer these functions return points into the buffer they were given
// (changed in place), never into a new allocation, except Duplicate and the
// strings that Split appends.
namespace com_string {

// A heap copy made with malloc (release it with free); null for null.
char* Duplicate(const char* text);

// Overwrites trailing blanks with NULs and returns the first non-blank
// character. Null gives null; an all-blank string gives its terminating NUL.
char* TrimBlanks(char* text);

// Stores the string's start in *token, ends the token at the first delimiter
// (overwritten with a NUL) and returns the character after it. When the string
// has no delimiter, returns its terminating NUL; an empty or null string gives
// null.
char* CutAtDelimiter(char* text, char** token, char delimiter);

// Splits a list value such as "1, 2,3" or "x,y;x,y" at the delimiter into
// trimmed, non-empty pieces. The vector is emptied first; returns its size.
int Split(const char* text, char delimiter, std::vector<std::string>& out);

}  // namespace com_string
