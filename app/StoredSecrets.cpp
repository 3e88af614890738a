#include "app/StoredSecrets.h"

#include "settings/SettingsKeys.h"

namespace vantaro {

void ConcealStoredSecrets(const Profile& settings, Log& log) {
    log.Conceal(Secret(settings.ReadString(settings::kSetting, settings::kPassword, "")));
}

} // namespace vantaro
