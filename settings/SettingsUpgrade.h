#pragma once
// What an upgrade makes of Setting.ini: the earlier install's file, with every value that its
// user or administrator set, and the new version's interface texts and new keys.

#include <string>

namespace vantaro::settings {

// `kept` is the earlier install's Setting.ini, `shipped` the one this version delivers. Every
// key of a text section ([Chinese], [English]) takes the shipped text; every other key of the
// shipped file that `kept` lacks is added with its shipped value. Everything else, notes and
// keys this version no longer knows included, stays byte for byte where it stood.
std::string UpgradedSettings(const std::string& kept, const std::string& shipped);

} // namespace vantaro::settings
