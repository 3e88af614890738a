#pragma once
// The outcome dialog (template 102): runs the Settings dialog while it initialises, words the
// result into its text field and ends before it is ever shown.

#include "app/Dialog.h"

#include <string>

namespace vantaro {

class OutcomeDialog final : public Dialog {
public:
    explicit OutcomeDialog(std::string profilePath);
    ~OutcomeDialog() override;

private:
    BOOL OnInit() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

    void AppendAboutMenuItem();
    void PaintMinimised();

    std::string profilePath_;
    HICON appIcon_;
};

// The message shown when the platform is not of the NT family.
inline constexpr char kPlatformMessage[] = "The program can be run on Win2000/XP/Vista only!";

} // namespace vantaro
