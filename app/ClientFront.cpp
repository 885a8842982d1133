#include "app/ClientFront.h"

#include <vector>

namespace corvane {

struct FrontEntry {
    FrontRank rank;
    std::function<void()> bringBack;
};

namespace {

// The offers in the order they were made; an offer whose holder has gone has expired here.
std::vector<std::weak_ptr<const FrontEntry>>& Offers()
{
    static std::vector<std::weak_ptr<const FrontEntry>> offers;
    return offers;
}

}  // namespace

FrontOffer OfferFront(FrontRank rank, std::function<void()> bringBack)
{
    FrontOffer offer;
    if (!bringBack) return offer;
    offer.m_entry = std::make_shared<const FrontEntry>(FrontEntry{rank, std::move(bringBack)});
    Offers().push_back(offer.m_entry);
    return offer;
}

bool BringFrontBack()
{
    auto& offers = Offers();
    std::erase_if(offers, [](const std::weak_ptr<const FrontEntry>& o) { return o.expired(); });
    std::shared_ptr<const FrontEntry> best;
    for (const auto& o : offers) {
        std::shared_ptr<const FrontEntry> entry = o.lock();
        if (!best || entry->rank >= best->rank) best = std::move(entry);
    }
    if (!best) return false;
    // Held through the call: bringing a window back may withdraw its own offer.
    best->bringBack();
    return true;
}

}  // namespace corvane
