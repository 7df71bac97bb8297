#pragma once
// The lookup the list drop-downs share: the first entry that begins with a typed text, and the
// edit text that completes it.
#include <functional>
#include <string>

// The first of Count entries whose Caption (i) begins with Typed, both upper-cased by the
// locale's rules unless MatchCase; -1 when none matches or Typed is empty.
int FindCompletion(int Count, const std::function<std::string(int)>& Caption,
                   const std::string& Typed, bool MatchCase);
// Typed as typed, followed by the rest of Caption (at most 255 further characters).
std::string CompletedText(const std::string& Typed, const std::string& Caption);
