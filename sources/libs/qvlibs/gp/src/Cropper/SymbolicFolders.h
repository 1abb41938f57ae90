// The standard folders that file-path crops show by an alias ("[Documents]:Projects:plan.txt").
#pragma once

#include <map>
#include <string>

namespace QV::GP::DETAIL {

// The text with its leading standard folder replaced by the folder's alias: the longest folder of
// `folders` (colon-style path -> alias) that begins the text and ends where the text ends or at one
// of its ':'. The text unchanged when no folder does.
std::string withSymbolicFolder(const std::string& text, const std::map<std::string, std::string>& folders);

}  // namespace QV::GP::DETAIL
