#pragma once

// Opens a link in the user's browser or mail program (what ShellExecute "open" was).
// Only http:, https: and mailto: links are opened; anything else (files, programs, other
// schemes) is refused. With VELM_NONINTERACTIVE=1 nothing is launched: the link goes to
// stderr and counts as opened.

#include <functional>
#include <string>

namespace plat {

bool IsOpenableLink(const std::string& link);
// True when the system took the link.
bool OpenLink(const std::string& link);

// Test hook: while set, openable links go to the handler instead and its answer is
// returned. An empty function removes it.
void SetOpenLinkHandlerForTests(std::function<bool(const std::string&)> handler);

}  // namespace plat
