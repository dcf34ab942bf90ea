// Module Vantrel_Keys: the four cleaning plans and the run that performs one.
#pragma once

#include <string>

namespace Vantrel_Keys {

// Runs the plan for a product code ("NX6", "NX7") and a system name from
// GetOSName, and returns the report: one line per group, in plan order.
// Any other code or name runs nothing and returns the empty report.
std::wstring CleanProduct(std::wstring product_code, std::wstring os_name);

}  // namespace Vantrel_Keys
