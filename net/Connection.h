#pragma once
// Whether the system reports a network connection (InternetGetConnectedState).
//
// Test seam: CORVANE_TEST_OFFLINE=1 in the environment makes the answer "no connection", so the
// start-up's refusal can be tried on a machine that is online. Nothing else reads it.

namespace corvane {

bool InternetConnected();

// Tells the user the server cannot be reached and ends the program at once: the start-up's
// connection test and the login page that came back too short end the same way.
[[noreturn]] void EndForNoConnection();
// The same message alone, for a further login whose page came back too short: the games go on.
void TellNoConnection();

}  // namespace corvane
