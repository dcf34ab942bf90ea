#include "platform/memory/memory_registry.h"

#include "platform/platform.h"

namespace sys {
namespace {

constexpr long kBadPathname = 161;
constexpr long kInvalidParameter = 87;
constexpr long kKeyDeleted = 1018;

// The registry compares names without regard to letter case.
std::string Fold(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

// Only the backslash separates; "NXWIN/95" is one name.
std::vector<std::string> Split(const std::string& path) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= path.size()) {
        const auto end = path.find('\\', start);
        parts.push_back(path.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    // "" names the key itself; a trailing backslash is tolerated.
    if (!parts.empty() && parts.back().empty()) parts.pop_back();
    return parts;
}

}  // namespace

namespace {
constexpr std::uint32_t kFirstPredefined = 0x80000000u;
constexpr std::uint32_t kLastPredefined = 0x80000006u;
bool IsPredefined(std::uint32_t handle) { return handle >= kFirstPredefined && handle <= kLastPredefined; }
}  // namespace

MemoryRegistry::MemoryRegistry() { Reset(Family::NT); }

void MemoryRegistry::Reset(Family family) {
    family_ = family;
    roots_.clear();
    // The predefined keys always exist and need no opening.
    for (std::uint32_t root = kFirstPredefined; root <= kLastPredefined; ++root) {
        roots_[root] = std::make_shared<Key>();
    }
    handles_.clear();
    handle_paths_.clear();
    deletions_.clear();
    next_handle_ = 0x100;
    calls_ = 0;
}

MemoryRegistry::KeyPtr MemoryRegistry::Resolve(std::uint32_t handle) const {
    const auto& table = IsPredefined(handle) ? roots_ : handles_;
    const auto it = table.find(handle);
    return it == table.end() ? nullptr : it->second;
}

MemoryRegistry::KeyPtr MemoryRegistry::Walk(KeyPtr from, const std::string& path, long* rc) {
    *rc = kSuccess;
    if (!path.empty() && path[0] == '\\') {
        *rc = kBadPathname;
        return nullptr;
    }
    KeyPtr key = std::move(from);
    for (const std::string& part : Split(path)) {
        if (part.empty()) {
            *rc = kBadPathname;
            return nullptr;
        }
        const auto it = key->children.find(Fold(part));
        if (it == key->children.end()) {
            *rc = kFileNotFound;
            return nullptr;
        }
        key = it->second;
    }
    return key;
}

void MemoryRegistry::MarkDeleted(Key& key) {
    key.deleted = true;
    for (auto& child : key.children) MarkDeleted(*child.second);
}

long MemoryRegistry::Open(std::uint32_t root, const std::string& path, std::uint32_t* key) {
    ++calls_;
    KeyPtr base = Resolve(root);
    if (!base) return kInvalidHandle;
    if (base->deleted) return kKeyDeleted;
    long rc = kSuccess;
    KeyPtr found = Walk(base, path, &rc);
    if (!found) return rc;  // the handle is left as the caller set it
    const std::uint32_t handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] = found;
    handle_paths_[handle] = path;
    *key = handle;
    return kSuccess;
}

long MemoryRegistry::DeleteKey(std::uint32_t key, const std::string& subkey) {
    ++calls_;
    deletions_.push_back(handle_paths_[key] + "\\" + subkey);
    KeyPtr base = Resolve(key);
    if (!base) return kInvalidHandle;
    if (base->deleted) return kKeyDeleted;
    if (subkey.empty()) return kInvalidParameter;
    long rc = kSuccess;
    KeyPtr target = Walk(base, subkey, &rc);
    if (!target) return rc;
    // NT refuses a key with subkeys; 98 and ME delete the subtree.
    if (family_ == Family::NT && !target->children.empty()) return kAccessDenied;
    // The parent is the path less its last name ("a\\b\\" names b too).
    std::vector<std::string> parts = Split(subkey);
    parts.pop_back();
    KeyPtr parent = base;
    for (const std::string& part : parts) parent = parent->children.at(Fold(part));
    parent->children.erase(Fold(target->name));
    MarkDeleted(*target);
    return kSuccess;
}

long MemoryRegistry::DeleteValue(std::uint32_t key, const std::string& value) {
    ++calls_;
    deletions_.push_back(handle_paths_[key] + " | " + value);
    KeyPtr base = Resolve(key);
    if (!base) return kInvalidHandle;
    if (base->deleted) return kKeyDeleted;
    return base->values.erase(Fold(value)) == 1 ? kSuccess : kFileNotFound;
}

long MemoryRegistry::Close(std::uint32_t key) {
    ++calls_;
    if (IsPredefined(key)) return kSuccess;  // nothing to close
    return handles_.erase(key) == 1 ? kSuccess : kInvalidHandle;
}

void MemoryRegistry::CreateKey(const std::string& path) {
    KeyPtr key = Resolve(kHkeyLocalMachine);
    for (const std::string& part : Split(path)) {
        KeyPtr& child = key->children[Fold(part)];
        if (!child) {
            child = std::make_shared<Key>();
            child->name = part;
        }
        key = child;
    }
}

void MemoryRegistry::SetValue(const std::string& path, const std::string& name, const std::string& data) {
    CreateKey(path);
    long rc = kSuccess;
    Walk(Resolve(kHkeyLocalMachine), path, &rc)->values[Fold(name)] = {name, data};
}

bool MemoryRegistry::Exists(const std::string& path) const {
    long rc = kSuccess;
    return Walk(Resolve(kHkeyLocalMachine), path, &rc) != nullptr;
}

std::vector<std::string> MemoryRegistry::SubKeys(const std::string& path) const {
    long rc = kSuccess;
    std::vector<std::string> names;
    if (KeyPtr key = Walk(Resolve(kHkeyLocalMachine), path, &rc)) {
        for (const auto& child : key->children) names.push_back(child.second->name);
    }
    return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(const std::string& path) const {
    long rc = kSuccess;
    std::vector<std::string> names;
    if (KeyPtr key = Walk(Resolve(kHkeyLocalMachine), path, &rc)) {
        for (const auto& value : key->values) names.push_back(value.second.first);
    }
    return names;
}

MemoryRegistry& TheMemoryRegistry() {
    static MemoryRegistry registry;
    return registry;
}

}  // namespace sys
