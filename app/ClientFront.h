#pragma once
// What comes to the front when a later launch asks the running client to show itself: the main
// window once it is loaded, else the login pair once it has shown. While the client is still
// starting (connection test, update check, splash) or already ending, nothing is offered and the
// later launch is told to wait.
//
// Each window offers itself while it can come back; the offer ends with the object that holds it.

#include <functional>
#include <memory>

namespace corvane {

enum class FrontRank { LoginPair = 1, MainWindow = 2 };

struct FrontEntry;

class FrontOffer {
public:
    FrontOffer() = default;
    void Withdraw() { m_entry.reset(); }
    explicit operator bool() const { return m_entry != nullptr; }

private:
    friend FrontOffer OfferFront(FrontRank rank, std::function<void()> bringBack);
    std::shared_ptr<const FrontEntry> m_entry;
};

[[nodiscard]] FrontOffer OfferFront(FrontRank rank, std::function<void()> bringBack);

// Brings back the offer of the highest rank (of equal ranks the latest); false when nothing is
// offered.
bool BringFrontBack();

}  // namespace corvane
