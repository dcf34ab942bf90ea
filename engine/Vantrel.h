// Module Vantrel: the registry operations, the report line and the name of
// the running Windows version.
#pragma once

#include <string>

#include "platform/platform.h"

namespace Vantrel {

using RootKey = sys::RegHandle;

// Each opens and closes its own handles; none survives the call. Every
// failure folds into false.
bool KeyExists(RootKey root, const std::wstring& path);
bool DeleteSubKey(RootKey root, const std::wstring& parent_path, const std::wstring& subkey);
bool DeleteValue(RootKey root, const std::wstring& path, const std::wstring& value);

// "++ label" or "!! label - Failed to delete the (sub) key!", ended by CR LF.
std::wstring ReportLine(const std::wstring& label, bool ok);

// The name for a version record, e.g. "Windows XP"; "Unknown OS" for
// anything it does not know. Depends on the record's five fields only.
std::wstring OSNameFromVersion(const sys::VersionRecord& record);

// Asks the system afresh on every call.
std::wstring GetOSName();

}  // namespace Vantrel
