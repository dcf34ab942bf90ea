// The seam on Linux: the registry is the in-memory one, there is no version
// to query, and the "ANSI code page" is Latin-1.
#include "platform/memory/memory_registry.h"
#include "platform/platform.h"

namespace sys {

long OpenKey(RegHandle root, const std::string& path, RegHandle* key) {
    return TheMemoryRegistry().Open(root, path, key);
}

long DeleteKey(RegHandle key, const std::string& subkey) { return TheMemoryRegistry().DeleteKey(key, subkey); }

long DeleteRegValue(RegHandle key, const std::string& value) { return TheMemoryRegistry().DeleteValue(key, value); }

long CloseKey(RegHandle key) { return TheMemoryRegistry().Close(key); }

// Answers as a failed query does: the record stays zero.
void QueryVersion(VersionRecord*) {}

std::string ToAnsi(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out += static_cast<unsigned long>(c) <= 0xFF ? static_cast<char>(c) : '?';
    return out;
}

std::wstring FromAnsi(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (char c : text) out += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return out;
}

}  // namespace sys
