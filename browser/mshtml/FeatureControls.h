#pragma once
// The system browser control's security features, switched on for this process only (no
// registry) before the first control is made. Left to their defaults, a hosted control runs with
// none of them. What each one is for:
//
//   local-machine lockdown   content of the local machine (file:, res:) runs no script or ActiveX;
//                            it also blocks such script where the registry-only "blocked LMZ
//                            script" would
//   zone elevation           a page cannot navigate into a zone of more trust (the internet to
//                            the local machine or the intranet)
//   MIME sniffing, handling  a response is what its server says it is: no text file turned into a
//                            page, no image turned into script
//   window restrictions      script cannot open windows without a caption or off the screen
//   restrict file download   no download the player did not start
//   protocol lockdown        protocols stay within the zones they are allowed in
//   disable mk:              the old compound-file protocol is off
//   user name and password   no "user:password@host" addresses (a way to disguise a host)
//   safe bind to object      ActiveX objects bound by a page are checked as if created
//   restrict ActiveX install no install prompts from a page
//   UNC saved-file check     files saved from shares keep their zone
//   validate navigate URL    malformed addresses are not navigated to
//   pop-up management        the control's pop-up blocker
//   disable telnet           telnet: opens nothing
//
// Behaviours, XMLHttpRequest, add-ons and the rest stay as the control has them: the portal's
// pages may use them, and they do not widen what a page can reach.

#include <windows.h>
#include <urlmon.h>

#include <functional>
#include <span>

namespace browser {

std::span<const INTERNETFEATURELIST> HardenedFeatures();

// How a feature is switched (CoInternetSetFeatureEnabled, or a test's recorder).
using SetFeature = std::function<HRESULT(INTERNETFEATURELIST feature, DWORD flags, BOOL enable)>;

// Switches every hardened feature on for the process through `set`, logging each refusal and
// going on with the next; returns how many were refused.
int HardenBrowserControl(const SetFeature& set);

// HardenBrowserControl with urlmon, once per process; every web view's creation calls it first.
void HardenBrowserControlOnce();

}  // namespace browser
