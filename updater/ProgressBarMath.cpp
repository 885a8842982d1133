#include "updater/ProgressBarMath.h"

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

int ProgressFill(int width, const ProgressRange& range)
{
    // In doubles: byte counts of large files would overflow the product in 32 bits.
    const double share = (static_cast<double>(range.Value()) - range.Min()) /
                         (static_cast<double>(range.Max()) - range.Min());
    return rt::RoundHalfEven((width - 2) * share + 1);
}

std::vector<SkinCopy> ProgressPaintPlan(int width, const ProgressRange& range)
{
    std::vector<SkinCopy> plan = {
        {0, 3, 0, 3},
        {3, 2, 3, width - 6},
        {5, 3, width - 3, 3},
    };
    const int fill = ProgressFill(width, range);
    if (width - fill - 1 > 0) plan.push_back({8, 2, fill, width - fill - 1});
    return plan;
}

}  // namespace corvane
