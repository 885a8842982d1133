// Tables: the row and cell model, column widths, row heights and final cell places.

#include "browser/layout/LayoutEngine.h"

namespace browser::layout_engine {

void Engine::CollectRows(const Node& table, const ComputedStyle& tableStyle, TableModel& m)
{
    const auto addRow = [&](const Node& tr, const ComputedStyle& parentStyle) {
        Row row{&tr, ComputeStyle(tr, parentStyle), {}, 0, 0, kNone};
        if (const std::string* h = tr.FindAttribute("height"))
            if (auto l = ParseLength(*h); l && !l->percent) row.declaredHeight = std::clamp(Px(l->value), 0, 100000);
        for (const auto& c : tr.children())
            if (c->IsElement("td") || c->IsElement("th")) {
                Cell cell{c.get(), ComputeStyle(*c, row.style), 0, 1, -1, -1, {}, 0, {}, {}, kNone, 0, 0};
                if (!c->HasAttr("valign") && tr.HasAttr("valign")) cell.style.verticalAlign = row.style.verticalAlign;
                cell.span = IntAttr(*c, "colspan", 1, 1, 1000);
                if (cell.style.width) {
                    if (cell.style.width->percent) cell.percent = std::clamp(cell.style.width->value, 0.0, 100.0);
                    else cell.declaredWidth = std::clamp(Px(cell.style.width->value), 0, 100000);
                }
                row.cells.push_back(std::move(cell));
            }
        m.rows.push_back(std::move(row));
    };
    for (const auto& c : table.children()) {
        if (c->IsElement("tr")) addRow(*c, tableStyle);
        else if (c->IsElement("tbody") || c->IsElement("thead") || c->IsElement("tfoot")) {
            const ComputedStyle section = ComputeStyle(*c, tableStyle);
            for (const auto& r : c->children())
                if (r->IsElement("tr")) addRow(*r, section);
        }
    }
}

TableModel Engine::Model(const Node& table, const ComputedStyle& cs, int depth)
{
    TableModel m;
    CollectRows(table, cs, m);
    if (const std::string* b = table.FindAttribute("border"))
        m.border = b->empty() ? 1 : std::clamp(IntAttr(table, "border", 1, 0, 50), 0, 50);
    m.padding = IntAttr(table, "cellpadding", 1, 0, 1000);
    m.spacing = IntAttr(table, "cellspacing", 2, 0, 1000);
    for (auto& row : m.rows) {
        int col = 0;
        for (auto& cell : row.cells) {
            cell.col = col;
            col += cell.span;
            if (cell.style.padding == std::array<int, 4>{}) cell.style.padding.fill(m.padding + (m.border ? 1 : 0));
            const Intrinsic in = ContentIntrinsic(*cell.node, cell.style, depth + 1);
            const int pad = cell.style.padding[1] + cell.style.padding[3];
            cell.intrinsic = {Coord(static_cast<long long>(in.min) + pad), Coord(static_cast<long long>(in.max) + pad)};
            if (cell.style.noWrap) cell.intrinsic.min = cell.intrinsic.max;
        }
        m.columns = std::max(m.columns, std::min(col, 1000));
    }
    m.colMin.assign(m.columns, 0);
    m.colMax.assign(m.columns, 0);
    m.colDeclared.assign(m.columns, -1);
    m.colPercent.assign(m.columns, -1);
    for (int pass = 0; pass < 2; ++pass)
        for (auto& row : m.rows)
            for (auto& cell : row.cells) {
                if (cell.col >= m.columns) continue;
                const int span = std::min(cell.span, m.columns - cell.col);
                if ((span == 1) != (pass == 0)) continue;
                if (span == 1) {
                    int& mn = m.colMin[cell.col];
                    mn = std::max(mn, cell.intrinsic.min);
                    m.colMax[cell.col] = std::max(m.colMax[cell.col], cell.intrinsic.max);
                    if (cell.declaredWidth >= 0) m.colDeclared[cell.col] = std::max(m.colDeclared[cell.col], cell.declaredWidth);
                    if (cell.percent >= 0) m.colPercent[cell.col] = std::max(m.colPercent[cell.col], cell.percent);
                    continue;
                }
                // A spanning cell widens its columns evenly when they are too narrow for it.
                long long have = static_cast<long long>(span - 1) * m.spacing;
                for (int i = 0; i < span; ++i) have += m.colMin[cell.col + i];
                const int need = std::max(cell.intrinsic.min, cell.declaredWidth);
                if (need > have)
                    for (int i = 0; i < span; ++i)
                        m.colMin[cell.col + i] = Coord(m.colMin[cell.col + i] + (need - have + span - 1 - i) / span);
                long long haveMax = static_cast<long long>(span - 1) * m.spacing;
                for (int i = 0; i < span; ++i) haveMax += m.colMax[cell.col + i];
                if (cell.intrinsic.max > haveMax)
                    for (int i = 0; i < span; ++i)
                        m.colMax[cell.col + i] =
                            Coord(m.colMax[cell.col + i] + (cell.intrinsic.max - haveMax + span - 1 - i) / span);
            }
    for (int i = 0; i < m.columns; ++i) m.colMax[i] = std::max(m.colMax[i], m.colMin[i]);
    return m;
}

Intrinsic Engine::ColumnSums(const TableModel& m) const
{
    long long min = Chrome(m);
    long long max = Chrome(m);
    for (int i = 0; i < m.columns; ++i) {
        min += m.colDeclared[i] >= 0 ? std::max(m.colMin[i], m.colDeclared[i]) : m.colMin[i];
        max += std::max(m.colMax[i], m.colDeclared[i]);
    }
    return {Coord(min), Coord(max)};
}

Intrinsic Engine::TableIntrinsic(const Node& table, const ComputedStyle& cs, int depth)
{
    TableModel m = Model(table, cs, depth);
    Intrinsic r = ColumnSums(m);
    if (cs.width && !cs.width->percent) r.min = r.max = std::max(r.min, Px(cs.width->value));
    return r;
}

std::vector<int> Engine::ColumnWidths(const TableModel& m, int tableWidth) const
{
    std::vector<int> w(m.columns);
    const int content = std::max(0, tableWidth - Chrome(m));
    long long sum = 0;
    for (int i = 0; i < m.columns; ++i) {
        int base = m.colMin[i];
        if (m.colDeclared[i] >= 0) base = std::max(base, m.colDeclared[i]);
        else if (m.colPercent[i] >= 0) base = std::max(base, Px(content * m.colPercent[i] / 100));
        w[i] = base;
        sum += base;
    }
    if (sum >= content || m.columns == 0) return w;
    // Spare room first brings columns without a set width up to their widest content; what
    // is left after that is shared by width.
    int extra = static_cast<int>(content - sum);
    std::vector<int> weight(m.columns, 0);
    long long want = 0;
    for (int i = 0; i < m.columns; ++i)
        if (m.colDeclared[i] < 0 && m.colPercent[i] < 0) want += weight[i] = std::max(0, m.colMax[i] - w[i]);
    if (want > 0 && want <= extra) {
        for (int i = 0; i < m.columns; ++i) w[i] += weight[i];
        extra -= static_cast<int>(want);
        want = 0;
    }
    if (want == 0) {
        for (int i = 0; i < m.columns; ++i)
            weight[i] = m.colDeclared[i] < 0 && m.colPercent[i] < 0 ? std::max(1, w[i]) : 0;
        if (std::all_of(weight.begin(), weight.end(), [](int v) { return v == 0; }))
            for (int i = 0; i < m.columns; ++i) weight[i] = std::max(1, w[i]);
    }
    long long total = 0;
    for (int v : weight) total += v;
    int given = 0;
    for (int i = 0; i < m.columns && total > 0; ++i) {
        const int add = static_cast<int>(static_cast<long long>(extra) * weight[i] / total);
        w[i] += add;
        given += add;
    }
    for (int i = m.columns - 1; i >= 0 && given < extra; --i)
        if (weight[i]) w[i] += extra - given, given = extra;
    return w;
}

void Engine::Move(Rect& r, long long dx, long long dy)
{
    r.x = Coord(r.x + dx);
    r.y = Coord(r.y + dy);
}

void Engine::Shift(const Ranges& from, const Ranges& to, long long dx, long long dy)
{
    for (std::size_t i = from.items; i < to.items; ++i) Move(m_out.items[i].rect, dx, dy);
    for (std::size_t i = from.links; i < to.links; ++i) Move(m_out.links[i].rect, dx, dy);
    for (std::size_t i = from.controls; i < to.controls; ++i) Move(m_out.controls[i].rect, dx, dy);
}

int Engine::Table(const Node& table, const ComputedStyle& cs, int x, int y, int avail, TextAlign align, int& outWidth, int depth)
{
    TableModel m = Model(table, cs, depth);
    const Intrinsic sums = ColumnSums(m);
    const int minTotal = sums.min;
    const int maxTotal = sums.max;
    int width;
    if (cs.width) width = Px(cs.width->percent ? avail * cs.width->value / 100 : cs.width->value);
    else width = std::min(avail, maxTotal);
    width = std::max(width, minTotal);
    if (width < avail) {
        if (align == TextAlign::Center) x += (avail - width) / 2;
        else if (align == TextAlign::Right) x += avail - width;
    }
    outWidth = width;
    const std::vector<int> cols = ColumnWidths(m, width);
    std::vector<int> colX(m.columns + 1, x + m.border + m.spacing);
    for (int i = 0; i < m.columns; ++i) colX[i + 1] = Coord(static_cast<long long>(colX[i]) + cols[i] + m.spacing);

    const std::size_t tableFill = BeginFill(cs, table);
    int cursor = y + m.border + m.spacing;
    for (auto& row : m.rows) {
        row.fill = BeginFill(row.style, *row.node);
        int rowHeight = row.declaredHeight;
        for (auto& cell : row.cells) {
            if (cell.col >= m.columns) continue;
            const int last = std::min(cell.col + cell.span, m.columns);
            cell.x = colX[cell.col];
            cell.width = std::max(0, colX[last] - m.spacing - cell.x);
            cell.start = Mark();
            cell.fill = BeginFill(cell.style, *cell.node);
            ComputedStyle content = cell.style;
            content.height.reset();
            content.background.reset();  // filled above, over the whole row height
            cell.height = Block(*cell.node, content, cell.x, cursor, cell.width, depth + 1);
            cell.end = Mark();
            if (cell.style.height && !cell.style.height->percent)
                rowHeight = std::max(rowHeight, Px(cell.style.height->value));
            rowHeight = std::max(rowHeight, cell.height);
        }
        row.height = rowHeight;
        cursor = Coord(static_cast<long long>(cursor) + rowHeight + m.spacing);
    }
    int height = cursor - y + m.border;
    // A table taller than its rows shares the extra height among them.
    if (cs.height && !cs.height->percent && Px(cs.height->value) > height && !m.rows.empty()) {
        const int extra = Px(cs.height->value) - height;
        long long total = 0;
        for (const auto& row : m.rows) total += std::max(1, row.height);
        int given = 0;
        for (auto& row : m.rows) {
            const int add = static_cast<int>(static_cast<long long>(extra) * std::max(1, row.height) / total);
            row.height += add;
            given += add;
        }
        m.rows.back().height += extra - given;
        height = Coord(static_cast<long long>(height) + extra);
    }
    // Final places: rows move down by what the rows above them grew; cells align vertically.
    int rowY = y + m.border + m.spacing;
    int provisional = rowY;
    for (std::size_t r = 0; r < m.rows.size(); ++r) {
        Row& row = m.rows[r];
        const int dy = rowY - provisional;
        int provisionalHeight = row.declaredHeight;
        for (const auto& cell : row.cells) {
            if (cell.col >= m.columns) continue;
            provisionalHeight = std::max(provisionalHeight, cell.height);
            if (cell.style.height && !cell.style.height->percent)
                provisionalHeight = std::max(provisionalHeight, Px(cell.style.height->value));
        }
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const Cell& cell = row.cells[c];
            if (cell.col >= m.columns) continue;
            const int free = row.height - cell.height;
            const int valign = free <= 0 ? 0
                               : cell.style.verticalAlign == VerticalAlign::Top    ? 0
                               : cell.style.verticalAlign == VerticalAlign::Bottom ? free
                                                                                   : free / 2;
            Shift(cell.start, cell.end, 0, static_cast<long long>(dy) + valign);
            EndFill(cell.fill, {cell.x, rowY, cell.width, row.height});
            if (m.border) Frame({cell.x, rowY, cell.width, row.height}, 0x808080);
        }
        EndFill(row.fill, {x + m.border, rowY, outWidth - 2 * m.border, row.height});
        provisional = Coord(static_cast<long long>(provisional) + provisionalHeight + m.spacing);
        rowY = Coord(static_cast<long long>(rowY) + row.height + m.spacing);
    }
    EndFill(tableFill, {x, y, width, height});
    if (m.border) Frame({x, y, width, height}, 0x808080);
    return height;
}

void Engine::Frame(Rect r, Rgb color)
{
    DisplayItem f;
    f.kind = ItemKind::Frame;
    f.rect = r;
    f.color = color;
    m_out.items.push_back(f);
}

}  // namespace browser::layout_engine
