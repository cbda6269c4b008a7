// Names and files that come from the other station. Whatever a peer sends decides at most a
// plain file name inside the download folder (or the home folder, for an uncompressed file);
// every path built from a received name is built here, and every file such a path names is
// opened here, never through a symbolic link.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarvis {

// The longest received name kept (bytes, as the peer sent them).
inline constexpr std::size_t kMaxReceivedName = 255;

// The plain file name a received name stands for: its last component after either separator,
// as UTF-8 (the peer's bytes are Latin-1). Empty when the name must be refused: nothing left,
// ".", "..", a control character, or longer than kMaxReceivedName.
std::string SafeReceivedName(std::string_view received);

// The stem of a plain name: everything before its last dot (the whole name without one).
std::string NameStem(const std::string& name);

// What lies at a path, without following a symbolic link at its end.
// Unreachable: the folder cannot be looked into (errno says why).
enum class PathKind { Missing, RegularFile, Other, Unreachable };
PathKind KindAt(const std::string& path, long long* size = nullptr);

// Opens a file for binary writing without following a symbolic link at its end:
// `create` makes a new file (failing when anything is there), otherwise an existing regular
// file is opened for appending. Null with errno set on failure.
std::FILE* OpenReceivedFile(const std::string& path, bool create);

// Moves a file to a path where nothing is, never replacing what is there. False with errno.
bool MoveWithoutReplacing(const std::string& from, const std::string& to);

} // namespace tarvis
