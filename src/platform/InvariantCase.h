#pragma once
// Texts upper-cased as the system does in its invariant locale, the same on every system
// whatever its user's language: the registry compares key names, and so Brindle compares
// titles (core/ViewerTitle.h), without regard to case this way.

#include <string>
#include <string_view>

namespace platform {

// `text` upper-cased letter by letter in the invariant locale, as long as `text`.
std::wstring InvariantUpperCase(std::wstring_view text);

} // namespace platform
