#pragma once

#include <string>
#include <vector>

// Relative names inside a storage are written with '\' or '/' in any letter case; every
// operation first brings them to one form: '\' separators, lower case, no trailing '\'.
// That form is a storage's key and name; it is never used to reach the disk itself.

// '/' becomes '\', every other byte is lower-cased, and one trailing '\' is dropped.
void NormalizeStgPath(std::string& path);

// Cuts a normalised path at every '\'. The first part runs to the first '\' after the
// first character, so a leading '\' stays with the first part; two separators in a row
// give an empty part. With `last`, the final part goes there and is left out of the
// result; an empty path gives no parts and an empty `last`.
std::vector<std::string> SplitStgPath(const std::string& path, std::string* last = nullptr);

// Byte strings equal when ASCII letters are compared without case.
bool StgNamesEqual(const std::string& a, const std::string& b);
