#pragma once
// The secrets that Setting.ini keeps, handed to the log to conceal before any step can name
// one by mistake.

#include "log/Log.h"
#include "platform/Profile.h"

namespace vantaro {

void ConcealStoredSecrets(const Profile& settings, Log& log);

} // namespace vantaro
