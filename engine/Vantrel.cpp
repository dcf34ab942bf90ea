#include "engine/Vantrel.h"

namespace Vantrel {
namespace {

// Deletes one child (subkey or value) of an existing key. The key is opened
// once to see that it exists and once more for the deletion, and both
// handles are closed whatever happens.
template <typename Deletion>
bool DeleteBelow(RootKey root, const std::wstring& path, const std::wstring& name, Deletion remove) {
    if (!KeyExists(root, path)) return false;
    sys::RegHandle key = 0;
    sys::OpenKey(root, sys::ToAnsi(path), &key);
    const bool deleted = remove(key, sys::ToAnsi(name)) == sys::kSuccess;
    sys::CloseKey(key);
    return deleted;
}

}  // namespace

bool KeyExists(RootKey root, const std::wstring& path) {
    sys::RegHandle key = 0;
    sys::OpenKey(root, sys::ToAnsi(path), &key);
    const bool exists = key != 0;
    sys::CloseKey(key);  // also for 0, which the registry refuses harmlessly
    return exists;
}

bool DeleteSubKey(RootKey root, const std::wstring& parent_path, const std::wstring& subkey) {
    return DeleteBelow(root, parent_path, subkey, sys::DeleteKey);
}

bool DeleteValue(RootKey root, const std::wstring& path, const std::wstring& value) {
    return DeleteBelow(root, path, value, sys::DeleteRegValue);
}

std::wstring ReportLine(const std::wstring& label, bool ok) {
    const std::wstring line_end = L"\r\n";
    if (ok) return L"++ " + label + line_end;
    return L"!! " + label + L" - Failed to delete the (sub) key!" + line_end;
}

std::wstring OSNameFromVersion(const sys::VersionRecord& record) {
    switch (record.platform) {
    case 1:  // Windows 95 family: the minor version alone decides
        switch (record.minor) {
        case 0: {
            // The whole field, NULs included, so a short text still gives
            // two characters after the name.
            const std::wstring csd = sys::FromAnsi(std::string(record.csd, sizeof record.csd));
            return L"Windows 95" + csd.substr(0, 2);
        }
        case 10:
            return L"Windows 98";
        case 90:
            return L"Windows ME";
        default:
            return L"Win 32s";
        }
    case 2:  // NT family: the major version, and the build for 5.x
        if (record.major == 4) return L"Windows NT";
        if (record.major == 5 && record.build == 2195) return L"Windows 2000";
        if (record.major == 5 && record.build == 2600) return L"Windows XP";
        return L"Unknown OS";
    default:
        return L"Unknown OS";
    }
}

std::wstring GetOSName() {
    sys::VersionRecord record;
    sys::QueryVersion(&record);
    return OSNameFromVersion(record);
}

}  // namespace Vantrel
