#pragma once

#include "core/device/port/Registry.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kestrel::test {

// A registry of keys given by their full paths ("LM\\HARDWARE\\..." or "DYN\\Config Manager\\...").
// Values keep their insertion order; subkeys are enumerated from the paths below a key.
class FakeRegistry : public Registry {
public:
    struct Node {
        std::vector<std::pair<std::string, Value>> values;
    };
    std::map<std::string, Node> keys;
    std::vector<std::uint32_t> accessUsed;

    static std::string path(Root root, const std::string& subKey)
    {
        return (root == Root::LocalMachine ? "LM\\" : "DYN\\") + subKey;
    }
    Node& key(Root root, const std::string& subKey) { return keys[path(root, subKey)]; }
    void setString(Root root, const std::string& subKey, const std::string& name, const std::string& text)
    {
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        set(root, subKey, name, kRegSz, std::move(data));
    }
    void set(Root root, const std::string& subKey, const std::string& name, std::uint32_t type,
        std::vector<std::uint8_t> data)
    {
        key(root, subKey).values.emplace_back(name, Value{type, std::move(data)});
    }
    std::size_t openKeys() const { return open_.size(); }

    Key open(Root root, const std::string& subKey, std::uint32_t access) override
    {
        accessUsed.push_back(access);
        const auto it = keys.find(path(root, subKey));
        if (it == keys.end())
            return nullptr;
        Key handle = &*it;
        ++open_[handle];
        return handle;
    }
    std::vector<std::string> valueNames(Key key, std::size_t) override
    {
        std::vector<std::string> names;
        for (const auto& [name, value] : entry(key).second.values)
            names.push_back(name);
        return names;
    }
    std::vector<std::string> subKeyNames(Key key, std::size_t) override
    {
        const std::string prefix = entry(key).first + "\\";
        std::set<std::string> names;
        for (const auto& [path, node] : keys) {
            if (path.compare(0, prefix.size(), prefix) == 0)
                names.insert(path.substr(prefix.size(), path.find('\\', prefix.size()) - prefix.size()));
        }
        return {names.begin(), names.end()};
    }
    std::optional<Value> queryValue(Key key, const std::string& name, std::size_t maxBytes) override
    {
        for (const auto& [valueName, value] : entry(key).second.values) {
            if (valueName == name)
                return value.data.size() <= maxBytes ? std::optional<Value>(value) : std::nullopt;
        }
        return std::nullopt;
    }
    void close(Key key) override
    {
        if (--open_[key] == 0)
            open_.erase(key);
    }

private:
    static std::pair<const std::string, Node>& entry(Key key)
    {
        return *static_cast<std::pair<const std::string, Node>*>(key);
    }
    std::map<Key, int> open_;
};

} // namespace kestrel::test
