#include "updater/ProgressBarMath.h"

#include "runtime/DpiScale.h"
#include "runtime/Rounding.h"

namespace corvane {

bool ProgressRange::SetMin(std::int32_t v)
{
    if (v < 0 || v >= m_max) return false;
    m_min = v;
    if (m_value < v) m_value = v;
    return true;
}

bool ProgressRange::SetMax(std::int32_t v)
{
    if (v <= m_min) return false;
    m_max = v;
    if (m_value > v) m_value = v;
    return true;
}

bool ProgressRange::SetValue(std::int32_t v)
{
    if (v < m_min || v > m_max) return false;
    m_value = v;
    return true;
}

ProgressSkin ProgressSkinAt(int dpi)
{
    return {rt::ScalePixels(kProgressSkinPieces[0], dpi), rt::ScalePixels(kProgressSkinPieces[1], dpi),
            rt::ScalePixels(kProgressSkinPieces[3], dpi), rt::ScalePixels(1, dpi),
            rt::ScalePixels(kProgressSkinHeight, dpi)};
}

int ProgressFill(int width, const ProgressRange& range, int line)
{
    // In doubles: byte counts of large files would overflow the product in 32 bits.
    const double share = (static_cast<double>(range.Value()) - range.Min()) /
                         (static_cast<double>(range.Max()) - range.Min());
    return rt::RoundHalfEven((width - 2 * line) * share + line);
}

std::vector<SkinCopy> ProgressPaintPlan(int width, const ProgressRange& range, const ProgressSkin& skin)
{
    const int rightCap = skin.cap + skin.middle;
    std::vector<SkinCopy> plan = {
        {0, skin.cap, 0, skin.cap},
        {skin.cap, skin.middle, skin.cap, width - 2 * skin.cap},
        {rightCap, skin.cap, width - skin.cap, skin.cap},
    };
    // The empty track covers the filled bar up to the right cap's edge line, which closes it.
    const int fill = ProgressFill(width, range, skin.line);
    if (width - fill - skin.line > 0) plan.push_back({rightCap + skin.cap, skin.track, fill, width - fill - skin.line});
    return plan;
}

}  // namespace corvane
