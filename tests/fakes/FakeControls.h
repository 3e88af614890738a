#pragma once
// The Settings dialog's controls in memory: texts, list items, selections and enabled states
// by control id. Like the real edit controls, setting a text can notify the dialog (wire
// onTextChanged to what the dialog runs on EN_CHANGE).

#include "platform/DialogControls.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeControls final : public DialogControls {
public:
    struct Control {
        std::string text;
        std::vector<std::string> items;
        std::vector<std::uint32_t> itemData;
        int selection = -1;
        bool enabled = true;
        bool isList = false;
    };

    // Marks the ids that are combo or list boxes: their text is the selected item's.
    void MakeList(int id) { controls_[id].isList = true; }

    std::string GetText(int id) const override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const Control& control = At(id);
        if (control.isList)
            return control.selection >= 0 && control.selection < static_cast<int>(control.items.size())
                       ? control.items[static_cast<std::size_t>(control.selection)]
                       : std::string();
        return control.text;
    }
    void SetText(int id, const std::string& text) override {
        std::function<void(int)> notify;
        {
            std::lock_guard<std::recursive_mutex> lock(mutex_);
            if (ended_) return;
            controls_[id].text = text;
            ++setTextCount[id];
            notify = onTextChanged;
        }
        if (notify) notify(id);
    }
    void Enable(int id, bool on) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (!ended_) controls_[id].enabled = on;
    }
    void ResetContent(int id) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (ended_) return;
        controls_[id].items.clear();
        controls_[id].itemData.clear();
        controls_[id].selection = -1;
    }
    int AddString(int id, const std::string& text) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (ended_) return -1;
        Control& control = controls_[id];
        control.isList = true;
        control.items.push_back(text);
        control.itemData.push_back(0);
        return static_cast<int>(control.items.size()) - 1;
    }
    void SetItemData(int id, int index, std::uint32_t data) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Control& control = controls_[id];
        if (!ended_ && index >= 0 && index < static_cast<int>(control.itemData.size()))
            control.itemData[static_cast<std::size_t>(index)] = data;
    }
    int GetCount(int id) const override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return static_cast<int>(At(id).items.size());
    }
    std::string GetItemText(int id, int index) const override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        const Control& control = At(id);
        return index >= 0 && index < static_cast<int>(control.items.size()) ? control.items[static_cast<std::size_t>(index)]
                                                                           : std::string();
    }
    int GetCurSel(int id) const override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return At(id).selection;
    }
    // Windows clears the selection for an index past the end.
    void SetCurSel(int id, int index) override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        if (ended_) return;
        Control& control = controls_[id];
        control.selection = index >= 0 && index < static_cast<int>(control.items.size()) ? index : -1;
    }
    void EndWithOk() override {
        std::function<void()> before;
        {
            std::lock_guard<std::recursive_mutex> lock(mutex_);
            if (ended_) return;
            before = beforeEndWithOk;
        }
        if (before) before();
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        ended_ = true;
        endedWithOk = true;
    }
    bool Ended() const override {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return ended_;
    }

    // Test helpers.
    void End() {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        ended_ = true;
    }
    bool IsEnabled(int id) const {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return At(id).enabled;
    }
    std::vector<std::string> Items(int id) const {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return At(id).items;
    }
    std::vector<std::uint32_t> ItemData(int id) const {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        return At(id).itemData;
    }
    void SetItems(int id, const std::vector<std::string>& items) {
        std::lock_guard<std::recursive_mutex> lock(mutex_);
        Control& control = controls_[id];
        control.isList = true;
        control.items = items;
        control.itemData.assign(items.size(), 0);
    }

    std::function<void(int)> onTextChanged;
    std::function<void()> beforeEndWithOk;
    std::map<int, int> setTextCount;
    bool endedWithOk = false;

private:
    const Control& At(int id) const {
        static const Control kMissing;
        auto found = controls_.find(id);
        return found == controls_.end() ? kMissing : found->second;
    }

    mutable std::recursive_mutex mutex_;
    std::map<int, Control> controls_;
    bool ended_ = false;
};

} // namespace vantaro::testing
