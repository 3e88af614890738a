#pragma once
// The install as the Settings dialog shows it: status texts in its status line, message boxes
// from the worker, the outcome flags in its form. Once the dialog has ended nothing reaches it.

#include "workflow/InstallSequence.h"
#include "workflow/SettingsForm.h"

namespace vantaro {

class FormInstallReport final : public InstallReport {
public:
    FormInstallReport(SettingsForm& form, MessageSink& messages) : form_(form), messages_(messages) {}

    void Show(const std::string& text) override {
        if (Log* log = form_.StepLog()) log->Said(text);
        messages_.Show(text);
    }
    void Step(LogStep step, LogResult result, std::uint32_t errorCode, const std::string& detail) override {
        if (Log* log = form_.StepLog()) log->Step(step, result, errorCode, detail);
    }
    void Conceal(const Secret& secret) override {
        if (Log* log = form_.StepLog()) log->Conceal(secret);
    }
    void Status(const std::string& text) override { form_.SetStatusText(text); }
    std::string LookUpMessage(const std::string& key) const override { return form_.LookUpMessage(key); }
    std::string LookUpText(const std::string& key, const std::string& english) const override {
        return form_.LookUpText(key, english);
    }
    void ModemInstalled() override { form_.modemInstalled = 1; }
    void ConnectionNamed(const std::string& entryName) override { form_.SetConnectionName(entryName); }
    void ConnectionCreated() override { form_.connectionCreated = 1; }
    bool Stopped() const override { return form_.Controls().Ended(); }

private:
    SettingsForm& form_;
    MessageSink& messages_;
};

} // namespace vantaro
