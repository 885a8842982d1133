#include "tabstrip/TabKeys.h"

namespace corvane {

namespace {

constexpr unsigned kVkTab = 0x09;
constexpr unsigned kVk1 = 0x31;
constexpr unsigned kVk9 = 0x39;
constexpr unsigned kVkW = 0x57;
constexpr unsigned kVkF4 = 0x73;

}  // namespace

bool IsTabKey(const KeyChord& key)
{
    if (!key.ctrl || key.alt) return false;
    if (key.vk == kVkTab) return true;
    return !key.shift && key.vk >= kVk1 && key.vk <= kVk9;
}

bool IsCloseTabKey(const KeyChord& key)
{
    return key.ctrl && !key.alt && !key.shift && (key.vk == kVkW || key.vk == kVkF4);
}

long TabKeyTarget(const KeyChord& key, long count, long selected)
{
    if (!IsTabKey(key) || count <= 0) return -1;
    if (key.vk == kVkTab) {
        const bool valid = selected >= 0 && selected < count;
        if (key.shift) return valid ? (selected + count - 1) % count : count - 1;
        return valid ? (selected + 1) % count : 0;
    }
    if (key.vk == kVk9) return count - 1;
    const long position = static_cast<long>(key.vk - kVk1);
    return position < count ? position : -1;
}

}  // namespace corvane
