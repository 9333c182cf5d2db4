#pragma once

// Text output of the content generator. INI files are read by a parser that ends lines only
// at CR LF, so every INI-style file goes out with CR LF line ends; other text keeps LF.

#include <string>

namespace mkcontent {

// Writes root/relativePath, making folders; with crlf every LF becomes CR LF (existing CR LF
// pairs are kept). False when the file cannot be written.
bool WriteText(const std::string& root, const std::string& relativePath, const std::string& text, bool crlf);

// Whether the readers of this file are INI readers (by extension: .txt .set .anim .spr .ini
// .lay; font descriptors excepted), so the file needs CR LF line ends.
bool NeedsCrLf(const std::string& relativePath);

}  // namespace mkcontent
