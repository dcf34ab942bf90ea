// An in-memory registry that stands behind the seam on Linux.
//
// It answers the four entry points the way the Windows registry does, in
// either family: names are found case-insensitively and keep their case, a
// slash is an ordinary character, a handle of 0 is refused, and deleting a
// key with subkeys is refused on NT but takes the whole subtree on 98/ME.
// Open handles and calls are counted, and deletions traced, so tests can
// prove what was done and in which order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sys {

enum class Family { NT, Win9x };

class MemoryRegistry {
public:
    MemoryRegistry();

    // Starts over: every key gone, no handle open, no call counted.
    void Reset(Family family);
    Family family() const { return family_; }

    // The entry points (see platform.h).
    long Open(std::uint32_t root, const std::string& path, std::uint32_t* key);
    long DeleteKey(std::uint32_t key, const std::string& subkey);
    long DeleteValue(std::uint32_t key, const std::string& value);
    long Close(std::uint32_t key);

    // Direct access for tests; paths are below HKEY_LOCAL_MACHINE and make
    // no entry-point call.
    void CreateKey(const std::string& path);
    void SetValue(const std::string& path, const std::string& name, const std::string& data);
    bool Exists(const std::string& path) const;
    std::vector<std::string> SubKeys(const std::string& path) const;
    std::vector<std::string> ValueNames(const std::string& path) const;

    int open_handles() const { return static_cast<int>(handles_.size()); }
    long calls() const { return calls_; }
    // Every deletion attempted, in order: a key as "path\subkey", a value
    // as "path | value", path being the one the handle was opened with.
    const std::vector<std::string>& deletions() const { return deletions_; }

private:
    struct Key {
        std::string name;                                                   // as created
        std::map<std::string, std::shared_ptr<Key>> children;               // by folded name
        std::map<std::string, std::pair<std::string, std::string>> values;  // folded -> (name, data)
        bool deleted = false;
    };
    using KeyPtr = std::shared_ptr<Key>;

    KeyPtr Resolve(std::uint32_t handle) const;
    static KeyPtr Walk(KeyPtr from, const std::string& path, long* rc);
    static void MarkDeleted(Key& key);

    Family family_ = Family::NT;
    std::map<std::uint32_t, KeyPtr> roots_;
    std::map<std::uint32_t, KeyPtr> handles_;
    std::map<std::uint32_t, std::string> handle_paths_;
    std::vector<std::string> deletions_;
    std::uint32_t next_handle_ = 0x100;
    long calls_ = 0;
};

// The one registry the Linux build's seam talks to.
MemoryRegistry& TheMemoryRegistry();

}  // namespace sys
