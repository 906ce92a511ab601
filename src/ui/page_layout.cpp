#include "ui/page_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace sondrix {

EPlacement PlacementOf(const SControl& control) {
    switch (control.kind) {
        case EControlKind::Button:
            return EPlacement::Button;
        case EControlKind::CheckBox:
        case EControlKind::Radio:
            return EPlacement::Choice;
        case EControlKind::Edit:
        case EControlKind::Combo:
            return EPlacement::Field;
        case EControlKind::Static:
            return control.label.empty() ? EPlacement::Wide : EPlacement::Field;
        default:
            return EPlacement::Wide;
    }
}

bool IsDialogButton(const SControl& control) {
    return control.kind == EControlKind::Button && control.group.empty() &&
           (control.id == IDOK || control.id == IDCANCEL);
}

namespace {

// A row of a run is at most about this wide, so that a group of long
// buttons grows downwards rather than across the page.
constexpr int kRunWidth = 330;
// The page should fit a window of about this size: what a 1366 x 768
// laptop screen leaves for a page beside the window frame, the desktop's
// panel, the menu, the tab bar, the tracer and the message line.
constexpr double kFitWidth = 1240;
constexpr double kFitHeight = 470;
constexpr int kMaxColumns = 3;

int Scaled(int length, double scale) {
    return static_cast<int>(std::lround(length * scale));
}

}  // namespace

int RunColumns(EPlacement placement, int count, int widest) {
    if (count <= 0) {
        return 1;
    }
    const int most = placement == EPlacement::Choice
                         ? (count > 6 ? 2 : 1)
                         : std::clamp(kRunWidth / std::max(widest, 1), 1, 3);
    const int rows = (count + most - 1) / most;
    return (count + rows - 1) / rows;
}

SSectionColumns AssignColumns(const std::vector<SLayoutSize>& sections, int count, int spacing) {
    SSectionColumns columns;
    columns.heights.assign(static_cast<size_t>(count), 0);
    columns.widths.assign(static_cast<size_t>(count), 0);
    for (const SLayoutSize& size : sections) {
        const auto shortest = std::min_element(columns.heights.begin(), columns.heights.end());
        const auto column = static_cast<size_t>(shortest - columns.heights.begin());
        columns.columnOf.push_back(static_cast<int>(column));
        columns.heights[column] += size.height + spacing;
        columns.widths[column] = std::max(columns.widths[column], size.width);
    }
    return columns;
}

int ChooseColumnCount(const std::vector<SLayoutSize>& sections, int spacing, double scale) {
    const int most = std::min<int>(kMaxColumns, static_cast<int>(sections.size()));
    int best = 1;
    double bestScore = std::numeric_limits<double>::max();
    for (int count = 1; count <= most; ++count) {
        const SSectionColumns columns = AssignColumns(sections, count, spacing);
        double width = spacing * (count - 1);
        for (int w : columns.widths) {
            width += w;
        }
        const double height = *std::max_element(columns.heights.begin(), columns.heights.end());
        const double score = std::max(height / (kFitHeight * scale), width / (kFitWidth * scale));
        if (score < bestScore) {
            bestScore = score;
            best = count;
        }
    }
    return best;
}

const SPlacedControl* SPageLayout::Find(int id) const {
    for (const SPlacedControl& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

namespace {

// A group's contents as rows of a three-column grid: caption | control |
// the button after a field.
struct SItem {
    int id = 0;
    SLayoutSize size;
    bool fills = true;  // takes its cell's width (an edit keeps its own)
};

// A run of buttons or choices: a small grid of its own.
struct SRun {
    std::vector<SItem> cells;
    int columns = 1;
};

struct SRow {
    enum EKind { Field, Caption, Wide, Run } kind = Field;
    bool hasLabel = false;
    SItem label;  // the caption (its id is that of the control it names)
    SItem main;   // Field, Wide: the control; Caption: unused
    bool hasButton = false;
    SItem button;
    SRun run;
    bool grows = false;  // a list or the image: takes spare height
};

struct SSection {
    std::string caption;
    std::vector<SRow> rows;
    SLayoutMargins frame;
    bool grows = false;
    // Grid measures.
    int column0 = 0;
    int column1 = 0;
    int column2 = 0;
    std::vector<int> rowHeights;
    SLayoutSize natural;
};

SPlacedControl Placed(int id, const SLayoutRect& rect) {
    SPlacedControl placed;
    placed.id = id;
    placed.rect = rect;
    return placed;
}

struct SGrid {
    int row = 0;
    int column = 0;
    int margin = 0;
};

SLayoutSize RunSize(const SRun& run, const SGrid& spacing) {
    const int columns = std::max(run.columns, 1);
    const int rows = (static_cast<int>(run.cells.size()) + columns - 1) / columns;
    std::vector<int> widths(static_cast<size_t>(columns), 0);
    std::vector<int> heights(static_cast<size_t>(rows), 0);
    for (size_t k = 0; k < run.cells.size(); ++k) {
        const auto column = k % static_cast<size_t>(columns);
        const auto row = k / static_cast<size_t>(columns);
        widths[column] = std::max(widths[column], run.cells[k].size.width);
        heights[row] = std::max(heights[row], run.cells[k].size.height);
    }
    SLayoutSize size;
    for (int w : widths) {
        size.width += w;
    }
    for (int h : heights) {
        size.height += h;
    }
    size.width += spacing.column * (columns - 1);
    size.height += spacing.row * std::max(rows - 1, 0);
    return size;
}

void PlaceRun(const SRun& run, const SLayoutRect& area, const SGrid& spacing,
              std::vector<SPlacedControl>& placed) {
    const int columns = std::max(run.columns, 1);
    const int rows = (static_cast<int>(run.cells.size()) + columns - 1) / columns;
    std::vector<int> widths(static_cast<size_t>(columns), 0);
    std::vector<int> heights(static_cast<size_t>(rows), 0);
    for (size_t k = 0; k < run.cells.size(); ++k) {
        widths[k % static_cast<size_t>(columns)] =
            std::max(widths[k % static_cast<size_t>(columns)], run.cells[k].size.width);
        heights[k / static_cast<size_t>(columns)] =
            std::max(heights[k / static_cast<size_t>(columns)], run.cells[k].size.height);
    }
    // Spare width goes to the columns evenly, the cells filling theirs.
    const int spare = area.width - RunSize(run, spacing).width;
    if (spare > 0) {
        for (int c = 0; c < columns; ++c) {
            widths[static_cast<size_t>(c)] += spare / columns + (c < spare % columns ? 1 : 0);
        }
    }
    int y = area.y;
    for (int r = 0; r < rows; ++r) {
        int x = area.x;
        for (int c = 0; c < columns; ++c) {
            const size_t k = static_cast<size_t>(r * columns + c);
            if (k < run.cells.size()) {
                const SItem& cell = run.cells[k];
                const int h = heights[static_cast<size_t>(r)];
                placed.push_back(
                    Placed(cell.id, {x, y + (h - cell.size.height) / 2,
                                     widths[static_cast<size_t>(c)], cell.size.height}));
            }
            x += widths[static_cast<size_t>(c)] + spacing.column;
        }
        y += heights[static_cast<size_t>(r)] + spacing.row;
    }
}

// Turns a group's visible controls into rows.
void FillSection(const CDialogModel& model, const std::vector<int>& ids,
                 const ILayoutMetrics& metrics, SSection& section) {
    const double scale = metrics.Scale();
    auto item = [&](const SControl& control) {
        const bool fixed =
            control.kind == EControlKind::Picture && !metrics.Stretches(model, control);
        return SItem{control.id, metrics.ControlSize(model, control),
                     control.kind != EControlKind::Edit && !fixed};
    };
    bool fieldOpen = false;  // the last row is a field whose third cell is free
    for (size_t i = 0; i < ids.size();) {
        const SControl& control = model.Control(ids[i]);
        const EPlacement placement = PlacementOf(control);
        const bool labelled = !control.label.empty() && placement != EPlacement::Button &&
                              placement != EPlacement::Choice;
        SItem label{control.id, labelled ? metrics.LabelSize(control.label) : SLayoutSize{}, true};
        if (placement == EPlacement::Field) {
            SRow row;
            row.kind = SRow::Field;
            row.hasLabel = labelled;
            row.label = label;
            row.main = item(control);
            section.rows.push_back(row);
            fieldOpen = true;
            ++i;
        } else if (placement == EPlacement::Button && fieldOpen) {
            section.rows.back().hasButton = true;
            section.rows.back().button = item(control);
            fieldOpen = false;
            ++i;
        } else if (placement == EPlacement::Wide) {
            if (labelled) {
                SRow caption;
                caption.kind = SRow::Caption;
                caption.hasLabel = true;
                caption.label = label;
                section.rows.push_back(caption);
            }
            SRow row;
            row.kind = SRow::Wide;
            row.main = item(control);
            row.grows =
                (control.kind == EControlKind::List || control.kind == EControlKind::Picture) &&
                metrics.Stretches(model, control);
            section.grows = section.grows || row.grows;
            section.rows.push_back(row);
            fieldOpen = false;
            ++i;
        } else {
            // A caption on the first control names the whole run; the next
            // control with a caption starts a run of its own.
            SRow row;
            row.kind = SRow::Run;
            if (!control.label.empty()) {
                row.hasLabel = true;
                row.label = {control.id, metrics.LabelSize(control.label), true};
            }
            size_t end = i + 1;
            while (end < ids.size() && PlacementOf(model.Control(ids[end])) == placement &&
                   model.Control(ids[end]).label.empty()) {
                ++end;
            }
            int widest = 0;
            for (size_t k = i; k < end; ++k) {
                row.run.cells.push_back(item(model.Control(ids[k])));
                widest = std::max(widest, row.run.cells.back().size.width);
            }
            row.run.columns =
                RunColumns(placement, static_cast<int>(row.run.cells.size()),
                           static_cast<int>(std::lround(widest / std::max(scale, 0.01))));
            section.rows.push_back(row);
            fieldOpen = false;
            i = end;
        }
    }
}

// The grid's columns and rows at their natural sizes.
void MeasureSection(SSection& section, const SGrid& spacing) {
    int spanFields = 0;  // fields without a caption span columns 0 and 1
    int spanRuns = 0;    // runs with a caption span columns 1 and 2
    int spanAll = 0;
    for (const SRow& row : section.rows) {
        int height = 0;
        switch (row.kind) {
            case SRow::Field:
                if (row.hasLabel) {
                    section.column0 = std::max(section.column0, row.label.size.width);
                    section.column1 = std::max(section.column1, row.main.size.width);
                    height = row.label.size.height;
                } else {
                    spanFields = std::max(spanFields, row.main.size.width);
                }
                if (row.hasButton) {
                    section.column2 = std::max(section.column2, row.button.size.width);
                    height = std::max(height, row.button.size.height);
                }
                height = std::max(height, row.main.size.height);
                break;
            case SRow::Caption:
                spanAll = std::max(spanAll, row.label.size.width);
                height = row.label.size.height;
                break;
            case SRow::Wide:
                spanAll = std::max(spanAll, row.main.size.width);
                height = row.main.size.height;
                break;
            case SRow::Run: {
                const SLayoutSize run = RunSize(row.run, spacing);
                if (row.hasLabel) {
                    section.column0 = std::max(section.column0, row.label.size.width);
                    spanRuns = std::max(spanRuns, run.width);
                    height = std::max(row.label.size.height, run.height);
                } else {
                    spanAll = std::max(spanAll, run.width);
                    height = run.height;
                }
                break;
            }
        }
        section.rowHeights.push_back(height);
    }
    // What a spanning row needs beyond its columns goes to column 1, the
    // one that stretches.
    const int gap01 = section.column0 > 0 ? spacing.column : 0;
    section.column1 = std::max(section.column1, spanFields - section.column0 - gap01);
    const int gap12 = section.column2 > 0 ? spacing.column : 0;
    section.column1 = std::max(section.column1, spanRuns - section.column2 - gap12);
    const int all = section.column0 + gap01 + section.column1 + gap12 + section.column2;
    section.column1 += std::max(0, spanAll - all);

    int height = 0;
    for (int h : section.rowHeights) {
        height += h;
    }
    height += spacing.row * std::max(static_cast<int>(section.rowHeights.size()) - 1, 0);
    section.natural = {section.frame.left + section.column0 + gap01 + section.column1 + gap12 +
                           section.column2 + section.frame.right,
                       section.frame.top + height + section.frame.bottom};
}

// Places a section's controls in `box`, with the spare height (if any) for
// its growing rows.
void PlaceSection(const SSection& section, const SLayoutRect& box, const SGrid& spacing,
                  std::vector<SPlacedControl>& placed) {
    const int gap01 = section.column0 > 0 ? spacing.column : 0;
    const int gap12 = section.column2 > 0 ? spacing.column : 0;
    const int inner = box.width - section.frame.left - section.frame.right;
    const int column1 = inner - section.column0 - gap01 - gap12 - section.column2;
    const int x0 = box.x + section.frame.left;
    const int x1 = x0 + section.column0 + gap01;
    const int x2 = x1 + column1 + gap12;
    int growing = 0;
    for (const SRow& row : section.rows) {
        growing += row.grows ? 1 : 0;
    }
    int spare = std::max(0, box.height - section.natural.height);
    int y = box.y + section.frame.top;
    for (size_t r = 0; r < section.rows.size(); ++r) {
        const SRow& row = section.rows[r];
        int height = section.rowHeights[r];
        if (row.grows && growing > 0) {
            const int share = spare / growing;
            height += share;
            spare -= share;
            --growing;
        }
        auto at = [&](const SItem& item, int x, int width) {
            const int w = item.fills ? width : std::min(width, item.size.width);
            const int h = row.grows ? height : item.size.height;
            return SLayoutRect{x, y + (height - h) / 2, w, h};
        };
        switch (row.kind) {
            case SRow::Field: {
                SPlacedControl control = Placed(row.main.id, {});
                if (row.hasLabel) {
                    control.rect = at(row.main, x1, column1);
                    control.hasLabel = true;
                    control.label = at(row.label, x0, section.column0);
                } else {
                    control.rect = at(row.main, x0, x2 - gap12 - x0);
                }
                placed.push_back(control);
                if (row.hasButton) {
                    placed.push_back(Placed(row.button.id, at(row.button, x2, section.column2)));
                }
                break;
            }
            case SRow::Caption:
                // Goes with the control of the next row.
                break;
            case SRow::Wide: {
                SPlacedControl control = Placed(row.main.id, at(row.main, x0, inner));
                if (r > 0 && section.rows[r - 1].kind == SRow::Caption) {
                    const SRow& caption = section.rows[r - 1];
                    control.hasLabel = true;
                    control.label = {x0, y - spacing.row - section.rowHeights[r - 1], inner,
                                     caption.label.size.height};
                }
                placed.push_back(control);
                break;
            }
            case SRow::Run: {
                const size_t first = placed.size();
                if (row.hasLabel) {
                    PlaceRun(row.run, {x1, y, inner - (x1 - x0), height}, spacing, placed);
                    placed[first].hasLabel = true;
                    placed[first].label = at(row.label, x0, section.column0);
                } else {
                    PlaceRun(row.run, {x0, y, inner, height}, spacing, placed);
                }
                break;
            }
        }
        y += height + spacing.row;
    }
}

}  // namespace

SPageLayout LayOutPage(const CDialogModel& model, const ILayoutMetrics& metrics, SLayoutSize area) {
    const double scale = metrics.Scale();
    const SGrid spacing{Scaled(kLayoutRowSpacing, scale), Scaled(kLayoutColumnSpacing, scale),
                        Scaled(kLayoutBoxMargin, scale)};
    // Groups in the order of their first control; hidden controls take no room.
    std::vector<std::pair<std::string, std::vector<int>>> groups;
    std::vector<int> dialogButtons;
    for (int id : model.ControlIds()) {
        const SControl& control = model.Control(id);
        if (!control.visible) {
            continue;
        }
        if (IsDialogButton(control)) {
            dialogButtons.push_back(id);
            continue;
        }
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const auto& g) { return g.first == control.group; });
        if (group == groups.end()) {
            group = groups.insert(groups.end(), {control.group, {}});
        }
        group->second.push_back(id);
    }
    std::vector<SSection> sections;
    std::vector<SLayoutSize> sizes;
    for (const auto& [caption, ids] : groups) {
        SSection section;
        section.caption = caption;
        section.frame = caption.empty() ? SLayoutMargins{} : metrics.GroupFrame(caption);
        FillSection(model, ids, metrics, section);
        MeasureSection(section, spacing);
        sizes.push_back(section.natural);
        sections.push_back(std::move(section));
    }

    SPageLayout layout;
    const int count = sections.empty() ? 0 : ChooseColumnCount(sizes, spacing.column, scale);
    const SSectionColumns columns = AssignColumns(sizes, count, spacing.column);
    int columnsWidth = spacing.column * std::max(count - 1, 0);
    int columnsHeight = 0;
    for (int c = 0; c < count; ++c) {
        columnsWidth += columns.widths[static_cast<size_t>(c)];
        columnsHeight =
            std::max(columnsHeight, columns.heights[static_cast<size_t>(c)] - spacing.column);
    }
    int buttonsWidth = 0;
    int buttonsHeight = 0;
    std::vector<SLayoutSize> buttonSizes;
    for (int id : dialogButtons) {
        buttonSizes.push_back(metrics.ControlSize(model, model.Control(id)));
        buttonsWidth += buttonSizes.back().width + (buttonsWidth > 0 ? spacing.column : 0);
        buttonsHeight = std::max(buttonsHeight, buttonSizes.back().height);
    }
    const int buttonsRow = buttonsHeight > 0 ? buttonsHeight + spacing.column : 0;
    layout.natural = {std::max(columnsWidth, buttonsWidth) + 2 * spacing.margin,
                      columnsHeight + buttonsRow + 2 * spacing.margin};
    const SLayoutSize size{std::max(area.width, layout.natural.width),
                           std::max(area.height, layout.natural.height)};

    // Spare width to the columns evenly; spare height to each column's
    // growing groups.
    std::vector<int> widths = columns.widths;
    const int spareWidth = size.width - layout.natural.width;
    for (int c = 0; c < count; ++c) {
        widths[static_cast<size_t>(c)] += spareWidth / count + (c < spareWidth % count ? 1 : 0);
    }
    const int columnsArea = size.height - 2 * spacing.margin - buttonsRow;
    int x = spacing.margin;
    for (int c = 0; c < count; ++c) {
        int used = -spacing.column;
        int growing = 0;
        for (size_t s = 0; s < sections.size(); ++s) {
            if (columns.columnOf[s] == c) {
                used += sections[s].natural.height + spacing.column;
                growing += sections[s].grows ? 1 : 0;
            }
        }
        int spare = std::max(0, columnsArea - used);
        int y = spacing.margin;
        for (size_t s = 0; s < sections.size(); ++s) {
            if (columns.columnOf[s] != c) {
                continue;
            }
            int height = sections[s].natural.height;
            if (sections[s].grows && growing > 0) {
                const int share = spare / growing;
                height += share;
                spare -= share;
                --growing;
            }
            const SLayoutRect box{x, y, widths[static_cast<size_t>(c)], height};
            layout.groups.push_back({sections[s].caption, box});
            PlaceSection(sections[s], box, spacing, layout.controls);
            y += height + spacing.column;
        }
        x += widths[static_cast<size_t>(c)] + spacing.column;
    }
    // OK and Cancel at the bottom right.
    int right = size.width - spacing.margin;
    for (size_t b = dialogButtons.size(); b-- > 0;) {
        const SLayoutSize& button = buttonSizes[b];
        layout.controls.push_back(Placed(
            dialogButtons[b], {right - button.width, size.height - spacing.margin - button.height,
                               button.width, button.height}));
        right -= button.width + spacing.column;
    }
    return layout;
}

SWindowFit FitWindow(const SWindowParts& parts, SLayoutSize room, bool smallScreen,
                     SLayoutSize compact) {
    SWindowFit fit;
    const int width = std::max(parts.width, parts.pages.width);
    if (smallScreen) {
        fit.showHeader = false;
        fit.window = {std::min(compact.width, room.width), std::min(compact.height, room.height)};
    } else {
        const int natural = parts.header + parts.chrome + parts.pages.height + parts.tracer;
        fit.showHeader = natural <= room.height;
        const int height = natural - (fit.showHeader ? 0 : parts.header);
        fit.window = {std::min(width, room.width), std::min(height, room.height)};
    }
    const int total = fit.window.height - parts.chrome - (fit.showHeader ? parts.header : 0);
    fit.pages = PagesShare(total, parts.pages.height, parts.tracerMinimum);
    fit.tracer = std::max(0, total - fit.pages);
    return fit;
}

int PagesShare(int total, int pagesWanted, int tracerMinimum) {
    return std::max(0, std::min(pagesWanted, total - tracerMinimum));
}

}  // namespace sondrix
