#pragma once
// A registry held in memory with the platform's rules that the modem code meets: key paths and
// value names without regard to case, a key deleted only when it has no sub-keys, string values
// read into 200 bytes. Full access can be refused (a user without administrator rights). Every
// open, close, write and deletion is logged, and open keys are counted.

#include "modem/Registry.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vantaro::testing {

class FakeRegistry final : public Registry {
public:
    struct Value {
        enum class Type { String, Number };
        Type type = Type::String;
        std::string text;
        std::uint32_t number = 0;
    };

    FakeRegistry() : log_(&ownLog_) {}
    // Logs into `log` (shared with another fake, to see the order of everything).
    explicit FakeRegistry(std::vector<std::string>& log) : log_(&log) {}

    // Makes the key and every parent it lacks.
    void CreateKey(const std::string& path) {
        for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
            keys_[Lower(path.substr(0, slash))];
        keys_[Lower(path)];
    }
    void SetString(const std::string& path, const std::string& name, const std::string& text) {
        CreateKey(path);
        keys_[Lower(path)][Lower(name)] = Value{Value::Type::String, text, 0};
    }
    void SetNumber(const std::string& path, const std::string& name, std::uint32_t number) {
        CreateKey(path);
        keys_[Lower(path)][Lower(name)] = Value{Value::Type::Number, {}, number};
    }
    bool HasKey(const std::string& path) const { return keys_.count(Lower(path)) != 0; }
    // The value, when the key and the value exist.
    const Value* Find(const std::string& path, const std::string& name) const {
        auto key = keys_.find(Lower(path));
        if (key == keys_.end()) return nullptr;
        auto value = key->second.find(Lower(name));
        return value == key->second.end() ? nullptr : &value->second;
    }
    std::size_t ValueCount(const std::string& path) const {
        auto key = keys_.find(Lower(path));
        return key == keys_.end() ? 0 : key->second.size();
    }

    std::unique_ptr<RegistryKey> OpenForReading(const std::string& path) override {
        Record("open for reading " + path);
        if (!HasKey(path)) return nullptr;
        return std::make_unique<Key>(*this, path, false);
    }
    std::unique_ptr<RegistryKey> OpenWithFullAccess(const std::string& path) override {
        Record("open with full access " + path);
        if (!HasKey(path) || refuseFullAccess) return nullptr;
        return std::make_unique<Key>(*this, path, true);
    }
    std::unique_ptr<RegistryKey> CreateWithFullAccess(const std::string& path) override {
        Record("create " + path);
        if (refuseFullAccess) return nullptr;
        CreateKey(path);
        return std::make_unique<Key>(*this, path, true);
    }
    bool DeleteKey(const std::string& path) override {
        Record("delete " + path);
        const std::string lower = Lower(path);
        if (!keys_.count(lower)) return false;
        for (const auto& key : keys_)
            if (key.first.size() > lower.size() && key.first.compare(0, lower.size() + 1, lower + "\\") == 0)
                return false;
        keys_.erase(lower);
        return true;
    }

    // A key that opens (for reading or with full access) outside the registry, e.g. a driver key.
    std::unique_ptr<RegistryKey> Adopt(const std::string& path) {
        CreateKey(path);
        return std::make_unique<Key>(*this, path, true);
    }

    const std::vector<std::string>& Log() const { return *log_; }
    int OpenKeys() const { return openKeys_; }

    bool refuseFullAccess = false;
    // Writes of these value names fail with this error code.
    std::map<std::string, long> failingWrites;

private:
    class Key final : public RegistryKey {
    public:
        Key(FakeRegistry& registry, std::string path, bool writable)
            : registry_(registry), path_(std::move(path)), writable_(writable) {
            ++registry_.openKeys_;
        }
        ~Key() override {
            --registry_.openKeys_;
            registry_.Record("close " + path_);
        }
        bool ReadString(const std::string& name, std::string& text) override {
            text.clear();
            const Value* value = registry_.Find(path_, name);
            if (!value || value->type != Value::Type::String || value->text.size() + 1 > kRegistryStringBuffer)
                return false;
            text = value->text;
            return true;
        }
        std::optional<std::uint32_t> ReadNumber(const std::string& name) override {
            const Value* value = registry_.Find(path_, name);
            if (!value || value->type != Value::Type::Number) return std::nullopt;
            return value->number;
        }
        bool HasValue(const std::string& name) override { return registry_.Find(path_, name) != nullptr; }
        long WriteString(const std::string& name, const std::string& text) override {
            return Write(name, Value{Value::Type::String, text, 0});
        }
        long WriteNumber(const std::string& name, std::uint32_t number) override {
            return Write(name, Value{Value::Type::Number, {}, number});
        }

    private:
        long Write(const std::string& name, Value value) {
            registry_.Record("write " + path_ + " " + name);
            if (!writable_) return 5;
            auto failing = registry_.failingWrites.find(name);
            if (failing != registry_.failingWrites.end()) return failing->second;
            if (!registry_.HasKey(path_)) return 1018;  // the key was deleted while open
            registry_.keys_[Lower(path_)][Lower(name)] = std::move(value);
            return 0;
        }

        FakeRegistry& registry_;
        std::string path_;
        bool writable_;
    };

    static std::string Lower(std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    }
    void Record(const std::string& entry) { log_->push_back(entry); }

    std::map<std::string, std::map<std::string, Value>> keys_;
    std::vector<std::string> ownLog_;
    std::vector<std::string>* log_;
    int openKeys_ = 0;
};

} // namespace vantaro::testing
