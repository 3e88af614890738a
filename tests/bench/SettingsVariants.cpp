#include "bench/SettingsVariants.h"

#include "settings/IniDocument.h"
#include "settings/SettingsKeys.h"

#include <cstdio>

namespace vantaro::bench {

namespace {

std::string OperatorName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "Operator %03d", index);
    return name;
}

std::string OperatorNumber(int index) {
    char number[32];
    std::snprintf(number, sizeof number, "*99***%d#", index);
    return number;
}

} // namespace

std::string WithOperators(const std::string& delivered, int count) {
    IniDocument document(delivered);
    for (int i = 1; i <= count; ++i) {
        char key[32];
        std::snprintf(key, sizeof key, settings::kOperatorKeyFormat, i);
        document.Set(settings::kOperators, key, OperatorName(i));
    }
    // The operators' own sections follow the file's, as a user would add them.
    std::string text = document.Text();
    if (!text.empty() && text.back() != '\n') text += "\r\n";
    for (int i = 1; i <= count; ++i)
        text += "\r\n[" + OperatorName(i) + "]\r\n" + settings::kNumber + "=" + OperatorNumber(i) + "\r\n";
    return text;
}

std::string ReaderFileOfSize(std::size_t bytes) {
    const std::string last = std::string("[") + kLastSection + "]\r\n" + kLastKey + "=" + kLastValue + "\r\n";
    std::string text = "; Settings reader benchmark\r\n";
    for (int i = 1; text.size() + last.size() < bytes; ++i)
        text += "[" + OperatorName(i) + "]\r\nnumber=" + OperatorNumber(i) + "\r\napn=cmnet\r\nusername=user" +
                std::to_string(i) + "\r\n";
    text += last;
    return text;
}

} // namespace vantaro::bench
