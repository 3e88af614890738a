#pragma once
// Sections, keys and defaults of Setting.ini. The names are the file's own and are spelled
// exactly as users find them there.

namespace vantaro::settings {

inline constexpr char kFileName[] = "Setting.ini";

inline constexpr char kSetting[] = "Setting";
inline constexpr char kBaseSetting[] = "BaseSetting";
inline constexpr char kOperators[] = "Operators";

// [Setting]
inline constexpr char kNumber[] = "number";
inline constexpr char kUserName[] = "username";
inline constexpr char kPassword[] = "password";
inline constexpr char kInit[] = "init";
inline constexpr char kConnMode[] = "conn_mode";
inline constexpr char kApn[] = "apn";
inline constexpr char kDns1[] = "dns1";
inline constexpr char kDns2[] = "dns2";
inline constexpr char kConnectionName[] = "connection_name";
inline constexpr char kDefaultConnectionName[] = "default_connection_name";
inline constexpr char kMaxOperatorNum[] = "max_operator_num";
inline constexpr char kModemInfFile64[] = "modem_inf_file64";
// 1: an install replaces a dial-up entry of connection_name that was there before it (default 0).
inline constexpr char kReplaceEntry[] = "replace_entry";
// A dropped link: whether it is dialled again, how often, and the first pause.
inline constexpr char kRedial[] = "redial";
inline constexpr char kRedialAttempts[] = "redial_attempts";
inline constexpr char kRedialFirstWait[] = "redial_first_wait";
// Dialling while the phone roams: kRoamingAsk, kRoamingAllow or kRoamingDeny.
inline constexpr char kRoaming[] = "roaming";
// The month's bytes: the limit in megabytes (0: none), and kLimitActionWarn or
// kLimitActionDisconnect when it is reached.
inline constexpr char kMonthlyLimitMb[] = "monthly_limit_mb";
inline constexpr char kLimitAction[] = "limit_action";
// The day of the month (1 to 28, default 1) that the operator's billing period starts on; the
// month's bytes and its limit count from it.
inline constexpr char kBillingDay[] = "billing_day";

// 1: a dial series tries the Phone dialog's APNs in turn after a dial that the network refused
// for its APN; 0 (the default): the init string the install wrote is dialled alone.
inline constexpr char kApnTryAll[] = "apn_try_all";

// [BaseSetting]
inline constexpr char kLanguage[] = "language";
inline constexpr char kModemInfFile[] = "modem_inf_file";
inline constexpr char kHardwareIdInInf[] = "hardwareid_in_inf";

// [Operators] operator1, operator2, ...; each operator's own section holds its "number".
inline constexpr char kOperatorKeyPrefix[] = "operator";
inline constexpr char kOperatorKeyFormat[] = "operator%d";

// Defaults where the key table gives one other than the empty string.
inline constexpr char kDefaultApnOnLoad[] = "cmnet";
inline constexpr char kDefaultConnectionNameValue[] = "GPRS Connection";
inline constexpr int kDefaultMaxOperatorNum = 500;
inline constexpr char kDefaultModemInf[] = "modem_inf.inf";
inline constexpr char kDefaultModemInf64[] = "modem_inf64.inf";
inline constexpr char kDefaultLanguage[] = "0";
inline constexpr int kDefaultConnModeOnInstall = 1;

// Stored values.
inline constexpr char kConnModeGprs[] = "1";
inline constexpr char kConnModeCsd[] = "0";
inline constexpr char kLanguageChinese[] = "0";
inline constexpr char kLanguageEnglish[] = "1";
inline constexpr char kRoamingAsk[] = "ask";
inline constexpr char kRoamingAllow[] = "allow";
inline constexpr char kRoamingDeny[] = "deny";
inline constexpr char kLimitActionWarn[] = "warn";
inline constexpr char kLimitActionDisconnect[] = "disconnect";

// Interface-text sections, which are also the current language names.
inline constexpr char kChinese[] = "Chinese";
inline constexpr char kEnglish[] = "English";

} // namespace vantaro::settings
