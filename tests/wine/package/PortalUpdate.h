#pragma once
// The update the demo portal "update" offers to an installed client.

#include <string>

namespace packagetest {

// Starts the client installed in `installDir` against the update portal, accepts the update it
// offers and checks that the next version replaced the client in its folder and runs from there.
void ExpectUpdateThroughDemoPortal(const std::wstring& installDir);

// The files the update brings, besides the client.
inline constexpr const wchar_t* kUpdatedDataFile = L"demo20000.bin";

}  // namespace packagetest
